#include "diagnostics/log_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "diagnostics/system_facts.h"
#include "temp_folder.h"

namespace kinoloop {
namespace {

namespace fs = std::filesystem;

constexpr const char* kNow = "09/12/2024 10:11:12";

LogHooks FixedHooks(std::vector<std::string>* failures = nullptr, LogViewer* viewer = nullptr) {
    LogHooks hooks;
    hooks.now = [] { return std::string(kNow); };
    hooks.facts = [] {
        return LogStartFacts{"kinoloop", "/opt/kinoloop/kinoloop", "anna", "box", "Linux v6"};
    };
    if (failures != nullptr)
        hooks.startFailed = [failures](const std::string& text) { failures->push_back(text); };
    hooks.viewer = viewer;
    return hooks;
}

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The file's lines split at CR LF (a last CR LF ends the last line).
std::vector<std::string> FileLines(const fs::path& file) {
    const std::string text = ReadFile(file);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, at - start));
        start = at + 2;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

int Count(const std::vector<std::string>& lines, const std::string& part) {
    int count = 0;
    for (const std::string& line : lines) count += line.find(part) != std::string::npos ? 1 : 0;
    return count;
}

class RecordingViewer : public LogViewer {
public:
    void ShowText(const std::string& text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

const std::vector<std::string> kStartBlock = {
    "# " + std::string(89, '-'),
    std::string("# START LOGGING : kinoloop at ") + kNow,
    "# " + std::string(89, '-'),
    "# PROCESS  : /opt/kinoloop/kinoloop",
    "# USER     : anna",
    "# COMPUTER : box",
    "# SYSTEM   : Linux v6",
    "# " + std::string(89, '-'),
    "# ",
};

TEST(IndentLines, BlanksAfterEveryLineBreak) {
    const struct {
        std::string text;
        int leading;
        int after;
        char fill;
        std::string expected;
    } cases[] = {
        {"one", 0, 4, ' ', "one"},
        {"one\r\ntwo", 0, 3, ' ', "one\r\n   two"},
        {"a\r\nb\r\nc", 2, 1, '.', "..a\r\n.b\r\n.c"},
        {"lone\nfeed\rreturn", 0, 5, ' ', "lone\nfeed\rreturn"},  // only CR LF pairs are line breaks
        {"end\r\n", 0, 2, ' ', "end\r\n  "},
        {"", 3, 3, ' ', "   "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IndentLines(c.text, c.leading, c.after, c.fill), c.expected) << c.text;
}

TEST(LogKindName, SixCharactersEach) {
    EXPECT_EQ(LogKindName(LogKind::Info), "INFO  ");
    EXPECT_EQ(LogKindName(LogKind::Error), "ERROR ");
    EXPECT_EQ(LogKindName(LogKind::Except), "EXCEPT");
    EXPECT_EQ(LogKindName(LogKind::Enter), "ENTER ");
    EXPECT_EQ(LogKindName(LogKind::Plain), "");
}

TEST(LogFile, OffWritesNothingAndCreatesNoFile) {
    testing::TempFolder folder;
    RecordingViewer viewer;
    {
        TQELLogFile log(folder / "kinoloop.log", FixedHooks(nullptr, &viewer));
        log.WriteEntry(LogKind::Except, "boom", true);
        log.SaveLog();
        log.ShowLog();
        EXPECT_FALSE(log.Active());
        EXPECT_TRUE(log.Entries().empty());
    }
    EXPECT_FALSE(fs::exists(folder / "kinoloop.log"));
    EXPECT_TRUE(viewer.shown.empty());
}

TEST(LogFile, StartBlockIsOnDiskAtOnce) {
    testing::TempFolder folder;
    TQELLogFile log(folder / "kinoloop.log", FixedHooks());
    log.Active(true);
    ASSERT_TRUE(log.Active());
    EXPECT_EQ(FileLines(folder / "kinoloop.log"), kStartBlock);
    EXPECT_EQ(log.EntriesSinceSave(), 0);
}

TEST(LogFile, ThreeLineExceptEntryIsIndentedUnderItsFirstLine) {
    testing::TempFolder folder;
    TQELLogFile log(folder / "kinoloop.log", FixedHooks());
    log.Active(true);
    log.WriteEntry(3, "first\r\nsecond\r\nthird", true);
    const std::vector<std::string> lines = FileLines(folder / "kinoloop.log");
    ASSERT_EQ(lines.size(), kStartBlock.size() + 3);
    const std::string prefix = std::string("# ") + kNow + " [ EXCEPT ] ";
    const std::string blanks(prefix.size(), ' ');
    EXPECT_EQ(lines[kStartBlock.size()], prefix + "first");
    EXPECT_EQ(lines[kStartBlock.size() + 1], blanks + "second");
    EXPECT_EQ(lines[kStartBlock.size() + 2], blanks + "third");
    // One entry in memory, three lines in the file.
    EXPECT_EQ(log.Entries().size(), kStartBlock.size() + 1);
}

TEST(LogFile, KeepsAtMostMaxEntriesDroppingTheOldest) {
    testing::TempFolder folder;
    TQELLogFile log(folder / "kinoloop.log", FixedHooks());
    log.Active(true);
    for (int i = 0; i < TQELLogFile::kMaxEntries; ++i) log.WriteEntry(LogKind::Plain, std::to_string(i));
    ASSERT_EQ(log.Entries().size(), 5000u);
    EXPECT_EQ(log.Entries().front(), "# 0");  // the start block has gone
    EXPECT_EQ(log.Entries().back(), "# 4999");
    log.WriteEntry(LogKind::Plain, "5000");
    ASSERT_EQ(log.Entries().size(), 5000u);
    EXPECT_EQ(log.Entries().front(), "# 1");
    EXPECT_EQ(log.Entries().back(), "# 5000");
}

TEST(LogFile, SavesEveryHundredEntriesAndOnAFlushedEntry) {
    testing::TempFolder folder;
    const fs::path file = folder / "kinoloop.log";
    TQELLogFile log(file, FixedHooks());
    log.Active(true);
    for (int i = 1; i <= 99; ++i) log.WriteEntry(LogKind::Info, std::to_string(i));
    EXPECT_EQ(FileLines(file).size(), kStartBlock.size()) << "99 entries wait in memory";
    EXPECT_EQ(log.EntriesSinceSave(), 99);
    log.WriteEntry(LogKind::Info, "100");
    EXPECT_EQ(FileLines(file).size(), kStartBlock.size() + 100) << "the 100th entry saves";
    EXPECT_EQ(log.EntriesSinceSave(), 0);

    log.WriteEntry(LogKind::Info, "101");
    EXPECT_EQ(FileLines(file).size(), kStartBlock.size() + 100);
    log.WriteEntry(LogKind::Error, "102", true);
    EXPECT_EQ(FileLines(file).size(), kStartBlock.size() + 102) << "a flushed entry saves at once";
    EXPECT_EQ(log.EntriesSinceSave(), 0) << "and restarts the count";
    for (int i = 0; i < 99; ++i) log.WriteEntry(LogKind::Info, "more");
    EXPECT_EQ(FileLines(file).size(), kStartBlock.size() + 102);
    log.WriteEntry(LogKind::Info, "more");
    EXPECT_EQ(FileLines(file).size(), kStartBlock.size() + 202);
}

TEST(LogFile, EndsWithTheStopBlockWhenDestroyed) {
    testing::TempFolder folder;
    {
        TQELLogFile log(folder / "kinoloop.log", FixedHooks());
        log.Active(true);
        log.WriteEntry(LogKind::Info, "working");  // not yet saved
    }
    const std::vector<std::string> lines = FileLines(folder / "kinoloop.log");
    ASSERT_EQ(lines.size(), kStartBlock.size() + 1 + 5);
    EXPECT_EQ(lines[kStartBlock.size()], std::string("# ") + kNow + " [ INFO   ] working");
    const std::vector<std::string> stop(lines.end() - 5, lines.end());
    const std::vector<std::string> expected = {"# ", "# " + std::string(89, '-'),
                                               std::string("# STOP LOGGING at ") + kNow,
                                               "# " + std::string(89, '-'), "# "};
    EXPECT_EQ(stop, expected);
}

TEST(LogFile, ASecondRunKeepsTheOldEntriesAndAppendsItsStartBlock) {
    testing::TempFolder folder;
    const fs::path file = folder / "kinoloop.log";
    {
        TQELLogFile first(file, FixedHooks());
        first.Active(true);
        first.WriteEntry(LogKind::Except, "one\r\ntwo");
    }
    const std::vector<std::string> firstRun = FileLines(file);
    TQELLogFile second(file, FixedHooks());
    second.Active(true);
    const std::vector<std::string> lines = FileLines(file);
    ASSERT_EQ(lines.size(), firstRun.size() + kStartBlock.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + firstRun.size()), firstRun);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + firstRun.size(), lines.end()), kStartBlock);
    // The old file's lines are entries of their own now.
    EXPECT_EQ(second.Entries().size(), firstRun.size() + kStartBlock.size());
}

TEST(LogFile, SwitchingOnTwiceWritesOneStartBlock) {
    testing::TempFolder folder;
    TQELLogFile log(folder / "kinoloop.log", FixedHooks());
    log.Active(true);
    log.Active(true);
    EXPECT_EQ(Count(FileLines(folder / "kinoloop.log"), "START LOGGING"), 1);
    EXPECT_EQ(log.Entries().size(), kStartBlock.size());
}

TEST(LogFile, AStartThatCannotCreateTheFileLeavesLoggingOffAndSaysWhy) {
    testing::TempFolder folder;
    const fs::path file = folder / "missing-folder" / "kinoloop.log";
    std::vector<std::string> failures;
    TQELLogFile log(file, FixedHooks(&failures));
    log.Active(true);
    EXPECT_FALSE(log.Active());
    ASSERT_EQ(failures.size(), 1u);
    const std::string expected =
        "Error on starting logging " + file.string() + "\r\nTrace is disabled...\r\n\r\n";
    EXPECT_EQ(failures[0].substr(0, expected.size()), expected);
    EXPECT_GT(failures[0].size(), expected.size()) << "the error's own message follows";
    log.WriteEntry(LogKind::Info, "lost", true);
    EXPECT_FALSE(fs::exists(file));
}

TEST(LogFile, ShowLogHandsTheKeptEntriesToTheWindow) {
    testing::TempFolder folder;
    RecordingViewer viewer;
    TQELLogFile log(folder / "kinoloop.log", FixedHooks(nullptr, &viewer));
    log.Active(true);
    log.WriteEntry(LogKind::Info, "shown");
    log.ShowLog();
    ASSERT_EQ(viewer.shown.size(), 1u);
    EXPECT_EQ(viewer.shown[0], log.Text());
    EXPECT_NE(viewer.shown[0].find("[ INFO   ] shown\r\n"), std::string::npos);
}

TEST(SystemFacts, TitleAndLogNameFromTheProgramFile) {
    const struct {
        const char* program;
        const char* title;
        const char* log;
    } cases[] = {
        {"/opt/kl/kinoloop", "kinoloop", "/opt/kl/kinoloop.log"},
        {"/opt/kl/KinoLoop.exe", "Kinoloop", "/opt/kl/KinoLoop.log"},
        {"/opt/kl/kino.loop.bin", "kino", "/opt/kl/kino.loop.log"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StartupTitle(c.program), c.title) << c.program;
        EXPECT_EQ(LogFileName(c.program), fs::path(c.log)) << c.program;
    }
}

TEST(SystemFacts, TheMachineIsDescribed) {
    const LogStartFacts facts = ReadStartFacts(ProgramFilePath());
    EXPECT_FALSE(facts.user.empty());
    EXPECT_FALSE(facts.computer.empty());
    EXPECT_EQ(facts.system.rfind("Linux v", 0), 0u) << facts.system;
    EXPECT_EQ(facts.title, "diagnostics_tests");
    EXPECT_NE(LocalDateTime().find(' '), std::string::npos) << "date, a space, time";
}

}  // namespace
}  // namespace kinoloop
