#pragma once
// The Pascal-dialect interpreter that camera scripts run in. It knows no simulator: names it cannot resolve
// go to a ScriptHost. Typical use:
//
//   Interpreter in;
//   in.SetText(text);
//   if (auto err = in.RunMain(host)) log(err->Message());
//   ...
//   in.CallRoutine("KillScript", host);   // also from inside a host call while main waits
//
// A program's global variables live from its first run until the text is replaced.
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scripting/pascal/errors.h"
#include "scripting/pascal/host.h"
#include "scripting/pascal/value.h"

namespace kinoloop::pascal {

struct Program;

class Interpreter {
public:
    Interpreter();
    ~Interpreter();
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    // Replaces the program text; its globals are dropped. Refused (false) while the program runs, since the
    // running code belongs to the old text.
    bool SetText(std::string text);
    bool HasText() const { return hasText_; }
    const std::string& Text() const { return text_; }

    // Parses and resolves the whole text without running anything ("Quick Compile"). Host names are left for
    // run time, so only syntax errors, wrong declarations and misuse of declared names are found here.
    std::optional<ScriptError> Compile();

    // Runs the routine named main (any case). "Function 'main' undefined" when there is none.
    std::optional<ScriptError> RunMain(ScriptHost& host);

    // Runs a routine of the program without arguments; allowed while another call of this program is
    // suspended in a host call (Stop during a pause calls "KillScript" this way).
    std::optional<ScriptError> CallRoutine(std::string_view name, ScriptHost& host);

    // Asks the running program to end: the next loop step or call fails with "Script stopped", which the
    // script's try/except cannot catch. Cleared when the outermost run ends. Safe from any thread.
    void RequestStop() { stop_.store(true, std::memory_order_relaxed); }
    bool StopRequested() const { return stop_.load(std::memory_order_relaxed); }

    bool Running() const { return runDepth_ > 0; }

private:
    std::optional<ScriptError> Call(std::string_view name, ScriptHost& host, bool isMain);
    ScriptError MakeError(std::uint32_t line, std::uint32_t column, std::string text) const;

    std::string text_;
    bool hasText_ = false;
    std::unique_ptr<Program> program_;
    std::optional<ScriptError> compileError_;
    bool compiled_ = false;
    bool loaded_ = false;  // globals set up
    std::vector<Value> globals_;
    std::unique_ptr<Value[]> stack_;
    struct RunState;
    std::unique_ptr<RunState> run_;
    int runDepth_ = 0;
    std::atomic<bool> stop_{false};
};

}  // namespace kinoloop::pascal
