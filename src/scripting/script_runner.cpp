#include "scripting/script_runner.h"

#include <system_error>

#include "scripting/script_files.h"

namespace kinoloop {

ScriptRunner::ScriptRunner(ScriptBridge& bridge, pascal::ScriptHost& host, Log log)
    : bridge_(bridge),
      host_(host),
      log_(std::move(log)),
      printer_([this](std::string_view text) {
          pending_ += text;
          for (std::size_t end; (end = pending_.find('\n')) != std::string::npos; pending_.erase(0, end + 1))
              if (log_) log_("Script output: " + pending_.substr(0, end));
      }),
      chain_(host_, printer_) {
    stopGrace_.setSingleShot(true);
    stopGrace_.setInterval(kStopGraceMs);
    QObject::connect(&stopGrace_, &QTimer::timeout, [this] {
        if (!interpreter_.Running()) return;
        interpreter_.RequestStop();
        bridge_.EndPause();
    });
}

void ScriptRunner::Report(const std::string& label, const pascal::ScriptError& error) {
    if (log_) log_("Script " + label + ": " + error.Message());
}

ScriptRunner::Outcome ScriptRunner::RunScriptFile(const std::filesystem::path& folder,
                                                  const std::string& fileName) {
    std::error_code ec;
    std::filesystem::path path = folder / fileName;
    if (fileName.empty() || !std::filesystem::is_regular_file(path, ec)) return Outcome::NoFile;
    std::string text;
    FileOutcome read = ReadTextFile(path, text);
    if (!read.ok) {
        if (log_) log_("Script " + fileName + ": " + read.error);
        return Outcome::NoFile;
    }
    if (text.empty()) return Outcome::NoFile;
    return RunText(PlaybackText(text), fileName);
}

ScriptRunner::Outcome ScriptRunner::RunText(const std::string& text, const std::string& label) {
    // A script waiting in a pause still runs the old text: replacing it under its feet is not possible, so
    // the new node is skipped.
    if (interpreter_.Running()) {
        if (log_) log_("Script " + label + " skipped: another script is still running");
        return Outcome::Skipped;
    }
    interpreter_.SetText(text);
    if (auto error = interpreter_.RunMain(chain_)) {
        Report(label, *error);  // errors of a script end it and are otherwise ignored
        return Outcome::Failed;
    }
    return Outcome::Ran;
}

void ScriptRunner::KillScript() {
    if (!interpreter_.HasText()) return;
    if (auto error = interpreter_.CallRoutine("KillScript", chain_)) Report("KillScript", *error);
    bridge_.EndPause();
    if (interpreter_.Running()) stopGrace_.start();
}

}  // namespace kinoloop
