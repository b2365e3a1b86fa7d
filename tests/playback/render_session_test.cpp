// The render against fakes: its questions, the panel and the interface lock, capture order against the steps,
// the recorder's start, the stop sequence and the film job; renders that cannot start give the interface back.
#include <gtest/gtest.h>

#include "playback/playback_texts.h"
#include "playback/render_session.h"
#include "playback/sound_track_fit.h"
#include "playback_rig.h"

namespace kinoloop::testing {
namespace {

struct RenderRig : PlaybackRig {
    RenderRig() {
        AddReplay();
        AddStart(250);
        AddCamera(300, 3, 300);
        AddSound(260, 1, "tone.wav");
        AddStop(500);
        movie.header.MovieFileName = "demo.knloop";
        render->SetMovFolder("/mov");
    }
    // Answers: record audio? and (when yes) record the simulator's sound?
    RenderOutcome Start(const std::string& format, char audio, char simSound = 0) {
        render->SetVideoFormat(format);
        notices.Answer(audio);
        if (simSound != 0) notices.Answer(simSound);
        return render->RenderMovie();
    }
};

TEST(FormatPanelSize, TheFourFormatsAndNothingElse) {
    EXPECT_EQ(FormatPanelSize("STD"), (PanelSize{320, 240}));
    EXPECT_EQ(FormatPanelSize("PAL"), (PanelSize{352, 288}));
    EXPECT_EQ(FormatPanelSize("NTSC"), (PanelSize{352, 240}));
    EXPECT_EQ(FormatPanelSize("LRG"), (PanelSize{512, 384}));
    EXPECT_FALSE(FormatPanelSize("std"));
    EXPECT_FALSE(FormatPanelSize(""));
}

TEST(RenderMovie, StartsRecordingSizedLockedAndMuted) {
    RenderRig rig;
    const RenderOutcome outcome = rig.Start("PAL", 'N');
    ASSERT_EQ(outcome.state, RenderOutcome::State::Recording);
    EXPECT_EQ(rig.notices.boxes.at(0).text, playback_text::kRecordAudio);
    EXPECT_EQ(rig.notices.boxes.size(), 1u);
    EXPECT_FALSE(rig.modes.RecordAudio);
    EXPECT_FALSE(rig.modes.RecordSimSound);
    EXPECT_TRUE(rig.modes.Rendering);
    EXPECT_TRUE(rig.modes.PreviewMode);
    EXPECT_TRUE(rig.clock.exact) << "render ticks are timed exactly";
    const int panel = rig.Find("PANEL 352x288");
    const int lock = rig.Find("LOCK");
    const int end = rig.Find("MST /end");
    const int playlist = rig.Find("PLAYLIST");
    const int load = rig.Find("LOAD race.spr end-first");
    const int temp = rig.Find("TEMP open");
    const int mute = rig.Find("SFP 4096 1");
    EXPECT_TRUE(panel >= 0 && panel < lock && lock < end && end < playlist && playlist < load && load < temp &&
                temp < mute);
    bool preparing = false;
    for (const auto& balloon : rig.notices.balloons) preparing |= balloon.text == "Preparing Movie, Please Wait";
    EXPECT_TRUE(preparing);
}

TEST(RenderMovie, EachStepIsCapturedOnceBeforeTheNextAndTheStopFrameIsNot) {
    RenderRig rig;
    rig.Start("STD", 'Y', 'N');
    rig.log.clear();
    rig.Tick(1000);

    EXPECT_EQ(rig.capture.count, 250) << "frames 250 to 499";
    // Between two steps there is exactly one capture, and the first capture comes before the first step.
    int capturesSinceStep = 0;
    int steps = 0;
    for (const std::string& entry : rig.log) {
        if (entry == "CAPTURE") ++capturesSinceStep;
        if (entry == "STP 4") {
            EXPECT_EQ(capturesSinceStep, 1) << "before step " << steps;
            capturesSinceStep = 0;
            ++steps;
        }
        if (entry == "TEMP close") break;
    }
    EXPECT_EQ(steps, 250);
    EXPECT_EQ(capturesSinceStep, 0) << "the stop node's frame is not captured";
    EXPECT_EQ(rig.Find("REC start"), 0) << "the recorder starts with the film's first frame";
    EXPECT_EQ(rig.Matching("SOUND 3:260").size(), 1u) << "sounds play while sound is recorded";
}

TEST(RenderMovie, StopRecordingRunsInOrderAndAssemblesAtTheMovieRate) {
    RenderRig rig;
    rig.Start("STD", 'Y', 'N');
    rig.Tick(1000);
    const int close = rig.Find("TEMP close");
    ASSERT_GE(close, 0);
    const EventLog tail(rig.log.begin() + close, rig.log.end());
    EXPECT_EQ(tail, (EventLog{"TEMP close", "REC stop", "REC save demo.knloop.wav", "REC clear", "SFP 4096 0",
                              "MST /end", "PANEL back", "TMS 0", "KEY p 0", "ASSEMBLE 250", "UNLOCK"}));
    EXPECT_FALSE(rig.modes.Rendering);
    // The fake recorder cannot save: the film has no sound stream, and the failure is said.
    ASSERT_EQ(rig.assembler.jobs.size(), 1u);
    EXPECT_FALSE(rig.assembler.jobs[0].RecordAudio);
    EXPECT_EQ(rig.render->Outcome().failure, "The sound track could not be recorded: not written by the fake");
    EXPECT_EQ(rig.notices.balloons.back().kind, BalloonKind::Error);
}

TEST(RenderMovie, FinishedRenderAssemblesAndUnlocks) {
    RenderRig rig;
    RenderOutcome finished;
    rig.render->onFinished = [&](const RenderOutcome& o) { finished = o; };
    rig.assembler.onAssemble = [&rig] { rig.pump.now += 1234; };
    rig.Start("STD", 'N');
    rig.Tick(1000);
    ASSERT_EQ(rig.assembler.jobs.size(), 1u);
    const FilmJob& job = rig.assembler.jobs[0];
    EXPECT_EQ(job.CapturedFrameCount, 250);
    EXPECT_EQ(job.framesPerSecond, 25);
    EXPECT_FALSE(job.RecordAudio);
    EXPECT_EQ(job.MovieFileName, "demo.knloop");
    EXPECT_EQ(rig.log.back(), "UNLOCK");
    EXPECT_EQ(finished.state, RenderOutcome::State::Finished);
    EXPECT_EQ(finished.film, std::filesystem::path("/mov/film.avi"));
    EXPECT_EQ(finished.assemblyMs, 1234) << "the assembly's own time, measured on the pump's clock";
    EXPECT_TRUE(rig.Matching("SOUND 3:260").empty()) << "no sound plays while none is recorded";
}

TEST(RenderMovie, UserStopCapturesTheFrameShowing) {
    RenderRig rig;
    rig.Start("STD", 'N');
    rig.Tick(10);
    rig.transport->btnStopMovieClick();
    EXPECT_EQ(rig.capture.count, 10);
}

TEST(RenderMovie, QuestionsAnsweredNoChangeNothing) {
    struct Case {
        const char* name;
        bool found;
        const char* fileName;
        bool stop;
        const char* question;
    };
    for (const Case& c : {Case{"NoSimulator", false, "demo.knloop", true, playback_text::kNotLoaded},
                          Case{"Unsaved", true, "UNKNOWN.knloop", true, playback_text::kSaveBeforeRender},
                          Case{"NoStop", true, "demo.knloop", false, playback_text::kNoStopNodeRender}}) {
        PlaybackRig rig;
        rig.AddReplay();
        if (c.stop) rig.AddStop(100);
        rig.link.found = c.found;
        rig.movie.header.MovieFileName = c.fileName;
        rig.notices.Answer('N');
        const RenderOutcome outcome = rig.render->RenderMovie();
        EXPECT_EQ(outcome.state, RenderOutcome::State::Declined) << c.name;
        EXPECT_EQ(rig.notices.LastText(), c.question) << c.name;
        EXPECT_TRUE(rig.log.empty()) << c.name;
    }
}

TEST(RenderMovie, ARenderThatCannotStartGivesTheInterfaceBack) {
    struct Case {
        const char* name;
        bool replayNode, fileExists, simulatorAnswers;
        std::string message;
    };
    for (const Case& c :
         {Case{"NoReplayNode", false, true, true, playback_text::kRenderNoReplay},
          Case{"MissingFile", true, false, true,
               std::string(playback_text::kRenderCannotStart) + "Replay file 'race.spr' was not found"},
          Case{"NeverRunning", true, true, false,
               std::string(playback_text::kRenderCannotStart) + playback_text::kReplayNeverStarted}}) {
        PlaybackRig rig;
        if (c.replayNode) rig.AddReplay();
        rig.AddStop(100);
        rig.movie.header.MovieFileName = "demo.knloop";
        if (!c.fileExists) rig.link.files.clear();
        rig.link.reports = c.simulatorAnswers;
        rig.notices.Answer('N');
        const RenderOutcome outcome = rig.render->RenderMovie();
        EXPECT_EQ(outcome.state, RenderOutcome::State::Failed) << c.name;
        EXPECT_EQ(rig.notices.LastText(), c.message) << c.name;
        EXPECT_EQ(rig.log.back(), "UNLOCK") << c.name;
        EXPECT_GE(rig.Find("PANEL back"), 0) << c.name;
        EXPECT_FALSE(rig.modes.Rendering) << c.name;
        EXPECT_FALSE(rig.clock.exact) << c.name;
    }
}

TEST(FrameGate, WaitsForTheSettleTimeWithoutServingEvents) {
    FakePump pump;
    EventLog log;
    FakeCapture capture(log);
    FrameGate gate(pump);
    gate.SetSettleMs(25);
    gate.SetSink(&capture);
    gate.CapturePending();
    EXPECT_EQ(capture.count, 0) << "nothing pending";
    gate.Changed();
    pump.now += 10;
    gate.CapturePending();
    EXPECT_EQ(capture.count, 1);
    EXPECT_EQ(pump.blocked, 15);
    EXPECT_EQ(pump.processed, 0);
    gate.CapturePending();
    EXPECT_EQ(capture.count, 1) << "a picture is captured once";
    gate.Changed();
    pump.now += 40;
    gate.CapturePending();
    EXPECT_EQ(pump.blocked, 15) << "no wait once the picture has settled";
    gate.SetSink(nullptr);
    gate.Changed();
    EXPECT_FALSE(gate.Pending()) << "nothing pends while no render records";
}

}  // namespace
}  // namespace kinoloop::testing
