// `kinoloop --render` as a user runs it: the built program on a fresh program folder whose simulator is the
// demo simulator, the demo movie that make-demo-movie writes, and the film checked with ffprobe and ffmpeg;
// and the ways it refuses, each with its exit code and reason.
#include <gtest/gtest.h>

#include <QProcess>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <utility>

#include "model/movie.h"
#include "project/project_file.h"
#include "temp_folder.h"
#include "test_machine.h"
#include "time_bar.h"

namespace kinoloop::testing {
namespace {

struct RunResult {
    int exitCode = -1;
    std::string out, err;
};

// A program folder set up as scripts/setup-demo-home.sh sets one up, on ports of its own and with a window
// title of its own, holding the demo movie in Sav.
class BatchHome {
public:
    static constexpr const char* kTitle = "Batch Render Demo";

    BatchHome() {
        const std::filesystem::path bin = BuildFolder() / "bin";
        std::filesystem::create_directories(home_.Path() / "Opt");
        std::ofstream(home_.Path() / "Opt" / "settings.ini")
            << "[settings]\nfirstrun=0\nlfspath=" << bin.string()
            << "/\nexeoverride=demosim\nwindowname=" << kTitle
            << "\ntimeline=10\nwatermark=0\nscale=0\nprompts=1\nautosave=0\npriority=1\n"
            << "[record]\nformat=LRG\nfps=25\n"
            << "[insim]\nhost=127.0.0.1\nlocalport=" << FreeUdpPort() << "\nremoteport=" << FreeUdpPort()
            << "\nadmin=\n";
        QProcess maker;
        maker.start(QString::fromStdString((bin / "make-demo-movie").string()),
                    {QString::fromStdString(home_.Path().string())});
        maker.waitForFinished(30000);
    }

    std::filesystem::path Path() const { return home_.Path(); }
    std::filesystem::path DemoMovie() const { return home_.Path() / "Sav" / "demo.knloop"; }

    RunResult Render(const QStringList& arguments) const {
        QProcess kinoloop;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("KINOLOOP_HOME", QString::fromStdString(home_.Path().string()));
        environment.insert("DEMOSIM_TITLE", kTitle);
        environment.insert("DEMOSIM_LOG", QString::fromStdString((home_.Path() / "demosim.log").string()));
        kinoloop.setProcessEnvironment(environment);
        kinoloop.start(QString::fromStdString((BuildFolder() / "bin" / "kinoloop").string()),
                       QStringList{"--render"} + arguments);
        RunResult run;
        if (!kinoloop.waitForFinished(240000)) {
            kinoloop.kill();
            kinoloop.waitForFinished(5000);
            run.err = "kinoloop did not finish within four minutes";
            return run;
        }
        run.exitCode = kinoloop.exitStatus() == QProcess::NormalExit ? kinoloop.exitCode() : -1;
        run.out = kinoloop.readAllStandardOutput().toStdString();
        run.err = kinoloop.readAllStandardError().toStdString();
        return run;
    }

private:
    TempFolder home_;
};

std::string LastLine(const std::string& text) {
    std::string trimmed = text;
    while (!trimmed.empty() && trimmed.back() == '\n') trimmed.pop_back();
    const std::size_t newline = trimmed.rfind('\n');
    return newline == std::string::npos ? trimmed : trimmed.substr(newline + 1);
}

std::string Probe(const std::filesystem::path& film) {
    QProcess probe;
    probe.start("ffprobe", {"-v", "error", "-count_frames", "-show_entries",
                            "stream=codec_type,width,height,nb_read_frames,sample_rate,channels", "-of",
                            "csv=p=0", QString::fromStdString(film.string())});
    probe.waitForFinished(120000);
    return probe.readAllStandardOutput().toStdString();
}

// The time bar of the film's first and last frames.
std::pair<std::optional<std::uint32_t>, std::optional<std::uint32_t>> FirstAndLastTimes(
    const std::filesystem::path& film, int width, int height) {
    QProcess decoder;
    decoder.start("ffmpeg", {"-v", "error", "-i", QString::fromStdString(film.string()), "-f", "rawvideo",
                             "-pix_fmt", "bgr24", "-"});
    decoder.waitForFinished(120000);
    const QByteArray raw = decoder.readAllStandardOutput();
    const auto stride = static_cast<std::size_t>(width) * 3;
    const std::size_t frameBytes = stride * static_cast<std::size_t>(height);
    auto read = [&](std::size_t offset) -> std::optional<std::uint32_t> {
        if (offset + frameBytes > static_cast<std::size_t>(raw.size())) return std::nullopt;
        const auto bar = demosim::ReadTimeBar(reinterpret_cast<const std::uint8_t*>(raw.constData()) + offset,
                                              width, height, stride, 3);
        return bar ? std::optional<std::uint32_t>(bar->hundredths) : std::nullopt;
    };
    const std::size_t frames = static_cast<std::size_t>(raw.size()) / frameBytes;
    if (frames == 0) return {};
    return {read(0), read((frames - 1) * frameBytes)};
}

bool NeedsDisplay() {
    return std::getenv("DISPLAY") == nullptr;
}

TEST(BatchRender, DemoMovieAtStdWithoutSoundPrintsProgressAndTheFilm) {
    if (NeedsDisplay()) GTEST_SKIP() << "needs an X server (scripts/test-env.sh)";
    const BatchHome home;
    ASSERT_TRUE(std::filesystem::exists(home.DemoMovie()));
    const RunResult run =
        home.Render({QString::fromStdString(home.DemoMovie().string()), "--format", "STD", "--no-audio"});
    ASSERT_EQ(run.exitCode, 0) << run.err << run.out;
    const std::filesystem::path film = home.Path() / "Mov" / "demo.avi";
    EXPECT_EQ(LastLine(run.out), film.string()) << "the film's path is printed last";
    EXPECT_NE(run.out.find("Preparing Movie, Please Wait"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(" frames captured\n"), std::string::npos) << "progress while recording:\n"
                                                                     << run.out;
    EXPECT_NE(run.out.find("Creating AVI - Frame: 1\\500"), std::string::npos) << "progress while assembling";
    ASSERT_TRUE(std::filesystem::exists(film));
    EXPECT_FALSE(std::filesystem::exists(home.Path() / "Mov" / "demo.knloop.wav"))
        << "no sound was asked for";

    // 20 s from the start node at 10 s to the stop node: 500 frames of the format's size (not the setting's
    // LRG), no sound stream; the first frame shows the start node's replay time, the last the frame before
    // the stop.
    const std::string probe = Probe(film);
    EXPECT_EQ(probe, "video,320,240,500\n");
    const auto [first, last] = FirstAndLastTimes(film, 320, 240);
    EXPECT_EQ(first, std::optional<std::uint32_t>(250 * 4));
    EXPECT_EQ(last, std::optional<std::uint32_t>(749 * 4));
}

TEST(BatchRender, DemoMovieWithSoundHasTheToneInItsSoundTrack) {
    if (NeedsDisplay()) GTEST_SKIP() << "needs an X server (scripts/test-env.sh)";
    if (std::getenv("KINOLOOP_PULSE") == nullptr)
        GTEST_SKIP() << "needs the PulseAudio daemon of scripts/test-env.sh";
    const BatchHome home;
    const RunResult run =
        home.Render({QString::fromStdString(home.DemoMovie().string()), "--format", "STD", "--audio"});
    ASSERT_EQ(run.exitCode, 0) << run.err << run.out;
    const std::filesystem::path film = home.Path() / "Mov" / "demo.avi";
    EXPECT_EQ(LastLine(run.out), film.string());
    const std::string probe = Probe(film);
    EXPECT_NE(probe.find("video,320,240,500\n"), std::string::npos) << probe;
    EXPECT_NE(probe.find("audio,22050,2,"), std::string::npos) << probe;

    // The demo tone (440 Hz, amplitude 6000, 2 s) plays from the sound node at 10 frames after the start
    // node: silence before it, the tone from 0.4 s on.
    QProcess decoder;
    decoder.start("ffmpeg", {"-v", "error", "-i", QString::fromStdString(film.string()), "-map", "0:a:0",
                             "-f", "s16le", "-acodec", "pcm_s16le", "-"});
    decoder.waitForFinished(120000);
    const QByteArray raw = decoder.readAllStandardOutput();
    EXPECT_EQ(raw.size(), 500 * 22050 / 25 * 4) << "the sound lasts exactly as long as the pictures";
    auto peak = [&raw](double fromSeconds, double toSeconds) {
        int most = 0;
        for (qsizetype i = static_cast<qsizetype>(fromSeconds * 22050) * 4;
             i + 1 < raw.size() && i < static_cast<qsizetype>(toSeconds * 22050) * 4; i += 2) {
            const auto v = static_cast<std::int16_t>(static_cast<std::uint8_t>(raw[i]) |
                                                     (static_cast<std::uint8_t>(raw[i + 1]) << 8));
            most = std::max(most, std::abs(static_cast<int>(v)));
        }
        return most;
    };
    EXPECT_LT(peak(0.0, 0.3), 300) << "silence before the sound node";
    EXPECT_GT(peak(0.6, 2.2), 4000) << "the tone after it";
}

TEST(BatchRender, RefusalsExitNonZeroWithTheReason) {
    const BatchHome home;
    // A movie with a stop node but no replay node.
    Movie noReplay;
    noReplay.ResetTimeline(60, 25);
    noReplay.strTimeline.SetRowCount(3);
    noReplay.strTracks.SetRowCount(3);
    noReplay.AppendRecord("STP", 50, 1, "1:50:1:1");
    noReplay.strTimeline.SetCell(50, 1, "X");
    const std::filesystem::path noReplayFile = home.Path() / "Sav" / "no-replay.knloop";
    ASSERT_TRUE(WriteMovie(noReplay, noReplayFile));
    const std::filesystem::path missing = home.Path() / "Sav" / "missing.knloop";

    struct Case {
        const char* name;
        QStringList arguments;
        bool needsDisplay;
        int exitCode;
        std::string reason;  // in what the program prints on its error output
    };
    const Case cases[] = {
        {"no movie named", {}, false, 2, "--render needs a movie file"},
        {"unknown format",
         {QString::fromStdString(home.DemoMovie().string()), "--format", "HD"},
         false,
         2,
         "unknown format 'HD'"},
        {"simulator sound without sound",
         {QString::fromStdString(home.DemoMovie().string()), "--sim-sound"},
         false,
         2,
         "--sim-sound needs --audio"},
        {"missing movie file", {QString::fromStdString(missing.string())}, true, 1, "missing.knloop"},
        {"no replay node",
         {QString::fromStdString(noReplayFile.string()), "--format", "STD"},
         true,
         1,
         "the render did not start: The movie cannot be rendered: there is no replay node at the start of "
         "the "
         "timeline (column 0)."},
    };
    for (const Case& c : cases) {
        if (c.needsDisplay && NeedsDisplay()) continue;
        const RunResult run = home.Render(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.name << "\n" << run.err;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << c.name << ": " << run.err;
        EXPECT_FALSE(std::filesystem::exists(home.Path() / "Mov" / "no-replay.avi")) << c.name;
    }
}

}  // namespace
}  // namespace kinoloop::testing
