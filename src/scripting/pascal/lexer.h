#pragma once
// Splits a program text into tokens. Names are kept as written and in lower case (the dialect ignores case);
// comments { } (* *) // are skipped; strings join quoted parts and #nn characters ('a'#13#10'b').
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scripting/pascal/errors.h"

namespace kinoloop::pascal {

enum class Tok : std::uint8_t {
    End,
    Ident,
    IntLit,
    RealLit,
    StrLit,
    // symbols
    Plus,
    Minus,
    Star,
    Slash,
    Eq,
    NotEq,
    Less,
    Greater,
    LessEq,
    GreaterEq,
    Assign,
    LParen,
    RParen,
    LBracket,
    RBracket,
    Comma,
    Semicolon,
    Colon,
    Dot,
    DotDot,
    Caret,
    At,
    // reserved words
    KwAnd,
    KwArray,
    KwBegin,
    KwCase,
    KwConst,
    KwDiv,
    KwDo,
    KwDownto,
    KwElse,
    KwEnd,
    KwExcept,
    KwFinally,
    KwFor,
    KwFunction,
    KwIf,
    KwImplementation,
    KwIn,
    KwInterface,
    KwMod,
    KwNot,
    KwOf,
    KwOr,
    KwProcedure,
    KwProgram,
    KwRaise,
    KwRecord,
    KwRepeat,
    KwShl,
    KwShr,
    KwThen,
    KwTo,
    KwTry,
    KwType,
    KwUnit,
    KwUntil,
    KwUses,
    KwVar,
    KwWhile,
    KwWith,
    KwXor,
};

struct Token {
    Tok kind = Tok::End;
    SourcePos pos{};
    std::string text;   // a name as written, or a string literal's characters
    std::string lower;  // a name in lower case
    std::int64_t intValue = 0;
    double realValue = 0;
};

struct LexResult {
    std::vector<Token> tokens;  // ends with Tok::End
    bool ok = true;
    ScriptError error;  // unit is left empty; the parser fills it in
};

LexResult Lex(std::string_view text);

// How a token reads in an error message: "';'", "'begin'", "identifier", "end of file".
std::string Describe(Tok kind);

}  // namespace kinoloop::pascal
