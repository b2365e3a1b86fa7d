// Carrying out one frame: what each kind of node does in each mode, debug rows, locked scripts.
#include <gtest/gtest.h>

#include <fstream>

#include "playback/frame_execution.h"
#include "playback/playback_texts.h"
#include "playback_rig.h"
#include "shell/program_folder.h"
#include "temp_folder.h"

namespace kinoloop::testing {
namespace {

struct ModeCase {
    const char* name;
    bool quick, preview, rendering, recordAudio;
    bool cameraSent, scriptRun, soundPlayed;
};

class FrameModes : public ::testing::TestWithParam<ModeCase> {};

TEST_P(FrameModes, EachKindActsOnlyInItsModes) {
    const ModeCase& c = GetParam();
    PlaybackRig rig;
    rig.AddSound(10, 1, "a.wav");
    rig.AddCamera(10, 2, 777);
    rig.AddScript(10, 3, "none.pas");
    rig.modes.QuickPreviewMode = c.quick;
    rig.modes.PreviewMode = c.preview;
    rig.modes.Rendering = c.rendering;
    rig.modes.RecordAudio = c.recordAudio;
    FrameExecutor executor(rig.movie, rig.modes, FramePorts{&rig.packets, &rig.scripts, &rig.sound, &rig.debug, &rig.pump});

    const FrameOutcome outcome = executor.CarryOutFrame(10, FrameVisit::Tick);

    EXPECT_EQ(rig.Find("CPP 777") >= 0, c.cameraSent);
    EXPECT_EQ(rig.Find("SCRIPT") >= 0, c.scriptRun);
    EXPECT_EQ(!rig.Matching("SOUND ").empty(), c.soundPlayed);
    EXPECT_FALSE(outcome.stopReached);
}

INSTANTIATE_TEST_SUITE_P(
    Playback, FrameModes,
    ::testing::Values(ModeCase{"Idle", false, false, false, false, false, false, false},
                      ModeCase{"QuickPreview", true, false, false, false, true, true, false},
                      ModeCase{"PreviewMovie", false, true, false, false, true, true, true},
                      ModeCase{"RenderWithSound", false, true, true, true, true, true, true},
                      // The sound stays silent, and the camera on the track below it is still sent.
                      ModeCase{"RenderWithoutSound", false, true, true, false, true, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrameExecution, DebugRowsNameEveryKindWithTrackAndFrame) {
    PlaybackRig rig;
    rig.movie.strTimeline.SetRowCount(10);
    rig.movie.strTracks.SetRowCount(10);
    for (int row = 1; row < 10; ++row) rig.movie.strTracks.At(row).name = "T" + std::to_string(row);
    rig.AddCamera(20, 1, 1);
    rig.AddScript(20, 2, "none.pas");
    rig.AddSound(20, 3, "a.wav");
    rig.AddStop(20, 4);
    rig.AddNode("EFF", 'E', 20, 5, "1:fx:0:0:0:0:");
    rig.AddStart(20, 6);
    rig.AddNode("MOM", 'H', 20, 7, "1:0:0");
    rig.AddNode("MKR", 'M', 20, 8, "1");
    rig.movie.strTimeline.SetCell(20, 9, "e");  // the continuation of an effect
    rig.modes.DebugMode = true;
    rig.modes.PreviewMode = true;
    FrameExecutor executor(rig.movie, rig.modes, FramePorts{&rig.packets, &rig.scripts, &rig.sound, &rig.debug, &rig.pump});

    const FrameOutcome outcome = executor.CarryOutFrame(20, FrameVisit::Tick);

    const std::vector<FakeDebug::Row> expected{
        {"Camera", "T1", 20}, {"Script", "T2", 20}, {"Sound", "T3", 20},       {"Stop", "T4", 20},
        {"Effect", "T5", 20}, {"Start", "T6", 20},  {"Hot Moment", "T7", 20}, {"Time Marker", "T8", 20},
        {"Effect", "T9", 20}};
    EXPECT_EQ(rig.debug.rows, expected);
    EXPECT_TRUE(outcome.stopReached);
    EXPECT_EQ(rig.pump.processed, 9) << "pending events are served after every debug row";
}

TEST(FrameExecution, NoDebugRowsWhileDebugModeIsOff) {
    PlaybackRig rig;
    rig.AddCamera(5, 1, 1);
    FrameExecutor executor(rig.movie, rig.modes, FramePorts{&rig.packets, &rig.scripts, &rig.sound, &rig.debug, &rig.pump});
    executor.CarryOutFrame(5, FrameVisit::Tick);
    EXPECT_TRUE(rig.debug.rows.empty());
}

TEST(FrameExecution, CameraLoadsItsFieldsAndBecomesTheSelection) {
    PlaybackRig rig;
    rig.AddCamera(7, 2, 4242);
    FrameExecutor executor(rig.movie, rig.modes, FramePorts{&rig.packets, &rig.scripts, &rig.sound, &rig.debug, &rig.pump});
    executor.CarryOutFrame(7, FrameVisit::Tick);
    EXPECT_EQ(rig.movie.txtRecords.Line(4), "4242");
    EXPECT_EQ(rig.movie.SelCol, 7);
    EXPECT_EQ(rig.movie.SelRow, 2);
}

TEST(FrameExecution, SeekSendsOnlyCameras) {
    PlaybackRig rig;
    rig.AddCamera(3, 1, 9);
    rig.AddScript(3, 2, "none.pas");
    rig.AddSound(3, 3, "a.wav");
    rig.modes.PreviewMode = true;
    rig.modes.DebugMode = true;
    FrameExecutor executor(rig.movie, rig.modes, FramePorts{&rig.packets, &rig.scripts, &rig.sound, &rig.debug, &rig.pump});
    executor.CarryOutFrame(3, FrameVisit::Seek);
    EXPECT_EQ(rig.log, (EventLog{"CPP 9"}));
}

TEST(FrameExecution, ScriptNodeWaitsNotForARunningScript) {
    PlaybackRig rig;
    rig.AddScript(3, 1, "none.pas");
    rig.modes.QuickPreviewMode = true;
    rig.scripts.running = true;
    FrameExecutor executor(rig.movie, rig.modes, FramePorts{&rig.packets, &rig.scripts, &rig.sound, &rig.debug, &rig.pump});
    executor.CarryOutFrame(3, FrameVisit::Tick);
    EXPECT_TRUE(rig.scripts.programs.empty());
}

TEST(ScriptProgram, PlainAndLockedFilesAndMissingOnes) {
    TempProgramFolder home;
    const std::string plain = "procedure Main;\nbegin\nend;\n";
    std::ofstream(ScrFolder() / "plain.pas") << plain;
    // "procedure Main;\nbegin\nend;\n" in base64, split over two lines as a locked file keeps it.
    std::ofstream(ScrFolder() / "locked.pas") << "PROT\r\ncHJvY2VkdXJlIE1haW47CmJl\r\nZ2luCmVuZDsK\r\n";
    const std::vector<std::string> expected{"procedure Main;", "begin", "end;"};
    EXPECT_EQ(FrameExecutor::ScriptProgram("plain.pas"), expected);
    EXPECT_EQ(FrameExecutor::ScriptProgram("locked.pas"), expected);
    EXPECT_TRUE(FrameExecutor::ScriptProgram("missing.pas").empty());
    EXPECT_TRUE(FrameExecutor::ScriptProgram("").empty());
}

}  // namespace
}  // namespace kinoloop::testing
