// Renders of the test movie at STD with the demo simulator's window: the film's size, frame count and streams
// with ffprobe; every frame decoded to read the time bar (each replay step exactly once, in order, from the
// start node) and the camera bar (each camera node's camera first on the film frame of its column); the sound
// node's tone found in the film's sound at its node's time; and a render stopped by the user.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "render_rig.h"
#include "shell/program_folder.h"

namespace kinoloop::testing {
namespace {

constexpr int kWidth = 320, kHeight = 240;

// The test movie's cameras (demo_session.cpp): at column 300 and at column 400.
const demosim::CameraReading kCamera300 = demosim::ExpectedCamera(3000000, -1000000);
const demosim::CameraReading kCamera400 = demosim::ExpectedCamera(4000000, -2000000);

// The replay times of the test movie's film: 4 hundredths per frame from the start node at 250 (10.00 s), the
// script's eight steps of one hundredth at 350 (14.00 s), then 4 per frame again up to the frame before the
// stop node at 500 (19.96 s).
std::vector<std::uint32_t> ExpectedTimes() {
    std::vector<std::uint32_t> expected;
    for (std::uint32_t t = 1000; t < 1400; t += 4) expected.push_back(t);
    for (std::uint32_t t = 1400; t < 1408; ++t) expected.push_back(t);
    for (std::uint32_t t = 1408; t < 2000; t += 4) expected.push_back(t);
    return expected;
}

bool SoundWanted() {
    return std::getenv("KINOLOOP_PULSE") != nullptr;
}

TEST(RenderWithDemoSimulator, FilmHoldsEveryReplayStepOnceInOrderWithItsCamerasAndSound) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X server (scripts/test-env.sh)";
    DemoSession session(true);
    ASSERT_EQ(session.Problem(), "");
    session.BuildPreviewMovie();
    session.movie.header.MovieFileName = "preview.knloop";
    EnsureProgramFolders();
    DemoRender render(session, "STD", SoundWanted());
    // When each frame's tick came, to tell a late tick from a late sound when the tone is out of place.
    std::map<int, std::int64_t> tickAt;
    PlaybackSystem& playback = *session.playback;
    playback.tmrPlay.onTick = [&playback, &tickAt, &session] {
        // A tick plays the frame after the current one (the stop's "/end" takes the replay away afterwards).
        tickAt.emplace(static_cast<int>(session.movie.CurrentFrame) + 1, playback.pump.NowMs());
        playback.transport.tmrPlayTimer();
    };

    const RenderOutcome started = render.Start();
    ASSERT_EQ(started.state, RenderOutcome::State::Recording) << started.failure;
    EXPECT_EQ(render.controls.states, std::vector<bool>{false});
    ASSERT_TRUE(session.WaitForStop(40000));
    const RenderOutcome& outcome = playback.render.Outcome();
    ASSERT_EQ(outcome.state, RenderOutcome::State::Finished) << outcome.failure;
    EXPECT_EQ(outcome.failure, "");
    EXPECT_EQ(render.controls.states, (std::vector<bool>{false, true}));
    EXPECT_TRUE(render.panel.restored);
    const std::filesystem::path film = MovFolder() / "preview.avi";
    ASSERT_TRUE(std::filesystem::exists(film)) << outcome.failure;

    const std::string probe = ProbeFilm(film);
    EXPECT_NE(probe.find("video,320,240," + std::to_string(outcome.capturedFrames)), std::string::npos)
        << probe;
    if (render.withSound) {
        EXPECT_NE(probe.find("audio"), std::string::npos) << probe;
    }

    const FilmPictures pictures = ReadFilmPictures(film, kWidth, kHeight);
    ASSERT_EQ(pictures.times.size(), static_cast<std::size_t>(outcome.capturedFrames));
    std::vector<std::uint32_t> times;
    for (std::size_t k = 0; k < pictures.times.size(); ++k) {
        ASSERT_TRUE(pictures.times[k]) << "no time bar in film frame " << k;
        ASSERT_TRUE(pictures.cameras[k]) << "no camera bar in film frame " << k;
        times.push_back(*pictures.times[k]);
    }
    const std::vector<std::uint32_t> expected = ExpectedTimes();
    EXPECT_EQ(times, expected);

    // Film frame k shows the camera in force at the frame whose replay time it shows: the camera of column
    // 300 from the frame showing 12.00 s (frame 300 - 250 = 50) and that of column 400 from the frame
    // showing 16.00 s (frame 156: the script's steps at 350 added six frames), the simulator's own camera
    // before.
    const std::size_t first300 = 50, first400 = 156;
    ASSERT_GT(times.size(), first400);
    EXPECT_EQ(times[first300], 300u * 4);
    EXPECT_EQ(times[first400], 400u * 4);
    const demosim::CameraReading before = *pictures.cameras.front();
    EXPECT_NE(before, kCamera300);
    for (std::size_t k = 0; k < pictures.cameras.size(); ++k) {
        const demosim::CameraReading want = k < first300 ? before : k < first400 ? kCamera300 : kCamera400;
        const demosim::CameraReading& seen = *pictures.cameras[k];
        EXPECT_EQ(seen, want) << "film frame " << k << " (replay time " << times[k]
                              << ") shows the camera at " << seen.xMetres << " m, " << seen.yMetres << " m";
    }

    if (render.withSound) {
        // The sound node at 260 plays with film frame 10: its tone (a square wave of +-8000) starts 0.4 s
        // into the film's sound, within one frame (40 ms, 882 samples).
        const std::vector<std::int16_t> sound = ReadFilmSound(film);
        EXPECT_EQ(static_cast<std::int64_t>(sound.size()), outcome.capturedFrames * 22050 / 25);
        const std::optional<std::size_t> onset = FirstLoudSample(sound, 3000);
        ASSERT_TRUE(onset) << "the tone is not in the film's sound";
        const long long offset = static_cast<long long>(*onset) - 10 * 22050 / 25;
        std::fprintf(
            stderr,
            "render: the tone starts %lld samples (%.1f ms) after its frame's time; its frame's tick came "
            "%lld ms after the first frame's (400 due); %lld ms recorded from the first frame's tick to the stop "
            "node's %lld ms later\n",
            offset, offset * 1000.0 / 22050,
            static_cast<long long>(tickAt.count(260) && tickAt.count(250) ? tickAt[260] - tickAt[250] : -1),
            static_cast<long long>(outcome.recordedMs),
            static_cast<long long>(tickAt.count(500) && tickAt.count(250) ? tickAt[500] - tickAt[250] : -1));
        EXPECT_LE(std::llabs(offset), 22050 / 25)
            << "the tone starts " << offset << " samples from its frame";
    }
    const PlaybackClock::Lateness& lateness = playback.tmrPlay.Stats();
    std::fprintf(
        stderr,
        "render: %lld frames captured, %lld ms of sound, %lld pictures taken again, %lld unchanged, %lld of "
        "%lld ticks late, the latest by %.1f ms\n",
        static_cast<long long>(outcome.capturedFrames), static_cast<long long>(outcome.recordedMs),
        static_cast<long long>(session.playback->capture.redrawWaits),
        static_cast<long long>(session.playback->capture.unchangedFrames),
        static_cast<long long>(lateness.lateTicks), static_cast<long long>(lateness.ticks),
        lateness.maxLatenessMs);
}

TEST(RenderWithDemoSimulator, StopPlaybackEndsARenderWithoutAStopNodeKeepingEveryFrameCaptured) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X server (scripts/test-env.sh)";
    DemoSession session(true);
    ASSERT_EQ(session.Problem(), "");
    session.BuildPreviewMovie();
    session.movie.header.MovieFileName = "stopped.knloop";
    // Without its stop node the render runs until the user stops it.
    const NodeText* stop = session.movie.nodeStore.Find(500, 2);
    ASSERT_NE(stop, nullptr);
    session.movie.DeleteNodeRecord(500, 2);
    session.movie.strTimeline.SetCell(500, 2, "");
    EnsureProgramFolders();
    DemoRender render(session, "STD", false);
    session.notices.Answer('Y');  // no stop node: render all the same
    const RenderOutcome started = render.Start();
    ASSERT_EQ(started.state, RenderOutcome::State::Recording) << started.failure;
    EXPECT_EQ(render.controls.states, std::vector<bool>{false});

    // Let some 60 ticks play (past the camera at 300), then stop as the user does.
    PlaybackSystem& playback = *session.playback;
    const std::int64_t ticksAtStart = playback.tmrPlay.Stats().ticks;
    ASSERT_TRUE(
        playback.pump.WaitUntil([&] { return playback.tmrPlay.Stats().ticks - ticksAtStart >= 60; }, 30000));
    ASSERT_EQ(playback.render.Outcome().state, RenderOutcome::State::Recording);
    const int last = static_cast<int>(session.movie.CurrentFrame);  // the stop's "/end" takes the replay away
    playback.transport.btnStopMovieClick();
    const RenderOutcome& outcome = playback.render.Outcome();
    ASSERT_EQ(outcome.state, RenderOutcome::State::Finished) << outcome.failure;
    EXPECT_FALSE(playback.tmrPlay.IsActive());
    EXPECT_FALSE(playback.modes.Rendering);
    EXPECT_EQ(render.controls.states, (std::vector<bool>{false, true}))
        << "the interface is locked, then given back";
    EXPECT_TRUE(render.panel.restored);
    EXPECT_GE(outcome.capturedFrames, 60);

    const std::filesystem::path film = MovFolder() / "stopped.avi";
    ASSERT_TRUE(std::filesystem::exists(film)) << outcome.failure;
    EXPECT_EQ(outcome.film, film);
    const std::string probe = ProbeFilm(film);
    EXPECT_NE(probe.find("video,320,240," + std::to_string(outcome.capturedFrames) + "\n"), std::string::npos)
        << probe;
    EXPECT_EQ(probe.find("audio"), std::string::npos) << "no sound was asked for";

    // The film is every step from the start node up to the frame showing when the user stopped, once each.
    const FilmPictures pictures = ReadFilmPictures(film, kWidth, kHeight);
    ASSERT_EQ(pictures.times.size(), static_cast<std::size_t>(outcome.capturedFrames));
    const std::vector<std::uint32_t> expected = ExpectedTimes();
    for (std::size_t k = 0; k < pictures.times.size(); ++k) {
        ASSERT_TRUE(pictures.times[k]) << "no time bar in film frame " << k;
        ASSERT_LT(k, expected.size());
        EXPECT_EQ(*pictures.times[k], expected[k]) << "film frame " << k;
    }
    // Stopped before the script's steps at 350, the film is frames 250 to the one playing at the stop.
    ASSERT_LT(last, 350) << "stopped later than the test expects";
    EXPECT_EQ(outcome.capturedFrames, last - 250 + 1) << "one film frame per frame played, none dropped";
    EXPECT_EQ(*pictures.times.back(), static_cast<std::uint32_t>(last * 4));
}

}  // namespace
}  // namespace kinoloop::testing
