// The script node's run and Stop Playback's KillScript, with the bridge over the in-memory simulator.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>
#include <fstream>

#include "qt_app.h"
#include "scripting/memory_simulator.h"
#include "scripting/pascal/output_host.h"
#include "scripting/script_files.h"
#include "scripting/script_runner.h"
#include "temp_folder.h"

namespace kinoloop::testing {
namespace {

struct Rig {
    Rig()
        : bridge(sim),
          console([this](std::string_view s) { out += s; }),
          host(console, bridge),
          runner(bridge, host, [this](const std::string& line) { log.push_back(line); }) {
        EnsureApplication();
    }
    MemorySimulator sim;
    ScriptBridge bridge;
    std::string out;
    pascal::OutputHost console;
    pascal::HostChain host;
    std::vector<std::string> log;
    ScriptRunner runner;
};

const char* kLoopingScript =
    "unit Looping;\r\n"
    "var\r\n"
    "  running: Boolean;\r\n"
    "procedure KillScript;\r\n"
    "begin\r\n"
    "  running := False;\r\n"
    "end;\r\n"
    "procedure Main;\r\n"
    "var\r\n"
    "  n: Integer;\r\n"
    "begin\r\n"
    "  running := True;\r\n"
    "  while running do\r\n"
    "  begin\r\n"
    "    n := n + 1;\r\n"
    "    COM_pause(100000);\r\n"
    "  end;\r\n"
    "  WriteLn('ended after ', n);\r\n"
    "end;\r\n"
    "end.\r\n";

TEST(ScriptRunner, KillScriptEndsALoopWaitingInAPause) {
    Rig rig;
    QTimer::singleShot(30, [&] {
        EXPECT_TRUE(rig.bridge.Pausing());
        rig.runner.KillScript();
    });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(rig.runner.RunText(kLoopingScript, "looping.script"), ScriptRunner::Outcome::Ran);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(rig.out, "ended after 1\n");
    EXPECT_TRUE(rig.log.empty());
}

TEST(ScriptRunner, AScriptThatIgnoresKillScriptIsStoppedAfterTheGrace) {
    Rig rig;
    const char* stubborn =
        "unit Stubborn;\r\nprocedure KillScript;\r\nbegin\r\nend;\r\n"
        "procedure Main;\r\nbegin\r\n  while True do COM_pause(10);\r\nend;\r\nend.\r\n";
    QTimer::singleShot(30, [&] { rig.runner.KillScript(); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(rig.runner.RunText(stubborn, "stubborn.script"), ScriptRunner::Outcome::Failed);
    EXPECT_GE(clock.elapsed(), ScriptRunner::kStopGraceMs);
    EXPECT_LT(clock.elapsed(), 5000);
    ASSERT_EQ(rig.log.size(), 1u);
    EXPECT_EQ(rig.log[0], "Script stubborn.script: Error in unit 'Stubborn' on line 7: Script stopped");
}

TEST(ScriptRunner, ANodeReachedWhileAScriptPausesIsSkipped) {
    Rig rig;
    ScriptRunner::Outcome inner = ScriptRunner::Outcome::Ran;
    QTimer::singleShot(20, [&] {
        inner = rig.runner.RunText(
            "unit Other;\r\nprocedure Main;\r\nbegin\r\n  WriteLn('other');\r\nend;\r\nend.", "other.script");
        rig.runner.KillScript();
    });
    rig.runner.RunText(kLoopingScript, "looping.script");
    EXPECT_EQ(inner, ScriptRunner::Outcome::Skipped);
    EXPECT_EQ(rig.out, "ended after 1\n");
    ASSERT_EQ(rig.log.size(), 1u);
    EXPECT_EQ(rig.log[0], "Script other.script skipped: another script is still running");
}

TEST(ScriptRunner, RunsTheFileOfTheNodeAndLockedFilesDecoded) {
    Rig rig;
    TempFolder dir;
    std::string script =
        "unit Node;\r\nprocedure Main;\r\nbegin\r\n  _camera_pos_x := 7;\r\n  "
        "COM_set_camera;\r\nend;\r\nend.\r\n";
    ASSERT_TRUE(SaveScriptFile(dir / "plain.script", script, false).ok);
    ASSERT_TRUE(SaveScriptFile(dir / "locked.script", script, true).ok);
    EXPECT_EQ(rig.runner.RunScriptFile(dir.Path(), "plain.script"), ScriptRunner::Outcome::Ran);
    EXPECT_EQ(rig.runner.RunScriptFile(dir.Path(), "locked.script"), ScriptRunner::Outcome::Ran);
    EXPECT_EQ(rig.sim.Sent(), (std::vector<std::string>{"CPP", "CPP"}));
}

TEST(ScriptRunner, MissingOrEmptyFilesRunNothingAndErrorsAreLogged) {
    Rig rig;
    TempFolder dir;
    { std::ofstream(dir / "empty.script"); }
    { std::ofstream(dir / "nomain.script") << "unit NoMain;\r\nend.\r\n"; }
    EXPECT_EQ(rig.runner.RunScriptFile(dir.Path(), "absent.script"), ScriptRunner::Outcome::NoFile);
    EXPECT_EQ(rig.runner.RunScriptFile(dir.Path(), "empty.script"), ScriptRunner::Outcome::NoFile);
    EXPECT_EQ(rig.runner.RunScriptFile(dir.Path(), ""), ScriptRunner::Outcome::NoFile);
    EXPECT_TRUE(rig.log.empty());
    EXPECT_EQ(rig.runner.RunScriptFile(dir.Path(), "nomain.script"), ScriptRunner::Outcome::Failed);
    ASSERT_EQ(rig.log.size(), 1u);
    EXPECT_EQ(rig.log[0], "Script nomain.script: Error in unit 'NoMain': Function 'main' undefined");
}

TEST(ScriptRunner, WriteLnThatNobodyTakesGoesToTheLog) {
    MemorySimulator sim;
    ScriptBridge bridge(sim);
    std::vector<std::string> log;
    ScriptRunner runner(bridge, bridge, [&log](const std::string& line) { log.push_back(line); });
    EXPECT_EQ(
        runner.RunText("unit P;\r\nprocedure Main;\r\nbegin\r\n  Write('x = ', 5);\r\n  WriteLn('!');\r\n"
                       "  WriteLn(_fps);\r\nend;\r\nend.",
                       "p.script"),
        ScriptRunner::Outcome::Ran);
    EXPECT_EQ(log, (std::vector<std::string>{"Script output: x = 5!", "Script output: 25"}));
}

TEST(ScriptRunner, KillScriptWithoutTextDoesNothingAndAMissingKillScriptIsLogged) {
    Rig rig;
    rig.runner.KillScript();
    EXPECT_TRUE(rig.log.empty());
    rig.runner.RunText("unit K;\r\nprocedure Main;\r\nbegin\r\nend;\r\nend.", "k.script");
    rig.runner.KillScript();
    ASSERT_EQ(rig.log.size(), 1u);
    EXPECT_EQ(rig.log[0], "Script KillScript: Error in unit 'K': Function 'KillScript' undefined");
}

}  // namespace
}  // namespace kinoloop::testing
