// The corpus: small scripts covering every construct of the dialect, each with the output it must print.
// Those that are also valid Free Pascal are compiled with fpc (Delphi mode) and must print exactly the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <regex>

#include "script_support.h"

namespace kinoloop::testing {
namespace {

namespace fs = std::filesystem;

fs::path CorpusDir() {
    return SourceDir() / "tests" / "scripting" / "corpus";
}

// A corpus script that Free Pascal does not accept (variant rules, dialect extensions, errors) says so in its
// first line.
bool FreePascalValid(const std::string& text) {
    return text.rfind("{nofpc}", 0) != 0;
}

std::vector<std::string> CorpusNames(bool fpcOnly) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(CorpusDir(), ec)) {
        if (entry.path().extension() != ".pas") continue;
        if (fpcOnly && !FreePascalValid(ReadFile(entry.path()))) continue;
        names.push_back(entry.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string Shell(const std::string& command, int& status) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        status = -1;
        return out;
    }
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
    status = pclose(pipe);
    return out;
}

bool FpcInstalled() {
    int status = 0;
    Shell("command -v fpc >/dev/null 2>&1", status);
    return status == 0;
}

// The unit as a Free Pascal program: "unit X;" becomes a program using the units the built-ins come from, and
// the closing "end." runs Main.
std::string AsFreePascalProgram(const std::string& unitText) {
    std::string text =
        std::regex_replace(unitText, std::regex(R"(\bunit\s+(\w+)\s*;)", std::regex::icase),
                           "program $1;\nuses SysUtils, Math;", std::regex_constants::format_first_only);
    std::size_t end = text.rfind("end.");
    if (end != std::string::npos) text.replace(end, 4, "begin\n  Main;\nend.");
    return text;
}

class Corpus : public ::testing::TestWithParam<std::string> {};

TEST_P(Corpus, PrintsTheExpectedOutput) {
    fs::path source = CorpusDir() / (GetParam() + ".pas");
    fs::path expected = CorpusDir() / (GetParam() + ".out");
    ASSERT_TRUE(fs::exists(expected)) << expected;
    EXPECT_EQ(RunScript(ReadFile(source)), ReadFile(expected));
}

INSTANTIATE_TEST_SUITE_P(Scripts, Corpus, ::testing::ValuesIn(CorpusNames(false)),
                         [](const auto& info) { return info.param; });

class FreePascal : public ::testing::TestWithParam<std::string> {};

TEST_P(FreePascal, PrintsWhatFreePascalPrints) {
    if (!FpcInstalled()) GTEST_SKIP() << "fpc is not installed";
    std::string unitText = ReadFile(CorpusDir() / (GetParam() + ".pas"));
    char dirTemplate[] = "/tmp/kl-fpc-XXXXXX";
    ASSERT_NE(mkdtemp(dirTemplate), nullptr);
    fs::path dir = dirTemplate;
    fs::path program = dir / "prog.pas";
    {
        FILE* f = std::fopen(program.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::string text = AsFreePascalProgram(unitText);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    int status = 0;
    std::string log =
        Shell("fpc -Mdelphi -O1 -v0 -FE" + dir.string() + " " + program.string() + " 2>&1", status);
    ASSERT_EQ(status, 0) << "fpc failed:\n" << log;
    std::string fpcOutput = Shell((dir / "prog").string() + " 2>&1", status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(RunScript(unitText), fpcOutput);
    fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(Scripts, FreePascal, ::testing::ValuesIn(CorpusNames(true)),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace kinoloop::testing
