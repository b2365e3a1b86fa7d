#pragma once
// The script's values: a compact variant with Delphi's rules. Numbers and booleans live in the value itself;
// strings, arrays and exception objects are reference-counted and copied on write, so passing them around is
// cheap and a string that only one variable holds can grow in place.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kinoloop::pascal {

// Kinds from Str on are reference-counted. Ref is the evaluator's own: a var parameter's slot pointing at the
// caller's variable; it never reaches a script's values.
enum class Kind : std::uint8_t { Empty, Int, Float, Bool, Ref, Str, Array, Object };

// Declared types of variables, parameters and array elements; a store converts to them.
enum class TypeId : std::uint8_t {
    Variant,
    Integer,  // 32-bit, also Longint
    Byte,
    Shortint,
    Word,
    Smallint,
    Cardinal,
    Int64,
    Double,  // also Real, Extended
    Single,
    Boolean,
    String,
    Char,
    Array,
};

class Value;

struct HeapObject {
    explicit HeapObject(Kind k) : kind(k) {}
    virtual ~HeapObject() = default;
    std::int32_t refs = 1;
    Kind kind;
};

struct StrObject final : HeapObject {
    explicit StrObject(std::string s) : HeapObject(Kind::Str), text(std::move(s)) {}
    std::string text;
};

// The raised object of a script exception: its class name ("Exception", "EConvertError" ...) and message.
struct ExceptionObject final : HeapObject {
    ExceptionObject(std::string cls, std::string msg)
        : HeapObject(Kind::Object), className(std::move(cls)), message(std::move(msg)) {}
    std::string className;
    std::string message;
};

class Value {
public:
    Value() : kind_(Kind::Empty), i_(0) {}
    Value(std::int64_t v) : kind_(Kind::Int), i_(v) {}   // NOLINT: implicit on purpose, values are variants
    Value(int v) : kind_(Kind::Int), i_(v) {}            // NOLINT
    Value(double v) : kind_(Kind::Float), f_(v) {}       // NOLINT
    Value(bool v) : kind_(Kind::Bool), i_(v ? 1 : 0) {}  // NOLINT
    Value(std::string s);                                // NOLINT
    Value(const char* s) : Value(std::string(s)) {}      // NOLINT
    explicit Value(HeapObject* adopted) : kind_(adopted->kind), h_(adopted) {}
    static Value MakeRef(Value* target) {
        Value v;
        v.kind_ = Kind::Ref;
        v.r_ = target;
        return v;
    }
    Value* RawRef() const { return r_; }

    Value(const Value& o) : kind_(o.kind_), i_(o.i_) {
        if (kind_ >= Kind::Str && h_) ++h_->refs;
    }
    Value(Value&& o) noexcept : kind_(o.kind_), i_(o.i_) { o.kind_ = Kind::Empty; }
    Value& operator=(const Value& o) {
        if (o.kind_ >= Kind::Str && o.h_) ++o.h_->refs;
        Release();
        kind_ = o.kind_;
        i_ = o.i_;
        return *this;
    }
    Value& operator=(Value&& o) noexcept {
        if (this != &o) {
            Release();
            kind_ = o.kind_;
            i_ = o.i_;
            o.kind_ = Kind::Empty;
        }
        return *this;
    }
    ~Value() { Release(); }

    Kind kind() const { return kind_; }
    bool IsInt() const { return kind_ == Kind::Int; }
    bool IsFloat() const { return kind_ == Kind::Float; }
    bool IsNumber() const { return kind_ == Kind::Int || kind_ == Kind::Float; }
    bool IsBool() const { return kind_ == Kind::Bool; }
    bool IsStr() const { return kind_ == Kind::Str; }
    bool IsArray() const { return kind_ == Kind::Array; }
    bool IsEmpty() const { return kind_ == Kind::Empty; }

    // Raw access; the caller has checked the kind.
    std::int64_t RawInt() const { return i_; }
    double RawFloat() const { return f_; }
    bool RawBool() const { return i_ != 0; }
    HeapObject* RawHeap() const { return h_; }
    void SetRawInt(std::int64_t v) {
        Release();
        kind_ = Kind::Int;
        i_ = v;
    }

    // The text of a string value ("" for the empty string); the caller has checked IsStr().
    const std::string& StrRef() const;
    // A string this value owns alone, for changing in place (copies a shared one first).
    std::string& MutableStr();

    // Conversions with Delphi's variant rules; they throw a RuntimeFault ("Could not convert ...") where
    // Delphi does.
    std::int64_t ToInt() const;  // floats round halves to even
    double ToFloat() const;
    bool ToBool() const;
    std::string ToText() const;  // integers in decimal, floats as FloatToStr, booleans "True"/"False"
    const char* TypeName() const;

private:
    void Release() {
        if (kind_ >= Kind::Str && h_ && --h_->refs == 0) delete h_;
    }
    Kind kind_;
    union {
        std::int64_t i_;
        double f_;
        HeapObject* h_;
        Value* r_;
    };
};

// A static array: its low bound, element type, element declaration (for nested arrays) and elements.
struct TypeDesc;
struct ArrayObject final : HeapObject {
    ArrayObject() : HeapObject(Kind::Array) {}
    std::int64_t low = 0;
    TypeId elemType = TypeId::Variant;
    const TypeDesc* elemDesc = nullptr;  // set for arrays of arrays; owned by the program
    std::vector<Value> items;
};

// FloatToStr: up to 15 significant digits, scientific notation below 1E-5 and from 1E15 on.
std::string FloatToStr(double v);
// Round to the nearest integer, halves to the even neighbour.
double RoundHalfEven(double v);

}  // namespace kinoloop::pascal
