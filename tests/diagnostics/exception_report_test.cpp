#include "diagnostics/exception_report.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "temp_folder.h"

namespace kinoloop {
namespace {

TQELExceptionInfos Sample(const std::string& message) {
    TQELExceptionInfos infos;
    SetExceptionType(infos, "std::runtime_error", "std::exception");
    infos.Message = message;
    infos.SenderClass = "QPushButton > QAbstractButton > QWidget > QObject";
    infos.SenderName = "btnApply";
    return infos;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, at - start));
        start = at + 2;
    }
    lines.push_back(text.substr(start));
    return lines;
}

TEST(ExceptionReport, TenLabelledLinesWithTheMessageAlignedUnderItsFirstLine) {
    const std::vector<std::string> lines = Lines(FormatExceptionReport(Sample("first\r\nsecond"), 0));
    const std::vector<std::string> expected = {
        "Type         : std::runtime_error ( std::exception )",
        "Unit         : <Unknown>",
        "Line         : <Unknown>",
        "Class        : <Unknown>",
        "Function     : <Unknown>",
        "Address      : <Unknown>",
        "Sender Class : QPushButton > QAbstractButton > QWidget > QObject",
        "Sender Name  : btnApply",
        "Message      : first",
        "               second",
        "Call Stack   : <Unknown>",
    };
    EXPECT_EQ(lines, expected);
}

TEST(ExceptionReport, EveryLineStartsWithTheIndent) {
    for (const std::string& line : Lines(FormatExceptionReport(Sample("a\r\nb"), 4))) {
        EXPECT_EQ(line.substr(0, 4), "    ") << line;
    }
    const std::vector<std::string> lines = Lines(FormatExceptionReport(Sample("a\r\nb"), 4));
    EXPECT_EQ(lines[9], std::string(4 + 15, ' ') + "b");
}

TEST(ExceptionReport, DemangledTypeNames) {
    EXPECT_EQ(DemangledName(typeid(std::runtime_error).name()), "std::runtime_error");
    EXPECT_EQ(DemangledName(typeid(std::out_of_range).name()), "std::out_of_range");
    EXPECT_EQ(DemangledName(nullptr), "<Unknown>");
}

class DebugTest : public ::testing::Test {
protected:
    DebugTest() : log(folder / "kinoloop.log", Hooks()) {}
    static LogHooks Hooks() {
        LogHooks hooks;
        hooks.now = [] { return std::string("d t"); };
        hooks.facts = [] { return LogStartFacts{}; };
        return hooks;
    }
    testing::TempFolder folder;
    TQELLogFile log;
};

TEST_F(DebugTest, AReportIsOneExceptEntry) {
    log.Active(true);
    TQELDebug debug(log);
    debug.SetActive(true);
    const std::string report = debug.HandleException(Sample("boom"));
    EXPECT_EQ(report, FormatExceptionReport(Sample("boom"), 0));
    EXPECT_EQ(log.Entries().back(), IndentLines("# d t [ EXCEPT ] " + report, 0, 17));
}

TEST_F(DebugTest, AnInactiveDebuggerReportsNothing) {
    log.Active(true);
    TQELDebug debug(log);
    const std::size_t before = log.Entries().size();
    EXPECT_EQ(debug.HandleException(Sample("boom")), "");
    EXPECT_EQ(log.Entries().size(), before);
}

TEST_F(DebugTest, WithLoggingOffTheReportIsMadeButNotWritten) {
    TQELDebug debug(log);
    debug.SetActive(true);
    EXPECT_FALSE(debug.HandleException(Sample("boom")).empty());
    EXPECT_TRUE(log.Entries().empty());
}

TEST_F(DebugTest, TwoEnterProcsIndentTheNextReportByFourBlanks) {
    log.Active(true);
    TQELDebug debug(log);
    debug.SetActive(true);
    debug.EnterProc("TfrmMain::RunStartupSequence");
    debug.EnterProc("inner");
    EXPECT_EQ(debug.Indent(), 4);
    const auto& entries = log.Entries();
    EXPECT_EQ(entries[entries.size() - 2], "# d t [ ENTER  ] TfrmMain::RunStartupSequence");
    EXPECT_EQ(entries[entries.size() - 1], "# d t [ ENTER  ]   inner");
    const std::string report = debug.HandleException(Sample("x"));
    for (const std::string& line : Lines(report)) EXPECT_EQ(line.substr(0, 4), "    ") << line;
}

}  // namespace
}  // namespace kinoloop
