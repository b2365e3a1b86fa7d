#include "scripting/pascal/value.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "scripting/pascal/errors.h"

namespace kinoloop::pascal {

namespace {
const std::string kEmptyText;

[[noreturn]] void CannotConvert(const Value& v, const char* to) {
    Fail(std::string("Could not convert variant of type (") + v.TypeName() + ") into type (" + to + ")",
         "EVariantTypeCastError");
}

bool ParseWhole(std::string_view s, std::int64_t& out) {
    std::string t(s);
    std::size_t b = t.find_first_not_of(" \t");
    std::size_t e = t.find_last_not_of(" \t");
    if (b == std::string::npos) return false;
    t = t.substr(b, e - b + 1);
    bool neg = false;
    std::size_t p = 0;
    if (t[p] == '-' || t[p] == '+') neg = t[p++] == '-';
    int base = 10;
    if (p < t.size() && t[p] == '$') {
        base = 16;
        ++p;
    } else if (p + 1 < t.size() && t[p] == '0' && (t[p + 1] == 'x' || t[p + 1] == 'X')) {
        base = 16;
        p += 2;
    }
    if (p >= t.size()) return false;
    errno = 0;
    char* end = nullptr;
    unsigned long long u = std::strtoull(t.c_str() + p, &end, base);
    if (errno != 0 || *end != '\0' || !std::isalnum(static_cast<unsigned char>(t[p]))) return false;
    if (u > static_cast<unsigned long long>(std::numeric_limits<std::int64_t>::max()) + (neg ? 1ULL : 0ULL))
        return false;
    out = neg ? static_cast<std::int64_t>(0ULL - u) : static_cast<std::int64_t>(u);
    return true;
}

bool ParseReal(std::string_view s, double& out) {
    std::string t(s);
    std::size_t b = t.find_first_not_of(" \t");
    std::size_t e = t.find_last_not_of(" \t");
    if (b == std::string::npos) return false;
    t = t.substr(b, e - b + 1);
    for (char c : t)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' || c == 'e' ||
              c == 'E'))
            return false;
    char* end = nullptr;
    out = std::strtod(t.c_str(), &end);
    return end && *end == '\0';
}
}  // namespace

std::string ScriptError::Message() const {
    if (line == 0)
        return "Error in unit '" + unit + "': " + text;  // not tied to a place ("Function 'main' undefined")
    return "Error in unit '" + unit + "' on line " + std::to_string(line) + ": " + text;
}

void Fail(std::string text, std::string className) {
    throw RuntimeFault{std::move(text), std::move(className), FaultKind::Catchable, {}};
}

Value::Value(std::string s) : kind_(Kind::Str), h_(nullptr) {
    if (!s.empty()) h_ = new StrObject(std::move(s));
}

const std::string& Value::StrRef() const {
    return h_ ? static_cast<StrObject*>(h_)->text : kEmptyText;
}

std::string& Value::MutableStr() {
    if (!h_) {
        h_ = new StrObject(std::string());
    } else if (h_->refs > 1) {
        auto* copy = new StrObject(static_cast<StrObject*>(h_)->text);
        --h_->refs;
        h_ = copy;
    }
    return static_cast<StrObject*>(h_)->text;
}

double RoundHalfEven(double v) {
    return std::nearbyint(v);
}  // the default rounding mode is to nearest even

std::int64_t Value::ToInt() const {
    switch (kind_) {
        case Kind::Int:
            return i_;
        case Kind::Bool:
            return i_ ? -1 : 0;  // Delphi's variant True is -1
        case Kind::Empty:
            return 0;
        case Kind::Float: {
            double r = RoundHalfEven(f_);
            if (!(r >= -9.2233720368547758e18 && r < 9.2233720368547758e18))
                Fail("Overflow while converting variant of type (Double) into type (Int64)",
                     "EVariantOverflowError");
            return static_cast<std::int64_t>(r);
        }
        case Kind::Str: {
            std::int64_t out = 0;
            if (ParseWhole(StrRef(), out)) return out;
            double d = 0;
            if (ParseReal(StrRef(), d)) return Value(d).ToInt();
            CannotConvert(*this, "Integer");
        }
        default:
            CannotConvert(*this, "Integer");
    }
}

double Value::ToFloat() const {
    switch (kind_) {
        case Kind::Float:
            return f_;
        case Kind::Int:
            return static_cast<double>(i_);
        case Kind::Bool:
            return i_ ? -1.0 : 0.0;
        case Kind::Empty:
            return 0.0;
        case Kind::Str: {
            double d = 0;
            std::int64_t n = 0;
            if (ParseWhole(StrRef(), n)) return static_cast<double>(n);
            if (ParseReal(StrRef(), d)) return d;
            CannotConvert(*this, "Double");
        }
        default:
            CannotConvert(*this, "Double");
    }
}

bool Value::ToBool() const {
    switch (kind_) {
        case Kind::Bool:
        case Kind::Int:
            return i_ != 0;
        case Kind::Float:
            return f_ != 0.0;
        case Kind::Empty:
            return false;
        case Kind::Str: {
            std::string t = StrRef();
            for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (t == "true") return true;
            if (t == "false") return false;
            return ToFloat() != 0.0;
        }
        default:
            CannotConvert(*this, "Boolean");
    }
}

std::string Value::ToText() const {
    switch (kind_) {
        case Kind::Str:
            return StrRef();
        case Kind::Int:
            return std::to_string(i_);
        case Kind::Float:
            return FloatToStr(f_);
        case Kind::Bool:
            return i_ ? "True" : "False";
        case Kind::Empty:
            return "";
        case Kind::Object:
            return static_cast<ExceptionObject*>(h_)->message;
        default:
            CannotConvert(*this, "String");
    }
}

const char* Value::TypeName() const {
    switch (kind_) {
        case Kind::Empty:
            return "Empty";
        case Kind::Int:
            return "Int64";
        case Kind::Float:
            return "Double";
        case Kind::Bool:
            return "Boolean";
        case Kind::Str:
            return "String";
        case Kind::Array:
            return "Array";
        case Kind::Object:
            return "Object";
        case Kind::Ref:
            return "Reference";
    }
    return "Unknown";
}

std::string FloatToStr(double v) {
    if (std::isnan(v)) return "Nan";
    if (std::isinf(v)) return v > 0 ? "+Inf" : "-Inf";
    if (v == 0) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", v);  // 15 significant digits, to find the decimal exponent
    const char* e = std::strchr(buf, 'e');
    int exp = std::atoi(e + 1);
    // Digits of the mantissa without the point, trailing zeros cut.
    std::string digits;
    for (const char* p = buf; p < e; ++p)
        if (std::isdigit(static_cast<unsigned char>(*p))) digits += *p;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string sign = v < 0 ? "-" : "";
    if (exp < -5 || exp >= 15) {
        std::string out = sign + digits.substr(0, 1);
        if (digits.size() > 1) out += "." + digits.substr(1);
        return out + "E" + std::to_string(exp);
    }
    if (exp < 0) return sign + "0." + std::string(static_cast<std::size_t>(-exp - 1), '0') + digits;
    auto intLen = static_cast<std::size_t>(exp + 1);
    if (digits.size() <= intLen) return sign + digits + std::string(intLen - digits.size(), '0');
    return sign + digits.substr(0, intLen) + "." + digits.substr(intLen);
}

}  // namespace kinoloop::pascal
