// Script files: plain and locked saves, the two rules for locked files, the script list, Quick Compile, and
// the shipped template and completion list.
#include "scripting/script_files.h"

#include <gtest/gtest.h>

#include <fstream>

#include "script_support.h"
#include "scripted_notices.h"
#include "scripting/pascal/builtins.h"
#include "scripting/script_bridge.h"
#include "temp_folder.h"

namespace kinoloop::testing {
namespace {

void Write(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

TEST(SaveScriptFile, PlainWritesTheLinesWithCrLf) {
    TempFolder dir;
    ASSERT_TRUE(SaveScriptFile(dir / "a.script", "line one\nline two", false).ok);
    EXPECT_EQ(ReadFile(dir / "a.script"), "line one\r\nline two\r\n");
}

TEST(SaveScriptFile, LockWritesProtAndTheBase64OfTheWholeText) {
    TempFolder dir;
    ASSERT_TRUE(SaveScriptFile(dir / "l.script", "ab\r\ncd", true).ok);
    // base64("ab\r\ncd\r\n")
    EXPECT_EQ(ReadFile(dir / "l.script"), "PROT\r\nYWINCmNkDQo=\r\n");
}

TEST(SaveScriptFile, AFailedSaveSaysSoAndLeavesNoFile) {
    TempFolder dir;
    FileOutcome result = SaveScriptFile(dir / "missing" / "x.script", "text", false);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("x.script"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing" / "x.script"));
}

TEST(LoadScriptFile, ALockedScriptIsRefusedAndTheEditorKeepsItsText) {
    TempFolder dir;
    ASSERT_TRUE(SaveScriptFile(dir / "l.script", "secret\r\ncode", true).ok);
    ScriptedNotices notices;
    std::string editor = "what was there";
    EXPECT_TRUE(LoadScriptFile(dir / "l.script", notices, editor).ok);
    EXPECT_EQ(editor, "what was there");
    ASSERT_EQ(notices.boxes.size(), 1u);
    EXPECT_EQ(notices.boxes[0].icon, 'I');
    EXPECT_EQ(notices.boxes[0].buttons, 'O');
    EXPECT_EQ(notices.boxes[0].caption, "Kinoloop");
    EXPECT_EQ(notices.boxes[0].text,
              "This script has been locked by the author, you cannot edit this script");
}

TEST(LoadScriptFile, APlainScriptBecomesTheEditorsText) {
    TempFolder dir;
    Write(dir / "p.script", "unit P;\r\nend.\r\n");
    ScriptedNotices notices;
    std::string editor;
    EXPECT_TRUE(LoadScriptFile(dir / "p.script", notices, editor).ok);
    EXPECT_EQ(editor, "unit P;\r\nend.\r\n");
    EXPECT_TRUE(notices.boxes.empty());
    EXPECT_FALSE(LoadScriptFile(dir / "none.script", notices, editor).ok);
}

TEST(LockedRules, EditorAndPlaybackDiffer) {
    struct Case {
        const char* text;
        bool editor;
        bool playback;
    } cases[] = {
        {"PROT\r\nAAAA\r\n", true, true},
        {" PROT\r\nAAAA\r\n", false, true},  // opens in the editor, but playback decodes it
        {"PROT  \r\nAAAA\r\n", true, true},
        {"PROTECTED\r\n", true, false},  // the editor looks at four characters only
        {"unit P;\r\n", false, false},
        {"", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LockedForEditor(c.text), c.editor) << c.text;
        EXPECT_EQ(LockedForPlayback(c.text), c.playback) << c.text;
    }
}

TEST(LockedRules, PlaybackDecodesWhatSaveAndLockWrote) {
    std::string script =
        "unit L;\r\nprocedure Main;\r\nbegin\r\n  WriteLn('locked ran');\r\nend;\r\nend.\r\n";
    std::string file = LockedFileText(script);
    EXPECT_EQ(PlaybackText(file), script);
    EXPECT_EQ(PlaybackText(" " + file), script);
    EXPECT_EQ(RunScript(PlaybackText(file)), "locked ran\n");
    EXPECT_EQ(PlaybackText("unit Plain;"), "unit Plain;");
}

TEST(FillScriptList, ListsScriptFilesByName) {
    TempFolder dir;
    for (const char* name : {"b.script", "A.script", "c.txt", "a2.SCRIPT", "z.script"})
        Write(dir / name, "x");
    std::filesystem::create_directory(dir / "folder.script");
    EXPECT_EQ(FillScriptList(dir.Path()),
              (std::vector<std::string>{"A.script", "a2.SCRIPT", "b.script", "z.script"}));
    EXPECT_TRUE(FillScriptList(dir / "nowhere").empty());
}

TEST(QuickCompile, AcceptsTheTemplateAndReportsErrorsWithTheirLine) {
    EXPECT_FALSE(QuickCompile(ScriptTemplate()));
    auto error = QuickCompile("unit Untitled;\r\nprocedure Main;\r\nbegin\r\n  x := (1;\r\nend;\r\nend.\r\n");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Message(), "Error in unit 'Untitled' on line 4: ')' expected but ';' found");
    auto notUnit = QuickCompile("begin end.");
    ASSERT_TRUE(notUnit);
    EXPECT_EQ(notUnit->line, 1u);
}

TEST(ShippedFiles, TheTemplateFileIsTheBuiltInTemplate) {
    std::string shipped = ReadFile(SourceDir() / "assets" / "Scr" / "default.script");
    EXPECT_EQ(shipped, ScriptTemplate());
    std::vector<std::string> lines = SplitLines(shipped);
    ASSERT_EQ(lines.size(), 40u);
    EXPECT_EQ(lines[2], "unit Untitled;");
    EXPECT_EQ(lines[12], "  ISS_SHIFTU = 8;  //needed to set the camera in to shift+u mode ");
    EXPECT_EQ(lines[21], "procedure KillScript;");
    EXPECT_EQ(lines[39], "end.");
}

TEST(ShippedFiles, TheCompletionListNamesEveryHostNameAndBuiltIn) {
    std::string comp = ReadFile(SourceDir() / "assets" / "Scr" / "completion.comp");
    std::vector<std::string> entries = SplitLines(comp);
    auto listed = [&](const std::string& name) {
        for (const std::string& e : entries) {
            std::size_t eq = e.find('=');
            if (eq == std::string::npos) continue;
            std::string id = e.substr(0, eq);
            std::size_t cut = id.find_first_of("(|;");
            if (id.substr(0, cut) == name && eq + 1 < e.size()) return true;
        }
        return false;
    };
    for (const HostNameInfo& h : HostNames()) EXPECT_TRUE(listed(h.name)) << h.name;
    for (const pascal::BuiltinInfo& b : pascal::AllBuiltins()) EXPECT_TRUE(listed(b.name)) << b.name;
    for (const char* word : {"Inc", "Dec", "Exit", "Break", "Continue"}) EXPECT_TRUE(listed(word)) << word;
}

}  // namespace
}  // namespace kinoloop::testing
