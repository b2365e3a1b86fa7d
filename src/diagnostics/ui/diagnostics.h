#pragma once
// The program's diagnostics: the log file, the exception reports and the log window. Off until "/debug"
// switches them on; exceptions that escape an event handler are caught by the application object either way
// and shown, and while the diagnostics are on they are also written to the log.
#include <QObject>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "diagnostics/exception_report.h"
#include "diagnostics/log_file.h"

namespace kinoloop {

class TfmQELLog;

// What the user is shown about one exception.
struct ShownException {
    TQELExceptionInfos infos;
    std::string report;    // the report's ten lines
    bool logging = false;  // the log can be looked at
};

struct DiagnosticsHooks {
    std::function<void(const std::string&)> message;           // plain messages (logging could not start)
    std::function<void(const ShownException&)> showException;  // by default a message box with the report
    LogHooks log;                                              // date, facts (tests fix them)
};

class Diagnostics : private LogViewer {
public:
    // `programPath` is the program file; the log is `logFile`.
    Diagnostics(std::filesystem::path programPath, std::filesystem::path logFile,
                DiagnosticsHooks hooks = {});
    ~Diagnostics();
    Diagnostics(const Diagnostics&) = delete;
    Diagnostics& operator=(const Diagnostics&) = delete;

    // "/debug": the log file and the exception reports; the announcing procedure is logged as an "ENTER"
    // entry.
    void SwitchOn(const std::string& enteringProcedure);
    bool On() const { return debug_.Active(); }

    // An exception escaped the handling of an event sent to `receiver` (may be null). The report is logged
    // while the diagnostics are on and the exception is shown, unless one is showing already (then only
    // logged, so a handler that fails on every repaint cannot pile up boxes).
    void HandleEventException(QObject* receiver, std::exception_ptr exception);
    int ShownCount() const { return shown_; }

    TQELLogFile& log() { return *log_; }
    TQELDebug& debug() { return debug_; }
    // The log window; made when the log is first shown.
    TfmQELLog* logWindow() const { return logWindow_.get(); }

    // The description of an exception thrown while `receiver` handled an event.
    TQELExceptionInfos Describe(QObject* receiver, std::exception_ptr exception) const;

private:
    void ShowText(const std::string& text) override;

    std::filesystem::path programPath_;
    DiagnosticsHooks hooks_;
    std::unique_ptr<TfmQELLog> logWindow_;
    std::unique_ptr<TQELLogFile> log_;
    TQELDebug debug_;
    bool showing_ = false;
    int shown_ = 0;
};

// A QObject's class chain, "QPushButton > QAbstractButton > QWidget > QObject".
std::string ClassChain(const QObject& object);

}  // namespace kinoloop
