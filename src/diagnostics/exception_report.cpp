#include "diagnostics/exception_report.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace kinoloop {

void SetExceptionType(TQELExceptionInfos& infos, const std::string& className,
                      const std::string& parentClassName) {
    infos.ClassName = className;
    infos.ParentClassName = parentClassName;
    infos.Type = className + " ( " + parentClassName + " )";
}

std::string FormatExceptionReport(const TQELExceptionInfos& infos, int indent) {
    const std::string blanks(static_cast<std::size_t>(std::max(indent, 0)), ' ');
    const int hanging = std::max(indent, 0) + 15;
    const struct {
        const char* label;
        std::string value;
    } lines[] = {
        {"Type         : ", infos.Type},
        {"Unit         : ", infos.Unit},
        {"Line         : ", infos.Line},
        {"Class        : ", infos.Class},
        {"Function     : ", infos.Function},
        {"Address      : ", infos.Address},
        {"Sender Class : ", infos.SenderClass},
        {"Sender Name  : ", infos.SenderName},
        {"Message      : ", IndentLines(infos.Message, 0, hanging)},
        {"Call Stack   : ", IndentLines(infos.CallStack, 0, hanging)},
    };
    std::string report;
    for (const auto& line : lines) {
        if (!report.empty()) report += "\r\n";
        report += blanks + line.label + line.value;
    }
    return report;
}

std::string DemangledName(const char* mangled) {
    if (mangled == nullptr) return kUnknown;
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> name(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), &std::free);
    return status == 0 && name ? std::string(name.get()) : std::string(mangled);
}

void TQELDebug::EnterProc(const std::string& procedure) {
    log_.WriteEntry(LogKind::Enter, std::string(static_cast<std::size_t>(indent_), ' ') + procedure);
    indent_ += 2;
}

std::string TQELDebug::HandleException(const TQELExceptionInfos& infos) {
    if (!active_) return {};
    std::string report = FormatExceptionReport(infos, indent_);
    // Saved at once: the report is what the user will want to read after whatever follows.
    log_.WriteEntry(LogKind::Except, report, true);
    return report;
}

}  // namespace kinoloop
