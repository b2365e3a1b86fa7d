#include "link/replay_control.h"

#include <QTimer>
#include <gtest/gtest.h>

#include "link_fakes.h"
#include "scripted_notices.h"
#include "temp_folder.h"

namespace kinoloop {
namespace {

using Lines = std::vector<std::string>;
using testing::StatePacket;

class ReplayControlTest : public ::testing::Test {
protected:
    ReplayControlTest()
        : handler(movie, settings, sender, fakes.Ports()), control(handler, notices) {
        settings.lfspath = simulatorFolder.Path().string() + "/";
        testing::WriteReplayFile(simulatorFolder / "data/spr/demo.spr", 32, "DEMO1");
        testing::WriteReplayFile(simulatorFolder / "data/mpr/league.mpr", 40, "DEMO2");
        movie.ResetTimeline(60, 25);
    }

    // The simulator's report that the replay runs, arriving once the load command has gone out.
    void ReportRunningSoon(std::uint16_t flags = 2 | 128) {
        auto* watch = new QTimer;
        QObject::connect(watch, &QTimer::timeout, [this, flags, watch] {
            const Lines lines = sender.Lines();
            if (lines.empty() || lines.back().rfind("MST /", 0) != 0 || lines.back() == "MST /end") return;
            watch->stop();
            watch->deleteLater();
            handler.UdpServerRead(StatePacket(flags));
        });
        watch->start(5);
    }

    int Count(const std::string& line) const {
        const Lines lines = sender.Lines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), line));
    }

    // Lines sent after the last "MST /spr ..." or "MST /mpr ...".
    Lines AfterLoad() const {
        Lines lines = sender.Lines();
        auto it = std::find_if(lines.rbegin(), lines.rend(), [](const std::string& l) { return l.rfind("MST /", 0) == 0 && l != "MST /end"; });
        return Lines(it.base(), lines.end());
    }

    testing::TempProgramFolder programFolder;
    testing::TempFolder simulatorFolder;
    TSettings settings;
    Movie movie;
    testing::RecordingSender sender;
    testing::FakePorts fakes;
    testing::ScriptedNotices notices;
    LinkHandler handler;
    ReplayControl control;
};

TEST_F(ReplayControlTest, LoadReplaySendsTheCommandAndAwaitsTheReplay) {
    control.LoadReplay("league.mpr", false);
    EXPECT_EQ(sender.Lines(), (Lines{"MST /mpr league"}));
    EXPECT_EQ(movie.CurrentFrame, -1);
    EXPECT_TRUE(handler.state.ReplayRequested);
    EXPECT_EQ(fakes.timeline.scrolledTo, 0);
    ASSERT_EQ(notices.balloons.size(), 1u);
    EXPECT_EQ(notices.balloons[0].text, "Loading Replay, Please Wait");
    EXPECT_EQ(notices.balloons[0].title, "Kinoloop 2");
}

TEST_F(ReplayControlTest, MoveToAMissingReplayIsReportedAndDoesNothing) {
    EXPECT_EQ(control.LoadReplayAndMove("gone.spr", true, false, 10), MoveResult::FileMissing);
    EXPECT_TRUE(sender.sent.empty());
    ASSERT_EQ(notices.balloons.size(), 1u);
    EXPECT_EQ(notices.balloons[0].text, "Error Loading Replay\nReplay file 'gone.spr' was not found");
    EXPECT_EQ(notices.balloons[0].kind, BalloonKind::Error);
    EXPECT_FALSE(handler.state.ReplayRequested);
}

TEST_F(ReplayControlTest, MoveFromTheBeginningLoadsAndLeavesTheStartToTheSimulator) {
    fakes.clock.active = true;
    EXPECT_EQ(control.LoadReplayAndMove("demo.spr", true, true, 0), MoveResult::Started);
    EXPECT_EQ(sender.Lines(), (Lines{"MST /end", "MST /spr demo"}));
    EXPECT_FALSE(fakes.clock.active);
    EXPECT_EQ(movie.CurrentFrame, -1);
}

TEST_F(ReplayControlTest, MoveToAFrameStepsExactlyThatManyFramesWhileFrozen) {
    ReportRunningSoon();
    EXPECT_EQ(control.LoadReplayAndMove("demo.spr", true, false, 250), MoveResult::Moved);
    Lines expected = {"SCH f 1", "TMS 1", "TMS 1"};
    expected.insert(expected.end(), 250, "STP 4");
    expected.push_back("TMS 0");
    EXPECT_EQ(AfterLoad(), expected);
    EXPECT_EQ(movie.CurrentFrame, 248);
    EXPECT_TRUE(fakes.clock.active);
    EXPECT_EQ(fakes.timeline.scrolledTo, 248 - 10);
    EXPECT_EQ(fakes.timeline.framesRun.size(), 250u) << "the frames passed are carried out while Playing";
}

TEST_F(ReplayControlTest, MoveToFrameZeroStepsNothingAndPausesWhenAsked) {
    ReportRunningSoon();
    EXPECT_EQ(control.LoadReplayAndMove("demo.spr", false, false, 0), MoveResult::Moved);
    EXPECT_EQ(AfterLoad(), (Lines{"SCH f 1", "TMS 1", "TMS 1", "TMS 0", "SCH p 0"}));
    EXPECT_EQ(movie.CurrentFrame, -2);
    EXPECT_TRUE(fakes.clock.active);
}

TEST_F(ReplayControlTest, StoppingPlaybackEndsTheWaitAndNoOtherCommandStartsMeanwhile) {
    MoveResult during = MoveResult::Moved;
    QTimer::singleShot(30, [&] {
        during = control.MoveForward(true, false, 0, 10);
        control.StopWaiting();
    });
    EXPECT_EQ(control.LoadReplayAndMove("demo.spr", true, false, 100), MoveResult::Stopped);
    EXPECT_EQ(during, MoveResult::Busy);
    EXPECT_EQ(Count("STP 4"), 0);
    EXPECT_EQ(sender.Lines().back(), "MST /spr demo");
}

TEST_F(ReplayControlTest, MoveHereAheadOfThePlayedFrameStepsOnFromThere) {
    fakes.panel.replayVisible = true;
    notices.Answer('O');
    movie.CurrentFrame = 300;
    EXPECT_EQ(control.MoveLfsHere(false, "demo.spr", 120), MoveResult::Moved);
    Lines expected = {"SCH p 0", "TMS 1"};
    expected.insert(expected.end(), 179, "STP 4");
    expected.push_back("TMS 0");
    expected.push_back("SCH p 0");
    EXPECT_EQ(sender.Lines(), expected);
    EXPECT_EQ(movie.CurrentFrame, 298);
    EXPECT_TRUE(handler.state.Playing);
    ASSERT_FALSE(fakes.timeline.framesRun.empty());
    EXPECT_EQ(fakes.timeline.framesRun.front(), 121);
    EXPECT_EQ(notices.boxes.at(0).buttons, 'C');
}

TEST_F(ReplayControlTest, MoveHereBehindThePlayedFrameReloadsTheReplay) {
    fakes.panel.replayVisible = true;
    notices.Answer('O');
    movie.CurrentFrame = 100;
    ReportRunningSoon();
    EXPECT_EQ(control.MoveLfsHere(true, "demo.spr", 120), MoveResult::Moved);
    EXPECT_EQ(sender.Lines().front(), "MST /end");
    EXPECT_EQ(Count("STP 4"), 100);
    EXPECT_EQ(movie.CurrentFrame, 98);
}

TEST_F(ReplayControlTest, MoveHereNeedsAReplaySelectedAndAnOk) {
    movie.CurrentFrame = 100;
    EXPECT_EQ(control.MoveLfsHere(true, "demo.spr", 0), MoveResult::Refused);
    EXPECT_EQ(notices.LastText(), "You can only change the replay position while a replay is selected");
    fakes.panel.replayVisible = true;
    notices.Answer('C');
    EXPECT_EQ(control.MoveLfsHere(true, "demo.spr", 0), MoveResult::Refused);
    EXPECT_TRUE(sender.sent.empty());
}

TEST_F(ReplayControlTest, UnFreezeSendsOnlyTimeRunning) {
    control.UnFreeze();
    EXPECT_EQ(sender.Lines(), (Lines{"TMS 0"}));
    EXPECT_EQ(fakes.panel.label, "Properties");
}

TEST_F(ReplayControlTest, ApplyStoresTheReplayInTheNodeAndOffersScanOrStart) {
    ReplayNode node;
    node.column = 0;
    node.row = 1;
    node.fileName = "old.spr";
    movie.AddReplayRecord(node);
    movie.txtRecords.Load(movie.FindNodeText(false, 0, 1));

    control.btnApplyReplayClick("Single Player Replays");
    EXPECT_TRUE(notices.boxes.empty());
    EXPECT_EQ(fakes.panel.track, "?") << "a heading line is ignored";

    notices.Answer('N');
    notices.Answer('Y');
    control.btnApplyReplayClick("league.mpr");
    EXPECT_EQ(fakes.panel.track, "DEMO2");
    EXPECT_EQ(movie.header.MovieTrackName, "DEMO2");
    EXPECT_EQ(movie.txtRecords.Line(field::ReplayFile), "league.mpr");
    EXPECT_EQ(movie.txtRecords.Line(field::ReplaySinglePlayer), "0");
    EXPECT_EQ(movie.FindNodeText(false, 0, 1), movie.txtRecords.FieldText());
    EXPECT_EQ(fakes.panel.shown, "N");
    ASSERT_EQ(notices.boxes.size(), 2u);
    EXPECT_EQ(notices.boxes[0].text, "Do you want to scan this replay for Hot Moments now?");
    EXPECT_EQ(notices.boxes[1].text, "Do you want start the replay now?");
    EXPECT_EQ(sender.Lines(), (Lines{"MST /end", "MST /mpr league"}));
    EXPECT_EQ(fakes.panel.refreshes, 1);

    notices.Answer('Y');
    control.btnApplyReplayClick("demo.spr");
    EXPECT_EQ(movie.txtRecords.Line(field::ReplaySinglePlayer), "-1");
    EXPECT_EQ(fakes.hot.setups, (std::vector<std::string>{"demo.spr"}));
}

TEST_F(ReplayControlTest, ScanExplainsWhatIsMissing) {
    ReplayNode node;
    node.fileName = "demo.spr";
    movie.AddReplayRecord(node);
    movie.txtRecords.Load(movie.FindNodeText(false, 0, 1));
    struct Case {
        std::string name;
        float currentFrame;
        std::string message;  // "" = the scan window opens
    };
    for (const Case& c : {Case{"---------------------", 0, "Please select a replay to scan and try again"},
                          Case{"league.mpr", 0, "Apply the replay and try again"},
                          Case{"demo.spr", -1, "Please wait until Live for Speed has loaded the replay"},
                          Case{"demo.spr", 12, ""}}) {
        notices.boxes.clear();
        fakes.hot.setups.clear();
        movie.CurrentFrame = c.currentFrame;
        control.btnScanClick(c.name);
        if (c.message.empty()) {
            EXPECT_TRUE(notices.boxes.empty());
            EXPECT_EQ(fakes.hot.setups, (std::vector<std::string>{c.name}));
        } else {
            EXPECT_EQ(notices.LastText(), c.message) << c.name;
            EXPECT_TRUE(fakes.hot.setups.empty());
        }
    }
}

TEST_F(ReplayControlTest, FillReplayListReadsTheSimulatorFolder) {
    EXPECT_EQ(control.FillReplayList(),
              (Lines{"Single Player Replays", "---------------------", "demo.spr", "", "Multi Player Replays",
                     "---------------------", "league.mpr"}));
    EXPECT_EQ(control.ReadReplayTrackName("demo.spr", true), "DEMO1");
}

}  // namespace
}  // namespace kinoloop
