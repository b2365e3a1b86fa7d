#include "playback/batch_render.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <cstdio>
#include <memory>

#include "link/simulator_launcher.h"
#include "platform/x11_window_host.h"
#include "playback/playback_texts.h"
#include "playback/wiring/playback_system.h"
#include "project/project_file.h"
#include "shell/program_folder.h"

namespace kinoloop {

namespace {

// Answers the render's questions from the command line and prints what the program would show.
class BatchNotices : public Notices {
public:
    explicit BatchNotices(const BatchRenderOptions& options) : options_(options) {}
    char ShowMsgBox(char, char buttonSet, const std::string&, const std::string& text) override {
        if (text == playback_text::kRecordAudio) return options_.recordAudio ? 'Y' : 'N';
        if (text == playback_text::kRecordSimSound) return options_.recordSimSound ? 'Y' : 'N';
        if (text == playback_text::kSaveBeforeRender) return 'Y';
        if (text == playback_text::kNotLoaded) {
            refusal = "the simulator's window was not found, so nothing can be captured";
            return 'N';
        }
        if (text == playback_text::kNoStopNodeRender) {
            refusal = "the movie has no replay stop node, so a render without a user to stop it would not end";
            return 'N';
        }
        if (buttonSet == buttons::YesNo) return 'N';
        if (buttonSet == buttons::OkCancel) return 'O';
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
        return 'O';
    }
    void ShowBalloon(const std::string&, const std::string& text, BalloonKind kind, int) override {
        std::fprintf(kind == BalloonKind::Error ? stderr : stdout, "%s\n", text.c_str());
        std::fflush(stdout);
    }
    std::string refusal;

private:
    const BatchRenderOptions& options_;
};

class BatchPanel : public RenderPanel {
public:
    BatchPanel(QWidget& panel, SimulatorLauncher& launcher) : panel_(panel), launcher_(launcher) {}
    void SetRenderSize(int width, int height) override {
        panel_.setFixedSize(width, height);
        QCoreApplication::processEvents();
        launcher_.PlaceSimulatorWindow();
    }
    void RestoreSize() override {}

private:
    QWidget& panel_;
    SimulatorLauncher& launcher_;
};

}  // namespace

bool IsBatchRenderCommand(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--render") return true;
    }
    return false;
}

std::optional<BatchRenderOptions> ParseBatchRenderArguments(const std::vector<std::string>& arguments,
                                                            std::string& why) {
    BatchRenderOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--render") {
            if (i + 1 < arguments.size()) options.movieFile = arguments[++i];
        } else if (a == "--format" && i + 1 < arguments.size()) {
            options.format = arguments[++i];
            if (*options.format != "STD" && *options.format != "PAL" && *options.format != "NTSC" &&
                *options.format != "LRG") {
                why = "unknown format '" + *options.format + "' (STD, PAL, NTSC or LRG)";
                return std::nullopt;
            }
        } else if (a == "--audio") {
            options.recordAudio = true;
        } else if (a == "--no-audio") {
            options.recordAudio = false;
        } else if (a == "--sim-sound") {
            options.recordSimSound = true;
        } else {
            why = "unknown argument '" + a + "'";
            return std::nullopt;
        }
    }
    if (options.movieFile.empty()) {
        why = "--render needs a movie file";
        return std::nullopt;
    }
    if (options.recordSimSound && !options.recordAudio) {
        why = "--sim-sound needs --audio";
        return std::nullopt;
    }
    return options;
}

int RunBatchRender(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string why;
    const std::optional<BatchRenderOptions> options = ParseBatchRenderArguments(arguments, why);
    if (!options) {
        std::fprintf(stderr,
                     "kinoloop: %s\nusage: kinoloop --render FILE.knloop [--format STD|PAL|NTSC|LRG] "
                     "[--audio|--no-audio] [--sim-sound]\n",
                     why.c_str());
        return 2;
    }
    std::unique_ptr<QApplication> ownApp;
    if (QCoreApplication::instance() == nullptr) ownApp = std::make_unique<QApplication>(argc, argv);

    EnsureProgramFolders();
    TSettings settings = LoadSettings(OptFolder() / "settings.ini", nullptr);
    if (options->format) settings.format = *options->format;
    Result<Movie> read = ReadMovie(options->movieFile);
    if (!read) {
        std::fprintf(stderr, "kinoloop: %s\n", read.Message().c_str());
        return 1;
    }
    Movie movie = std::move(read).Value();
    BatchNotices notices(*options);

    // The simulator panel, a native window the simulator's window is embedded in, sized by the format.
    QWidget panel;
    panel.setAttribute(Qt::WA_NativeWindow);
    panel.setWindowTitle("Kinoloop render");
    const PanelSize size = FormatPanelSize(settings.format).value_or(PanelSize{512, 384});
    panel.setFixedSize(size.width, size.height);
    panel.show();
    QCoreApplication::processEvents();
    std::unique_ptr<X11WindowHost> host = X11WindowHost::Open(static_cast<NativeWindow>(panel.winId()));

    UdpLink link(movie, settings);
    if (std::string error = link.Open(); !error.empty()) {
        std::fprintf(stderr, "kinoloop: %s\n", error.c_str());
        return 1;
    }
    ReplayControl replays(link.handler(), notices);
    SimulatorLauncher launcher(link.handler(), notices, host.get());
    launcher.SetFrameExtra(0, 0);
    PlaybackSystem playback(movie, settings, notices, link, replays);
    LinkPorts ports;
    playback.FillLinkPorts(ports);
    link.SetPorts(ports);
    PlaybackEngines engines(playback, [&launcher, size] {
        PanelPlacement placement;
        placement.panelWidth = size.width;
        placement.panelHeight = size.height;
        if (const std::optional<WindowRect> rect = launcher.SimulatorScreenRectangle()) {
            placement.windowLeft = rect->x;
            placement.windowTop = rect->y;
        }
        return placement;
    });
    ReportPluginProblems(engines.plugins, notices);
    CaptureSession& session = engines.session;
    BatchPanel batchPanel(panel, launcher);
    playback.panel.target = &batchPanel;

    launcher.imgRunLFSClick();
    auto endSimulator = [&launcher] {
        launcher.ReleaseSimulatorWindow();
        if (launcher.LastProcessId() > 0) ::kill(static_cast<pid_t>(launcher.LastProcessId()), SIGTERM);
    };
    const RenderOutcome started = playback.render.RenderMovie();
    if (started.state != RenderOutcome::State::Recording) {
        const std::string reason = !notices.refusal.empty() ? notices.refusal : started.failure;
        std::fprintf(stderr, "kinoloop: the render did not start: %s\n", reason.c_str());
        endSimulator();
        return 1;
    }
    QTimer progress;
    progress.setInterval(1000);
    QObject::connect(&progress, &QTimer::timeout, [&session, &movie] {
        std::printf("Frame %d, %lld frames captured\n", static_cast<int>(movie.CurrentFrame),
                    static_cast<long long>(session.CapturedFrameCount()));
        std::fflush(stdout);
    });
    progress.start();
    playback.pump.WaitUntil([&playback] { return playback.render.Outcome().state == RenderOutcome::State::Finished; },
                            -1);
    progress.stop();
    endSimulator();
    const RenderOutcome& outcome = playback.render.Outcome();
    if (outcome.film.empty()) {
        std::fprintf(stderr, "kinoloop: no film was made: %s\n", outcome.failure.c_str());
        return 1;
    }
    std::printf("%s\n", outcome.film.string().c_str());
    return 0;
}

}  // namespace kinoloop
