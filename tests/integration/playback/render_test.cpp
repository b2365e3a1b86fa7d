// A render of the test movie at STD with sound: the film's size, frame count and streams with ffprobe, and every
// frame decoded to read the demo simulator's time bar: each replay step exactly once, in order, from the start node.
#include <gtest/gtest.h>

#include <QProcess>
#include <QThread>
#include <cstdio>
#include <cstdlib>

#include "../../../tools/demosim/time_bar.h"
#include "audio/wave_recorder.h"
#include "demo_session.h"
#include "render/capture_session.h"
#include "render/x11_frame_grabber.h"
#include "shell/program_folder.h"

namespace kinoloop::testing {
namespace {

std::string RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return process.readAllStandardOutput().toStdString();
}

// The demo simulator's window, placed at the screen's corner and sized for the render; no window manager runs.
class DemoWindowPanel : public RenderPanel {
public:
    void SetRenderSize(int width, int height) override {
        const std::string id =
            RunTool("xdotool", {"search", "--sync", "--name", DemoSession::kTitle}).substr(0, std::string::npos);
        window = QString::fromStdString(id).split('\n', Qt::SkipEmptyParts).value(0);
        RunTool("xdotool", {"windowmove", "--sync", window, "0", "0"});
        RunTool("xdotool", {"windowsize", "--sync", window, QString::number(width), QString::number(height)});
        placement = PanelPlacement{0, 0, width, height, 0, 0};
        QThread::msleep(200);
    }
    void RestoreSize() override { restored = true; }
    QString window;
    PanelPlacement placement;
    bool restored = false;
};

class Controls : public InterfaceLock {
public:
    void SetControlsEnabled(bool enabled) override { states.push_back(enabled); }
    std::vector<bool> states;
};

TEST(RenderWithDemoSimulator, FilmHoldsEveryReplayStepOnceInOrderWithSound) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X server (scripts/test-env.sh)";
    DemoSession session(true);
    ASSERT_EQ(session.Problem(), "");
    session.BuildPreviewMovie();
    session.movie.header.MovieFileName = "preview.knloop";
    EnsureProgramFolders();

    DemoWindowPanel panel;
    Controls controls;
    X11FrameGrabber grabber;
    PanelCapture panelCapture(grabber);
    CaptureSession captureSession(panelCapture);
    WaveRecorder recorder;
    PlaybackSystem& playback = *session.playback;
    playback.panel.target = &panel;
    playback.controls.target = &controls;
    playback.capture.session = &captureSession;
    playback.capture.panelCapture = &panelCapture;
    playback.capture.placement = [&panel] { return panel.placement; };
    const bool withSound = std::getenv("KINOLOOP_PULSE") != nullptr;
    if (withSound) playback.recorder.recorder = &recorder;
    playback.render.SetVideoFormat("STD");

    session.notices.Answer('Y');                     // the window is not embedded: go on
    session.notices.Answer(withSound ? 'Y' : 'N');   // record audio
    if (withSound) session.notices.Answer('N');      // not the simulator's own sound
    const RenderOutcome started = playback.render.RenderMovie();
    ASSERT_EQ(started.state, RenderOutcome::State::Recording) << started.failure;
    EXPECT_EQ(controls.states, std::vector<bool>{false});
    ASSERT_TRUE(session.WaitForStop(40000));
    const RenderOutcome& outcome = playback.render.Outcome();
    ASSERT_EQ(outcome.state, RenderOutcome::State::Finished) << outcome.failure;
    EXPECT_EQ(controls.states, (std::vector<bool>{false, true}));
    EXPECT_TRUE(panel.restored);
    const std::filesystem::path film = MovFolder() / "preview.avi";
    ASSERT_TRUE(std::filesystem::exists(film)) << outcome.failure;

    const std::string probe = RunTool("ffprobe", {"-v", "error", "-count_frames", "-show_entries",
                                              "stream=codec_type,width,height,nb_read_frames", "-of", "csv=p=0",
                                              QString::fromStdString(film.string())});
    EXPECT_NE(probe.find("video,320,240," + std::to_string(outcome.capturedFrames)), std::string::npos) << probe;
    if (withSound) EXPECT_NE(probe.find("audio"), std::string::npos) << probe;

    // Decode every frame and read its time bar.
    QProcess decoder;
    decoder.start("ffmpeg", {"-v", "error", "-i", QString::fromStdString(film.string()), "-f", "rawvideo",
                             "-pix_fmt", "bgr24", "-"});
    decoder.waitForFinished(120000);
    const QByteArray raw = decoder.readAllStandardOutput();
    const int frameBytes = 320 * 240 * 3;
    ASSERT_EQ(raw.size() % frameBytes, 0);
    std::vector<std::uint32_t> times;
    for (int offset = 0; offset + frameBytes <= raw.size(); offset += frameBytes) {
        const auto reading = demosim::ReadTimeBar(reinterpret_cast<const std::uint8_t*>(raw.constData()) + offset,
                                                  320, 240, 320 * 3, 3);
        ASSERT_TRUE(reading) << "no time bar in film frame " << times.size();
        times.push_back(reading->hundredths);
    }
    ASSERT_EQ(times.size(), static_cast<std::size_t>(outcome.capturedFrames));
    ASSERT_FALSE(times.empty());
    EXPECT_EQ(times.front(), 250u * 4u) << "the film starts at the start node";
    // Every step once, in order: 4 hundredths per frame, and the script's eight steps of one hundredth at 350.
    std::vector<std::uint32_t> expected;
    for (std::uint32_t t = 1000; t < 1400; t += 4) expected.push_back(t);
    for (std::uint32_t t = 1400; t < 1408; ++t) expected.push_back(t);
    for (std::uint32_t t = 1408; t < 2000; t += 4) expected.push_back(t);
    EXPECT_EQ(times, expected);
    std::fprintf(stderr, "render: %lld frames captured, %lld ms of sound, %lld pictures taken again, %lld unchanged\n",
                 static_cast<long long>(outcome.capturedFrames), static_cast<long long>(outcome.recordedMs),
                 static_cast<long long>(playback.capture.redrawWaits),
                 static_cast<long long>(playback.capture.unchangedFrames));
}

}  // namespace
}  // namespace kinoloop::testing
