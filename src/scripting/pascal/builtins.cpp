#include "scripting/pascal/builtins.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

namespace kinoloop::pascal {

namespace {

std::mt19937_64& Rng() {
    thread_local std::mt19937_64 rng(0);  // a fixed seed until Randomize, as in Delphi
    return rng;
}

double F(const Value& v) {
    return v.IsFloat() ? v.RawFloat() : v.ToFloat();
}
std::int64_t I(const Value& v) {
    return v.IsInt() ? v.RawInt() : v.ToInt();
}

Value FloatResult(double d) {
    return Value(d);
}

std::int64_t ToWhole(double d, const char* what) {
    if (!(d >= -9.2233720368547758e18 && d < 9.2233720368547758e18))
        Fail(std::string("Invalid floating point operation in ") + what, "EInvalidOp");
    return static_cast<std::int64_t>(d);
}

Value Abs(Ctx&, Value* a, int) {
    if (a[0].IsInt()) {
        std::int64_t v = a[0].RawInt();
        if (v == std::numeric_limits<std::int64_t>::min()) return Value(-static_cast<double>(v));
        return Value(v < 0 ? -v : v);
    }
    return FloatResult(std::fabs(F(a[0])));
}
Value Sqr(Ctx&, Value* a, int) {
    return Mul(a[0], a[0]);
}
Value Sqrt(Ctx&, Value* a, int) {
    double d = F(a[0]);
    if (d < 0) Fail("Invalid floating point operation", "EInvalidOp");
    return FloatResult(std::sqrt(d));
}
Value Sin(Ctx&, Value* a, int) {
    return FloatResult(std::sin(F(a[0])));
}
Value Cos(Ctx&, Value* a, int) {
    return FloatResult(std::cos(F(a[0])));
}
Value Tan(Ctx&, Value* a, int) {
    return FloatResult(std::tan(F(a[0])));
}
Value ArcTan(Ctx&, Value* a, int) {
    return FloatResult(std::atan(F(a[0])));
}
Value ArcTan2(Ctx&, Value* a, int) {
    return FloatResult(std::atan2(F(a[0]), F(a[1])));
}
Value ArcSin(Ctx&, Value* a, int) {
    return FloatResult(std::asin(F(a[0])));
}
Value ArcCos(Ctx&, Value* a, int) {
    return FloatResult(std::acos(F(a[0])));
}
Value Exp(Ctx&, Value* a, int) {
    return FloatResult(std::exp(F(a[0])));
}
Value Ln(Ctx&, Value* a, int) {
    double d = F(a[0]);
    if (d <= 0) Fail("Invalid floating point operation", "EInvalidOp");
    return FloatResult(std::log(d));
}
Value Log10(Ctx&, Value* a, int) {
    double d = F(a[0]);
    if (d <= 0) Fail("Invalid floating point operation", "EInvalidOp");
    return FloatResult(std::log10(d));
}
Value Power(Ctx&, Value* a, int) {
    return FloatResult(std::pow(F(a[0]), F(a[1])));
}
Value Round(Ctx&, Value* a, int) {
    if (a[0].IsInt()) return a[0];
    return Value(ToWhole(RoundHalfEven(F(a[0])), "Round"));
}
Value Trunc(Ctx&, Value* a, int) {
    if (a[0].IsInt()) return a[0];
    return Value(ToWhole(std::trunc(F(a[0])), "Trunc"));
}
Value Int(Ctx&, Value* a, int) {
    return FloatResult(std::trunc(F(a[0])));
}
Value Frac(Ctx&, Value* a, int) {
    double d = F(a[0]);
    return FloatResult(d - std::trunc(d));
}
Value Floor(Ctx&, Value* a, int) {
    if (a[0].IsInt()) return a[0];
    return Value(ToWhole(std::floor(F(a[0])), "Floor"));
}
Value Ceil(Ctx&, Value* a, int) {
    if (a[0].IsInt()) return a[0];
    return Value(ToWhole(std::ceil(F(a[0])), "Ceil"));
}
Value Min(Ctx&, Value* a, int) {
    if (a[0].IsInt() && a[1].IsInt()) return Value(std::min(a[0].RawInt(), a[1].RawInt()));
    return FloatResult(std::min(F(a[0]), F(a[1])));
}
Value Max(Ctx&, Value* a, int) {
    if (a[0].IsInt() && a[1].IsInt()) return Value(std::max(a[0].RawInt(), a[1].RawInt()));
    return FloatResult(std::max(F(a[0]), F(a[1])));
}
Value Sign(Ctx&, Value* a, int) {
    double d = F(a[0]);
    return Value(std::int64_t{d > 0 ? 1 : d < 0 ? -1 : 0});
}
Value PiFn(Ctx&, Value*, int) {
    return FloatResult(3.14159265358979323846);
}
Value DegToRad(Ctx&, Value* a, int) {
    return FloatResult(F(a[0]) * (3.14159265358979323846 / 180.0));
}
Value RadToDeg(Ctx&, Value* a, int) {
    return FloatResult(F(a[0]) * (180.0 / 3.14159265358979323846));
}
Value RandomFn(Ctx&, Value* a, int n) {
    if (n == 0) return FloatResult(std::uniform_real_distribution<double>(0.0, 1.0)(Rng()));
    std::int64_t range = I(a[0]);
    if (range <= 0) return Value(std::int64_t{0});
    return Value(std::uniform_int_distribution<std::int64_t>(0, range - 1)(Rng()));
}
Value Randomize(Ctx&, Value*, int) {
    Rng().seed(static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    return Value();
}
Value Odd(Ctx&, Value* a, int) {
    return Value((I(a[0]) & 1) != 0);
}
Value Ord(Ctx&, Value* a, int) {
    if (a[0].IsStr()) {
        const std::string& s = a[0].StrRef();
        if (s.size() != 1) Fail("Ord needs one character", "EConvertError");
        return Value(std::int64_t{static_cast<unsigned char>(s[0])});
    }
    if (a[0].IsBool()) return Value(std::int64_t{a[0].RawBool() ? 1 : 0});
    if (a[0].IsFloat()) Fail("Ordinal type required");
    return Value(I(a[0]));
}
Value Chr(Ctx&, Value* a, int) {
    return Value(std::string(1, static_cast<char>(I(a[0]) & 0xFF)));
}
Value Length(Ctx&, Value* a, int) {
    if (a[0].IsArray())
        return Value(static_cast<std::int64_t>(static_cast<ArrayObject*>(a[0].RawHeap())->items.size()));
    return Value(static_cast<std::int64_t>(a[0].ToText().size()));
}
Value High(Ctx&, Value* a, int) {
    if (a[0].IsArray()) {
        auto* arr = static_cast<ArrayObject*>(a[0].RawHeap());
        return Value(arr->low + static_cast<std::int64_t>(arr->items.size()) - 1);
    }
    if (a[0].IsStr()) return Value(static_cast<std::int64_t>(a[0].StrRef().size()));
    Fail("High needs an array or a string");
}
Value Low(Ctx&, Value* a, int) {
    if (a[0].IsArray()) return Value(static_cast<ArrayObject*>(a[0].RawHeap())->low);
    if (a[0].IsStr()) return Value(std::int64_t{1});
    Fail("Low needs an array or a string");
}
Value Copy(Ctx&, Value* a, int n) {
    std::string s = a[0].ToText();
    std::int64_t index = std::max<std::int64_t>(I(a[1]), 1);
    std::int64_t count = n > 2 ? I(a[2]) : std::numeric_limits<std::int64_t>::max();
    auto size = static_cast<std::int64_t>(s.size());
    if (index > size || count <= 0) return Value(std::string());
    count = std::min(count, size - index + 1);
    return Value(s.substr(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(count)));
}
Value Pos(Ctx&, Value* a, int) {
    std::string sub = a[0].ToText(), s = a[1].ToText();
    if (sub.empty()) return Value(std::int64_t{0});
    std::size_t at = s.find(sub);
    return Value(static_cast<std::int64_t>(at == std::string::npos ? 0 : at + 1));
}
Value UpperCase(Ctx&, Value* a, int) {
    std::string s = a[0].ToText();
    for (char& ch : s)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
    return Value(std::move(s));
}
Value LowerCase(Ctx&, Value* a, int) {
    std::string s = a[0].ToText();
    for (char& ch : s)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
    return Value(std::move(s));
}
bool Blank(char ch) {
    return static_cast<unsigned char>(ch) <= ' ';
}
Value Trim(Ctx&, Value* a, int) {
    std::string s = a[0].ToText();
    std::size_t b = 0, e = s.size();
    while (b < e && Blank(s[b])) ++b;
    while (e > b && Blank(s[e - 1])) --e;
    return Value(s.substr(b, e - b));
}
Value TrimLeft(Ctx&, Value* a, int) {
    std::string s = a[0].ToText();
    std::size_t b = 0;
    while (b < s.size() && Blank(s[b])) ++b;
    return Value(s.substr(b));
}
Value TrimRight(Ctx&, Value* a, int) {
    std::string s = a[0].ToText();
    std::size_t e = s.size();
    while (e > 0 && Blank(s[e - 1])) --e;
    return Value(s.substr(0, e));
}
Value StringOfChar(Ctx&, Value* a, int) {
    std::string c = a[0].IsInt() ? std::string(1, static_cast<char>(a[0].RawInt())) : a[0].ToText();
    std::int64_t n = std::clamp<std::int64_t>(I(a[1]), 0, 1 << 24);
    return Value(std::string(static_cast<std::size_t>(n), c.empty() ? '\0' : c[0]));
}
Value IntToStr(Ctx&, Value* a, int) {
    return Value(std::to_string(I(a[0])));
}
Value IntToHex(Ctx&, Value* a, int n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*llX",
                  n > 1 ? static_cast<int>(std::clamp<std::int64_t>(I(a[1]), 0, 16)) : 0,
                  static_cast<unsigned long long>(I(a[0])));
    return Value(std::string(buf));
}
Value FloatToStrFn(Ctx&, Value* a, int) {
    if (a[0].IsInt()) return Value(std::to_string(a[0].RawInt()));
    return Value(FloatToStr(F(a[0])));
}

bool ParseInteger(const std::string& text, std::int64_t& out) {
    if (text.empty() || Blank(text.back())) return false;  // spaces before the number are allowed, not after
    try {
        Value v(text);
        std::size_t b = text.find_first_not_of(' ');
        if (b == std::string::npos || text.find_first_of(".eE", b) != std::string::npos) {
            // a hexadecimal "$1E" holds an E: only reject it for decimal text
            if (b == std::string::npos || text[b] != '$') return false;
        }
        out = v.ToInt();
        return true;
    } catch (const RuntimeFault&) {
        return false;
    }
}

Value StrToInt(Ctx&, Value* a, int) {
    std::string s = a[0].ToText();
    std::int64_t out = 0;
    if (!ParseInteger(s, out)) Fail("'" + s + "' is not a valid integer value", "EConvertError");
    return Value(out);
}
Value StrToIntDef(Ctx&, Value* a, int) {
    std::int64_t out = 0;
    if (!ParseInteger(a[0].ToText(), out)) return a[1];
    return Value(out);
}
Value StrToFloat(Ctx&, Value* a, int) {
    std::string s = a[0].ToText();
    try {
        if (!s.empty() && !Blank(s.back())) return FloatResult(Value(s).ToFloat());
    } catch (const RuntimeFault&) {
    }
    Fail("'" + s + "' is not a valid floating point value", "EConvertError");
}
Value Format(Ctx&, Value* a, int) {
    if (!a[1].IsArray()) Fail("Format needs its arguments in brackets: Format('%d', [x])");
    const auto& items = static_cast<ArrayObject*>(a[1].RawHeap())->items;
    return Value(FormatText(a[0].ToText(), items));
}

constexpr BuiltinInfo kBuiltins[] = {
    {"Abs", Abs, 1, 1},
    {"Sqr", Sqr, 1, 1},
    {"Sqrt", Sqrt, 1, 1},
    {"Sin", Sin, 1, 1},
    {"Cos", Cos, 1, 1},
    {"Tan", Tan, 1, 1},
    {"ArcTan", ArcTan, 1, 1},
    {"ArcTan2", ArcTan2, 2, 2},
    {"ArcSin", ArcSin, 1, 1},
    {"ArcCos", ArcCos, 1, 1},
    {"Exp", Exp, 1, 1},
    {"Ln", Ln, 1, 1},
    {"Log10", Log10, 1, 1},
    {"Power", Power, 2, 2},
    {"Round", Round, 1, 1},
    {"Trunc", Trunc, 1, 1},
    {"Int", Int, 1, 1},
    {"Frac", Frac, 1, 1},
    {"Floor", Floor, 1, 1},
    {"Ceil", Ceil, 1, 1},
    {"Min", Min, 2, 2},
    {"Max", Max, 2, 2},
    {"Sign", Sign, 1, 1},
    {"Pi", PiFn, 0, 0},
    {"DegToRad", DegToRad, 1, 1},
    {"RadToDeg", RadToDeg, 1, 1},
    {"Random", RandomFn, 0, 1},
    {"Randomize", Randomize, 0, 0},
    {"Odd", Odd, 1, 1},
    {"Ord", Ord, 1, 1},
    {"Chr", Chr, 1, 1},
    {"Length", Length, 1, 1},
    {"High", High, 1, 1},
    {"Low", Low, 1, 1},
    {"Copy", Copy, 2, 3},
    {"Pos", Pos, 2, 2},
    {"UpperCase", UpperCase, 1, 1},
    {"LowerCase", LowerCase, 1, 1},
    {"Trim", Trim, 1, 1},
    {"TrimLeft", TrimLeft, 1, 1},
    {"TrimRight", TrimRight, 1, 1},
    {"StringOfChar", StringOfChar, 2, 2},
    {"IntToStr", IntToStr, 1, 1},
    {"IntToHex", IntToHex, 1, 2},
    {"FloatToStr", FloatToStrFn, 1, 1},
    {"StrToInt", StrToInt, 1, 1},
    {"StrToIntDef", StrToIntDef, 2, 2},
    {"StrToFloat", StrToFloat, 1, 1},
    {"Format", Format, 2, 2},
};

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& ch : out) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return out;
}

[[noreturn]] void BadFormat(const std::string& spec) {
    Fail("Format '" + spec + "' invalid or incompatible with argument", "EConvertError");
}

std::string Pad(std::string s, int width, bool left) {
    if (width > 0 && static_cast<int>(s.size()) < width) {
        std::string fill(static_cast<std::size_t>(width) - s.size(), ' ');
        s = left ? s + fill : fill + s;
    }
    return s;
}

std::string Grouped(const std::string& fixed) {
    std::size_t start = fixed[0] == '-' ? 1 : 0;
    std::size_t point = fixed.find('.');
    if (point == std::string::npos) point = fixed.size();
    std::string out = fixed.substr(point);
    int n = 0;
    for (std::size_t i = point; i > start; --i) {
        if (n == 3) {
            out.insert(out.begin(), ',');
            n = 0;
        }
        out.insert(out.begin(), fixed[i - 1]);
        ++n;
    }
    return fixed.substr(0, start) + out;
}

// Fixed notation with `prec` decimals, as Format's %f gives it: the value is taken to 15 significant digits
// and then rounded half away from zero, so 2.25 gives "2.3" and 1.005 gives "1.01"; a result of zero has no
// sign.
std::string FixedText(double v, int prec) {
    if (std::isnan(v)) return "Nan";
    if (std::isinf(v)) return v > 0 ? "Inf" : "-Inf";
    std::string digits(15, '0');
    int exp = 0;
    if (v != 0) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.14e", std::fabs(v));
        digits = std::string(1, buf[0]) + std::string(buf + 2, 14);
        exp = std::atoi(std::strchr(buf, 'e') + 1);
    }
    // digits d0 d1 ... stand for d0.d1d2... x 10^exp; keep those down to the prec-th decimal.
    int keep = exp + 1 + prec;
    if (keep < 0) {
        digits = "0";
        exp = 0;
        keep = 1 + prec;
    } else if (keep < static_cast<int>(digits.size())) {
        bool up = digits[static_cast<std::size_t>(keep)] >= '5';
        digits.resize(static_cast<std::size_t>(keep));
        if (up) {
            int i = keep - 1;
            while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9')
                digits[static_cast<std::size_t>(i--)] = '0';
            if (i >= 0) {
                ++digits[static_cast<std::size_t>(i)];
            } else {
                digits.insert(digits.begin(), '1');
                ++exp;
            }
        }
    }
    // Place the decimal point.
    std::string intPart, fracPart;
    int intDigits = exp + 1;
    for (int i = 0; i < intDigits; ++i)
        intPart += i < static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(i)] : '0';
    if (intPart.empty()) intPart = "0";
    for (int i = 0; i < prec; ++i) {
        int at = intDigits + i;
        fracPart +=
            at >= 0 && at < static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(at)] : '0';
    }
    bool zero = intPart.find_first_not_of('0') == std::string::npos &&
                fracPart.find_first_not_of('0') == std::string::npos;
    std::string out = (v < 0 && !zero ? "-" : "") + intPart;
    if (prec > 0) out += "." + fracPart;
    return out;
}

}  // namespace

std::string FormatText(const std::string& pattern, std::span<const Value> args) {
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char ch = pattern[i];
        if (ch != '%') {
            out += ch;
            continue;
        }
        std::size_t start = i++;
        if (i < pattern.size() && pattern[i] == '%') {
            out += '%';
            continue;
        }
        bool left = false;
        int width = -1, prec = -1;
        if (i < pattern.size() && pattern[i] == '-') {
            left = true;
            ++i;
        }
        while (i < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[i])))
            width = std::max(width, 0) * 10 + (pattern[i++] - '0'), width = std::min(width, 4096);
        if (i < pattern.size() && pattern[i] == '.') {
            prec = 0;
            ++i;
            while (i < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[i])))
                prec = std::min(prec * 10 + (pattern[i++] - '0'), 64);
        }
        if (i >= pattern.size()) BadFormat(pattern.substr(start));
        char type = static_cast<char>(std::tolower(static_cast<unsigned char>(pattern[i])));
        std::string spec = pattern.substr(start, i - start + 1);
        if (next >= args.size()) BadFormat(spec);
        const Value& v = args[next++];
        std::string text;
        char buf[512];
        switch (type) {
            case 'd':
            case 'u': {
                if (!v.IsInt()) BadFormat(spec);
                std::int64_t n = v.RawInt();
                if (type == 'u') n = static_cast<std::int64_t>(static_cast<std::uint32_t>(n));
                std::string digits =
                    std::to_string(n < 0 ? -(n + 1) + 1ULL : static_cast<unsigned long long>(n));
                if (prec > static_cast<int>(digits.size()))
                    digits.insert(0, static_cast<std::size_t>(prec) - digits.size(), '0');
                text = (n < 0 ? "-" : "") + digits;
                break;
            }
            case 'x': {
                if (!v.IsInt()) BadFormat(spec);
                std::snprintf(buf, sizeof buf, "%0*llX", std::max(prec, 0),
                              static_cast<unsigned long long>(v.RawInt()));
                text = buf;
                break;
            }
            case 's':
                if (v.IsArray()) BadFormat(spec);
                text = v.ToText();
                if (prec >= 0 && static_cast<int>(text.size()) > prec)
                    text.resize(static_cast<std::size_t>(prec));
                break;
            case 'f':
            case 'n':
                if (!v.IsNumber()) BadFormat(spec);
                text = FixedText(v.ToFloat(), prec < 0 ? 2 : prec);
                if (type == 'n') text = Grouped(text);
                break;
            case 'e': {
                if (!v.IsNumber()) BadFormat(spec);
                std::snprintf(buf, sizeof buf, "%.*E", (prec <= 0 ? 15 : prec) - 1, v.ToFloat());
                std::string s = buf;
                std::size_t e = s.find('E');
                std::string mant = s.substr(0, e), exp = s.substr(e + 2);
                while (exp.size() < 3) exp.insert(exp.begin(), '0');
                text = mant + "E" + s[e + 1] + exp;
                break;
            }
            case 'g':
                if (!v.IsNumber()) BadFormat(spec);
                text = FloatToStr(v.ToFloat());
                break;
            default:
                BadFormat(spec);
        }
        out += Pad(std::move(text), width, left);
    }
    return out;
}

const BuiltinInfo* FindBuiltin(std::string_view lowerName) {
    for (const BuiltinInfo& b : kBuiltins)
        if (Lower(b.name) == lowerName) return &b;
    return nullptr;
}

std::span<const BuiltinInfo> AllBuiltins() {
    return kBuiltins;
}

}  // namespace kinoloop::pascal
