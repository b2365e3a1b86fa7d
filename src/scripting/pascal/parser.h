#pragma once
// Parses a whole unit: every routine body is read, so a syntax error anywhere is found before anything runs.
#include <string_view>

#include "scripting/pascal/syntax.h"

namespace kinoloop::pascal {

// Nesting beyond these limits is an error, so that hostile text cannot exhaust the stack.
inline constexpr int kMaxNesting = 200;      // statements and parenthesised expressions inside each other
inline constexpr int kMaxExprHeight = 1000;  // height of one expression tree

struct ParseResult {
    bool ok = false;
    syntax::Unit unit;
    ScriptError error;
};

ParseResult Parse(std::string_view text);

}  // namespace kinoloop::pascal
