#pragma once
// `TQELDebug`, kept to what the program needs: an exception that escapes an event handler is described,
// written to the log as one "EXCEPT" entry and handed to whoever shows it to the user. Procedures that
// announce themselves (`EnterProc`) are logged as "ENTER" entries and indent the reports that follow.
#include <functional>
#include <string>

#include "diagnostics/log_file.h"

namespace kinoloop {

inline constexpr const char* kUnknown = "<Unknown>";
inline constexpr const char* kNotApplicable = "<N/A>";

// The description of one exception; every text is "<Unknown>" until something better is known.
struct TQELExceptionInfos {
    std::string ClassName = kUnknown;
    std::string ParentClassName = kUnknown;
    std::string Type = kUnknown;  // class name + " ( " + parent class name + " )"
    std::string Message = kUnknown;
    std::string Address = kUnknown;
    std::string ApplicationTitle = kUnknown;
    std::string ProgramPath = kUnknown;  // lower case
    std::string Version = kUnknown;
    std::string DateTime = kUnknown;
    std::string User = kUnknown;
    std::string Computer = kUnknown;
    std::string Unit = kUnknown;
    std::string Line = kUnknown;
    std::string Class = kUnknown;
    std::string Function = kUnknown;
    std::string SenderClass = kNotApplicable;  // "QPushButton > QAbstractButton > QWidget > QObject"
    std::string SenderName = kNotApplicable;
    std::string CallStack = kUnknown;
};

// Fills class, parent and type: "std::runtime_error ( std::exception )".
void SetExceptionType(TQELExceptionInfos& infos, const std::string& className,
                      const std::string& parentClassName);

// The report's ten lines, each `indent` blanks + a 15-character label + the value, joined by CR LF; the
// message's and the call stack's continuation lines line up under their first line.
std::string FormatExceptionReport(const TQELExceptionInfos& infos, int indent);

// The readable name of a type from its mangled name (typeid(...).name()).
std::string DemangledName(const char* mangled);

class TQELDebug {
public:
    explicit TQELDebug(TQELLogFile& log) : log_(log) {}

    bool Active() const { return active_; }
    void SetActive(bool active) { active_ = active; }
    int Indent() const { return indent_; }

    // Logs "ENTER" with the procedure's name and indents the reports that follow by two more blanks.
    void EnterProc(const std::string& procedure);

    // Writes the report as one "EXCEPT" entry (when logging is on) and returns it. Only while active.
    std::string HandleException(const TQELExceptionInfos& infos);

private:
    TQELLogFile& log_;
    bool active_ = false;
    int indent_ = 0;
};

}  // namespace kinoloop
