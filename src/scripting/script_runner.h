#pragma once
// Runs the script of a script node and stops it: what playback calls when a script node's frame is carried
// out and when the user stops playback. Errors of a script never reach the caller; they go to the log.
#include <QTimer>
#include <filesystem>
#include <functional>
#include <string>

#include "scripting/pascal/interpreter.h"
#include "scripting/pascal/output_host.h"
#include "scripting/script_bridge.h"

namespace kinoloop {

class ScriptRunner {
public:
    using Log = std::function<void(const std::string&)>;

    // `host` answers the script's names (normally the bridge itself; a console puts WriteLn in front of it).
    // WriteLn and Write that nobody else takes go to the log, so that a script tried out with knloop-script
    // runs unchanged on the timeline.
    ScriptRunner(ScriptBridge& bridge, pascal::ScriptHost& host, Log log = {});

    enum class Outcome {
        Ran,      // main ran to its end
        Failed,   // the script raised an error (logged)
        NoFile,   // no such file, or an empty one: nothing ran
        Skipped,  // another script is still running (waiting in a pause): this one is not started
    };

    // The script node's run: the file `folder`/`fileName` (field 4 of the node), decoded when playback takes
    // it for locked, becomes the program text and its main runs.
    Outcome RunScriptFile(const std::filesystem::path& folder, const std::string& fileName);
    // The same for a text at hand; `label` names it in the log.
    Outcome RunText(const std::string& text, const std::string& label);

    // Stop Playback: when a program text is held, its "KillScript" runs (errors ignored and logged), a pause
    // of the script ends at once, and a main that has not ended half a second later is stopped.
    void KillScript();

    bool Running() const { return interpreter_.Running(); }
    pascal::Interpreter& interpreter() { return interpreter_; }

    static constexpr int kStopGraceMs = 500;

private:
    void Report(const std::string& label, const pascal::ScriptError& error);

    ScriptBridge& bridge_;
    pascal::ScriptHost& host_;
    Log log_;
    std::string pending_;  // printed text not yet ended by a line break
    pascal::OutputHost printer_;
    pascal::HostChain chain_;
    pascal::Interpreter interpreter_;
    QTimer stopGrace_;
};

}  // namespace kinoloop
