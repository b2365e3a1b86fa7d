#pragma once
// Operators on values with Delphi's variant rules: integer arithmetic that overflows goes on in floating
// point (the integers are 64-bit, so a 32-bit overflow already goes on in 64 bits), "/" gives a float, div
// and mod round floats first, "+" joins strings, numbers compare across integer and float.
#include "scripting/pascal/lexer.h"
#include "scripting/pascal/value.h"

namespace kinoloop::pascal {

Value Arith(Tok op, const Value& a, const Value& b);  // + - * / div mod and or xor shl shr
int Compare(const Value& a, const Value& b);          // -1, 0, 1; throws for values that do not compare
bool Equal(const Value& a, const Value& b);
Value Negate(const Value& a);
Value Not(const Value& a);

inline Value Add(const Value& a, const Value& b) {
    std::int64_t r;
    if (a.IsInt() && b.IsInt() && !__builtin_add_overflow(a.RawInt(), b.RawInt(), &r)) return Value(r);
    return Arith(Tok::Plus, a, b);
}
inline Value Sub(const Value& a, const Value& b) {
    std::int64_t r;
    if (a.IsInt() && b.IsInt() && !__builtin_sub_overflow(a.RawInt(), b.RawInt(), &r)) return Value(r);
    return Arith(Tok::Minus, a, b);
}
inline Value Mul(const Value& a, const Value& b) {
    std::int64_t r;
    if (a.IsInt() && b.IsInt() && !__builtin_mul_overflow(a.RawInt(), b.RawInt(), &r)) return Value(r);
    if (a.IsFloat() && b.IsFloat()) return Value(a.RawFloat() * b.RawFloat());
    return Arith(Tok::Star, a, b);
}

}  // namespace kinoloop::pascal
