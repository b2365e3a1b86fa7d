#pragma once
// Errors of the interpreter: what a caller gets back (ScriptError) and what travels through the evaluator
// while a script runs (RuntimeFault, a C++ exception that try/except in the script can catch unless it ends
// the run).
#include <cstdint>
#include <string>

namespace kinoloop::pascal {

// A place in the program text, counted from 1.
struct SourcePos {
    std::uint32_t line = 0;
    std::uint32_t column = 0;
};

struct ScriptError {
    std::string unit;  // the unit's name as written; empty before "unit" was read
    std::uint32_t line = 0;
    std::uint32_t column = 0;
    std::string text;  // "Undeclared identifier 'foo'"

    // "Error in unit 'Untitled' on line 12: Undeclared identifier 'foo'"
    std::string Message() const;
};

// How a fault behaves towards the script's own try/except.
enum class FaultKind : std::uint8_t {
    Catchable,  // a raised exception or a run-time error the script may handle
    Fatal,      // stack overflow, a stop request: ends the run whatever the script does
};

struct RuntimeFault {
    std::string text;
    std::string className = "Exception";
    FaultKind kind = FaultKind::Catchable;
    SourcePos pos{};  // 0 until the node that raised it adds its place
};

[[noreturn]] void Fail(std::string text, std::string className = "Exception");

}  // namespace kinoloop::pascal
