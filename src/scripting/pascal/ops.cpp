#include "scripting/pascal/ops.h"

#include <cmath>
#include <limits>

#include "scripting/pascal/errors.h"

namespace kinoloop::pascal {

namespace {

[[noreturn]] void InvalidOp() {
    Fail("Invalid variant operation", "EVariantInvalidOpError");
}

// A value as a number for arithmetic: booleans are Delphi's -1/0, unassigned is 0, strings are parsed.
Value AsNumber(const Value& v) {
    switch (v.kind()) {
        case Kind::Int:
        case Kind::Float:
            return v;
        case Kind::Bool:
        case Kind::Empty:
            return Value(v.ToInt());
        case Kind::Str: {
            double d = v.ToFloat();
            if (d == std::floor(d) && std::fabs(d) < 9e18 &&
                v.StrRef().find_first_of(".eE") == std::string::npos)
                return Value(static_cast<std::int64_t>(d));
            return Value(d);
        }
        default:
            InvalidOp();
    }
}

bool IsTextual(const Value& v) {
    return v.IsStr();
}
bool IsOrdinal(const Value& v) {
    return v.IsInt() || v.IsBool() || v.IsEmpty();
}

}  // namespace

Value Arith(Tok op, const Value& a, const Value& b) {
    if (op == Tok::Plus && (IsTextual(a) || a.IsEmpty()) && (IsTextual(b) || b.IsEmpty()) &&
        !(a.IsEmpty() && b.IsEmpty())) {
        std::string s = a.IsStr() ? a.StrRef() : std::string();
        if (b.IsStr()) s += b.StrRef();
        return Value(std::move(s));
    }
    if (a.kind() == Kind::Array || b.kind() == Kind::Array || a.kind() == Kind::Object ||
        b.kind() == Kind::Object)
        InvalidOp();

    // Logical operators on two booleans stay boolean; otherwise they work on the integers' bits.
    if (op == Tok::KwAnd || op == Tok::KwOr || op == Tok::KwXor) {
        if (a.IsBool() && b.IsBool()) {
            bool x = a.RawBool(), y = b.RawBool();
            return Value(op == Tok::KwAnd ? (x && y) : op == Tok::KwOr ? (x || y) : (x != y));
        }
        std::int64_t x = AsNumber(a).ToInt(), y = AsNumber(b).ToInt();
        return Value(op == Tok::KwAnd ? (x & y) : op == Tok::KwOr ? (x | y) : (x ^ y));
    }

    Value x = AsNumber(a), y = AsNumber(b);
    switch (op) {
        case Tok::Slash: {
            double d = y.ToFloat();
            if (d == 0.0) Fail("Division by zero", "EZeroDivide");
            return Value(x.ToFloat() / d);
        }
        case Tok::KwDiv:
        case Tok::KwMod: {
            std::int64_t p = x.ToInt(), q = y.ToInt();  // floats round halves to even first
            if (q == 0) Fail("Division by zero", "EDivByZero");
            if (q == -1)
                return Value(op == Tok::KwDiv ? (p == std::numeric_limits<std::int64_t>::min() ? p : -p)
                                              : std::int64_t{0});
            return Value(op == Tok::KwDiv ? p / q : p % q);
        }
        case Tok::KwShl:
        case Tok::KwShr: {
            std::int64_t p = x.ToInt(), q = y.ToInt();
            if (q < 0 || q > 63) return Value(std::int64_t{0});
            auto u = static_cast<std::uint64_t>(p);
            return Value(static_cast<std::int64_t>(op == Tok::KwShl ? u << q : u >> q));
        }
        default:
            break;
    }
    if (x.IsInt() && y.IsInt()) {
        std::int64_t r;
        bool overflow = op == Tok::Plus    ? __builtin_add_overflow(x.RawInt(), y.RawInt(), &r)
                        : op == Tok::Minus ? __builtin_sub_overflow(x.RawInt(), y.RawInt(), &r)
                                           : __builtin_mul_overflow(x.RawInt(), y.RawInt(), &r);
        if (!overflow) return Value(r);
    }
    double p = x.ToFloat(), q = y.ToFloat();
    switch (op) {
        case Tok::Plus:
            return Value(p + q);
        case Tok::Minus:
            return Value(p - q);
        case Tok::Star:
            return Value(p * q);
        default:
            InvalidOp();
    }
}

int Compare(const Value& a, const Value& b) {
    if (a.IsInt() && b.IsInt()) return a.RawInt() < b.RawInt() ? -1 : a.RawInt() > b.RawInt() ? 1 : 0;
    if ((a.IsStr() || a.IsEmpty()) && (b.IsStr() || b.IsEmpty())) {
        const std::string& s = a.IsStr() ? a.StrRef() : std::string();
        const std::string& t = b.IsStr() ? b.StrRef() : std::string();
        int c = s.compare(t);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    if (a.IsBool() && b.IsBool()) return static_cast<int>(a.RawBool()) - static_cast<int>(b.RawBool());
    if (a.kind() == Kind::Array || b.kind() == Kind::Array || a.kind() == Kind::Object ||
        b.kind() == Kind::Object)
        InvalidOp();
    Value x = AsNumber(a), y = AsNumber(b);
    if (x.IsInt() && y.IsInt()) return x.RawInt() < y.RawInt() ? -1 : x.RawInt() > y.RawInt() ? 1 : 0;
    double p = x.ToFloat(), q = y.ToFloat();
    return p < q ? -1 : p > q ? 1 : 0;
}

bool Equal(const Value& a, const Value& b) {
    if (a.IsInt() && b.IsInt()) return a.RawInt() == b.RawInt();
    if (a.IsFloat() || b.IsFloat()) {
        if ((a.IsFloat() && std::isnan(a.RawFloat())) || (b.IsFloat() && std::isnan(b.RawFloat())))
            return false;
    }
    return Compare(a, b) == 0;
}

Value Negate(const Value& a) {
    if (a.IsInt()) {
        if (a.RawInt() == std::numeric_limits<std::int64_t>::min())
            return Value(-static_cast<double>(a.RawInt()));
        return Value(-a.RawInt());
    }
    if (a.IsFloat()) return Value(-a.RawFloat());
    Value n = AsNumber(a);
    return Negate(n);
}

Value Not(const Value& a) {
    if (a.IsBool()) return Value(!a.RawBool());
    if (IsOrdinal(a) || a.IsStr()) return Value(~AsNumber(a).ToInt());
    InvalidOp();
}

}  // namespace kinoloop::pascal
