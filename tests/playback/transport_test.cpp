// The transport against fakes: finding the replay and its start, the previews' questions and packets, the tick's
// order of step and nodes, stop nodes, Stop Playback, the script's own steps of time and the frame clock's values.
#include <gtest/gtest.h>

#include "playback/playback_modes.h"
#include "playback/playback_texts.h"
#include "playback_rig.h"

namespace kinoloop::testing {
namespace {

TEST(FrameClockValues, StepAndIntervalFollowTheFrameRate) {
    struct Case {
        int fps, step, interval;
    };
    for (const Case& c : {Case{25, 4, 40}, Case{30, 3, 33}, Case{50, 2, 20}, Case{10, 10, 100}, Case{24, 4, 41},
                          Case{60, 2, 16}, Case{100, 1, 10}, Case{0, 100, 1000}}) {
        EXPECT_EQ(StepHundredths(c.fps), c.step) << c.fps;
        EXPECT_EQ(FrameIntervalMs(c.fps), c.interval) << c.fps;
    }
}

// A movie: replay at column 0 of track 1, its start node at 250, cameras at 300 and 400, a script at 350, a sound
// at 260 and the stop node at 500.
struct MovieRig : PlaybackRig {
    MovieRig() {
        AddReplay();
        AddStart(250);
        AddCamera(300, 3, 300);
        AddCamera(400, 3, 400);
        AddCamera(100, 3, 100);
        AddScript(350, 2, "none.pas");
        AddSound(260, 1, "tone.wav");
        AddStop(500);
        link.found = true;
    }
};

TEST(FindReplayAndStart, FindsTheStartNodeOfTheReplayInColumnZero) {
    MovieRig rig;
    rig.AddStart(120, 3, "other.spr", 1);  // belongs to another replay
    const std::optional<ReplayStart> start = rig.transport->FindReplayAndStart();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->replayName, "race.spr");
    EXPECT_EQ(start->startFrame, 250);
    EXPECT_EQ(rig.movie.CurrentFrame, -1);
}

TEST(FindReplayAndStart, NothingWithoutAReplayInColumnZeroAndZeroWithoutAStart) {
    PlaybackRig none;
    none.AddNode("REP", 'R', 5, 1, "1:race.spr:-1");
    EXPECT_FALSE(none.transport->FindReplayAndStart());

    PlaybackRig noStart;
    noStart.AddReplay();
    noStart.AddStart(40, 2, "race.spr", 3);  // same replay name, other row
    const std::optional<ReplayStart> start = noStart.transport->FindReplayAndStart();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->startFrame, 0);
}

TEST(QuickPreview, FromTheStartNodeStepsTheFrozenReplayThereAndKeepsItFrozen) {
    MovieRig rig;
    rig.notices.Answer('Y');
    rig.transport->QuickPreview1Click();

    EXPECT_TRUE(rig.modes.QuickPreviewMode);
    EXPECT_FALSE(rig.modes.PreviewMode);
    EXPECT_EQ(rig.notices.boxes.at(0).text, playback_text::kStartFromStartNode);
    EXPECT_EQ(rig.notices.balloons.at(0).text, "Loading Replay, Please Wait");
    EXPECT_EQ(rig.Find("MST /end"), -1) << "Quick Preview sends no /end of its own";
    const int load = rig.Find("LOAD race.spr end-first");
    const int freeze = rig.Find("TMS 1", load);
    ASSERT_GE(freeze, 0);
    EXPECT_EQ(rig.Matching("STP 4").size(), 250u);
    EXPECT_EQ(rig.Find("TMS 0"), -1) << "the time stays frozen after the move";
    EXPECT_EQ(rig.Matching("CPP"), (std::vector<std::string>{"CPP 100"})) << "cameras passed are sent";
    EXPECT_EQ(rig.movie.CurrentFrame, 249);
    EXPECT_TRUE(rig.clock.active);
}

TEST(QuickPreview, AnsweredNoStartsFromTheBeginningWhenTheSimulatorReports) {
    MovieRig rig;
    rig.notices.Answer('N');
    rig.transport->QuickPreview1Click();
    EXPECT_TRUE(rig.Matching("STP").empty());
    EXPECT_EQ(rig.movie.CurrentFrame, -1);
    EXPECT_FALSE(rig.clock.active) << "the state report starts the clock";
    rig.link.ReportRunning();
    rig.Tick(1);
    EXPECT_EQ(rig.movie.CurrentFrame, 0);
    EXPECT_TRUE(rig.Matching("STP").empty()) << "frame 0 is what the simulator shows already";
}

TEST(QuickPreview, TicksStepOnceEachAndSendCamerasButPlayNoSound) {
    MovieRig rig;
    rig.notices.Answer('Y');
    rig.transport->QuickPreview1Click();
    rig.log.clear();
    const int ticks = rig.Tick(1000);

    EXPECT_EQ(ticks, 251) << "frames 250 to 500; the stop node ends playback";
    EXPECT_EQ(rig.Matching("STP 4").size(), 250u) << "one step per tick after the first";
    EXPECT_TRUE(rig.Matching("SOUND tone").empty());
    // Each camera follows the step that brings the replay to its frame.
    const int cam300 = rig.Find("CPP 300");
    ASSERT_GE(cam300, 0);
    EXPECT_EQ(rig.log.at(static_cast<std::size_t>(cam300 - 1)), "STP 4");
    int stepsBefore = 0;
    for (int i = 0; i < cam300; ++i) stepsBefore += rig.log[static_cast<std::size_t>(i)] == "STP 4";
    EXPECT_EQ(stepsBefore, 50) << "camera 300 goes with the 50th step after the start at 250";
    EXPECT_GE(rig.Find("CPP 400"), 0);
    EXPECT_EQ(rig.scripts.programs.size(), 1u);
    // Stop: the script is asked to end, the sound stops, the time runs again and the simulator pauses.
    const int kill = rig.Find("KILL");
    ASSERT_GE(kill, 0);
    EXPECT_EQ(std::vector<std::string>(rig.log.begin() + kill, rig.log.end()),
              (EventLog{"KILL", "SOUND stop", "TMS 0", "KEY p 0"}));
    EXPECT_EQ(rig.modes.LastPlayedFrame, 500);
    EXPECT_FALSE(rig.clock.active);
}

TEST(PreviewMovie, SendsEndFirstPreparesTheSoundsAndPlaysThem) {
    MovieRig rig;
    rig.notices.Answer('Y');
    rig.transport->PreviewMovie1Click();
    EXPECT_TRUE(rig.modes.PreviewMode);
    EXPECT_FALSE(rig.modes.QuickPreviewMode);
    const int end = rig.Find("MST /end");
    const int playlist = rig.Find("PLAYLIST");
    const int load = rig.Find("LOAD race.spr end-first");
    ASSERT_GE(end, 0);
    EXPECT_LT(end, playlist);
    EXPECT_LT(playlist, load);
    rig.Tick(20);
    EXPECT_EQ(rig.Matching("SOUND 6:260:1"), (std::vector<std::string>{"SOUND 6:260:1:1:tone.wav:1"}));
}

TEST(PreviewMovie, QuestionsAnsweredNoSendNothing) {
    struct Case {
        const char* name;
        bool simulatorFound, hasStop;
        const char* question;
    };
    for (const Case& c : {Case{"NoSimulator", false, true, playback_text::kNotLoaded},
                          Case{"NoStopNode", true, false, playback_text::kNoStopNodePreview}}) {
        PlaybackRig rig;
        rig.AddReplay();
        if (c.hasStop) rig.AddStop(100);
        rig.link.found = c.simulatorFound;
        rig.notices.Answer('N');
        rig.transport->PreviewMovie1Click();
        EXPECT_EQ(rig.notices.LastText(), c.question) << c.name;
        EXPECT_TRUE(rig.log.empty()) << c.name;
        EXPECT_FALSE(rig.modes.PreviewMode) << c.name;
    }
}

TEST(QuickPreview, MissingReplayFileShowsTheErrorBalloonOnly) {
    MovieRig rig;
    rig.link.files.clear();
    rig.notices.Answer('Y');
    rig.transport->QuickPreview1Click();
    ASSERT_EQ(rig.notices.balloons.size(), 2u);
    EXPECT_EQ(rig.notices.balloons[1].text, "Error Loading Replay\nReplay file 'race.spr' was not found");
    EXPECT_EQ(rig.notices.balloons[1].kind, BalloonKind::Error);
    EXPECT_TRUE(rig.log.empty());
}

TEST(QuickPreview, WithoutAReplayInColumnZeroNothingHappensAfterTheBalloon) {
    PlaybackRig rig;
    rig.transport->QuickPreview1Click();
    EXPECT_EQ(rig.notices.balloons.size(), 1u);
    EXPECT_TRUE(rig.log.empty());
}

TEST(Transport, TickDoesNothingBeforeAReplayIsRequested) {
    PlaybackRig rig;
    rig.clock.active = true;
    rig.transport->tmrPlayTimer();
    EXPECT_EQ(rig.movie.CurrentFrame, 0);
    EXPECT_TRUE(rig.log.empty());
}

TEST(Transport, EachFrameIsCarriedOutOnceWhatever) {
    MovieRig rig;
    rig.modes.QuickPreviewMode = true;
    rig.modes.DebugMode = true;
    rig.link.requested = true;
    rig.link.playing = true;
    rig.clock.active = true;
    rig.movie.CurrentFrame = 298.6f;
    rig.transport->tmrPlayTimer();  // 299.6 -> frame 300
    rig.transport->tmrPlayTimer();  // 300.6 -> frame 301
    rig.movie.CurrentFrame = 299;   // a replay move may set the frame back by hand
    rig.transport->tmrPlayTimer();  // frame 300 again: already carried out
    EXPECT_EQ(rig.Matching("CPP 300").size(), 1u);
}

TEST(Transport, StopPlaybackKillsAScriptOnlyWhenOneIsHeld) {
    for (bool held : {false, true}) {
        PlaybackRig rig;
        rig.scripts.held = held;
        rig.clock.active = true;
        rig.transport->btnStopMovieClick();
        const EventLog expected = held ? EventLog{"KILL", "SOUND stop", "TMS 0", "KEY p 0"}
                                       : EventLog{"SOUND stop", "TMS 0", "KEY p 0"};
        EXPECT_EQ(rig.log, expected);
        EXPECT_FALSE(rig.clock.active);
    }
}

TEST(Transport, DebugMovieTogglesTheModeAndTheWindow) {
    PlaybackRig rig;
    rig.transport->DebugMovie1Click();
    EXPECT_TRUE(rig.modes.DebugMode);
    EXPECT_TRUE(rig.debug.shown);
    rig.transport->DebugMovie1Click();
    EXPECT_FALSE(rig.modes.DebugMode);
    EXPECT_FALSE(rig.debug.shown);
}

struct StepRig : MovieRig {
    StepRig() {
        modes.QuickPreviewMode = true;
        link.requested = true;
        link.playing = true;
        movie.CurrentFrame = 298;
        clock.active = true;
        transport->tmrPlayTimer();  // frame 299 plays; then a script takes the time over
        clock.active = false;
        log.clear();
    }
};

TEST(StepTime, FourStepsOfOneAdvanceOneFrameAtTheFourth) {
    StepRig rig;
    for (int i = 0; i < 3; ++i) rig.transport->StepTime(1);
    EXPECT_EQ(rig.movie.CurrentFrame, 299);
    rig.transport->StepTime(1);
    EXPECT_EQ(rig.movie.CurrentFrame, 300);
    EXPECT_EQ(rig.Matching("STP 1").size(), 4u);
    EXPECT_EQ(rig.log.back(), "CPP 300") << "the frame reached is carried out after its step";
}

TEST(StepTime, TenHundredthsAdvanceTwoAndAHalfFrames) {
    StepRig rig;
    rig.transport->StepTime(10);
    EXPECT_FLOAT_EQ(rig.movie.CurrentFrame, 301.5f);
    EXPECT_EQ(rig.log, (EventLog{"STP 10", "CPP 300"}));
}

TEST(StepTime, NothingWhileTheClockRunsAndStopInternalTimeSwitchesIt) {
    StepRig rig;
    rig.clock.active = true;
    rig.transport->StepTime(4);
    EXPECT_TRUE(rig.log.empty());
    rig.transport->StopInternalTime(true);
    EXPECT_FALSE(rig.clock.active);
    rig.transport->StepTime(2);
    EXPECT_FLOAT_EQ(rig.transport->StepRemainder(), 2);
    rig.transport->StopInternalTime(false);
    EXPECT_TRUE(rig.clock.active);
    EXPECT_FLOAT_EQ(rig.transport->StepRemainder(), 0);
}

}  // namespace
}  // namespace kinoloop::testing
