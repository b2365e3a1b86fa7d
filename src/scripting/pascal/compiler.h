#pragma once
// Turns a parsed unit into the evaluator's tree: constants are evaluated, types laid out, names resolved.
#include <memory>

#include "scripting/pascal/runtime.h"
#include "scripting/pascal/syntax.h"

namespace kinoloop::pascal {

struct CompileResult {
    std::unique_ptr<Program> program;  // null on error
    ScriptError error;
};

CompileResult CompileUnit(const syntax::Unit& unit);

}  // namespace kinoloop::pascal
