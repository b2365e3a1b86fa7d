// Rendering figures:
//   AssembleFilm        frames of temp.tmp into an AVI (no effects, and one effect on every frame)
//   FfmpegMux           ffmpeg muxing the same frames from a raw file into an AVI, the yardstick
//   CaptureAndAppend    one frame-clock tick's work at 512 x 384: grab the screen, append to temp.tmp
// Run: scripts/test-env.sh build/bench/render_bench   (the capture needs DISPLAY)
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "model/field_text.h"
#include "model/node_store.h"
#include "platform/screen_capture.h"
#include "render/assemble_film.h"
#include "render/capture_session.h"
#include "render/frame_file.h"
#include "render/x11_frame_grabber.h"

namespace kinoloop {
namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 512;
constexpr int kHeight = 384;
constexpr int kFrames = 250;  // ten seconds at 25 frames per second, 147 MB

class SilentNotices : public Notices {
public:
    char ShowMsgBox(char, char buttons, const std::string&, const std::string&) override {
        return buttons == buttons::Ok ? 'O' : 'N';
    }
    void ShowBalloon(const std::string&, const std::string&, BalloonKind, int) override {}
};

// The same frames as temp.tmp (BMP images) and as a raw top-down file for ffmpeg, made once.
struct Material {
    fs::path folder;
    fs::path master;  // temp.tmp's content
    fs::path raw;
    std::int64_t frameSize = 0;

    Material() {
        folder = fs::temp_directory_path() / ("kl-render-bench-" + std::to_string(getpid()));
        fs::create_directories(folder / "Mov");
        master = folder / "frames.tmp";
        raw = folder / "frames.raw";
        FrameFileWriter writer;
        (void)writer.Create(master);
        std::ofstream rawOut(raw, std::ios::binary);
        std::mt19937 random(7);
        FrameImage frame = FrameImage::Blank(kWidth, kHeight);
        for (int k = 0; k < kFrames; ++k) {
            for (auto& byte : frame.pixels) byte = static_cast<std::uint8_t>(random());
            (void)writer.Append(frame);
            for (int y = 0; y < kHeight; ++y) {
                rawOut.write(reinterpret_cast<const char*>(frame.PixelAt(0, y)), kWidth * 3);
            }
        }
        frameSize = writer.CapturedFrameSize();
    }
    ~Material() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

Material& Frames() {
    static Material material;
    return material;
}

void AssembleOnce(benchmark::State& state, const NodeStore& nodes, const std::vector<TPlugin>& plugins) {
    Material& m = Frames();
    SilentNotices notices;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(m.folder / "Mov" / "unknown.avi");
        fs::create_hard_link(m.master, m.folder / "Mov" / "temp.tmp");  // the assembly deletes it
        state.ResumeTiming();
        FilmRequest request;
        request.movFolder = m.folder / "Mov";
        request.CapturedFrameSize = m.frameSize;
        request.CapturedFrameCount = kFrames;
        request.RecordedSeconds = 10;
        request.nodes = &nodes;
        request.plugins = &plugins;
        const FilmOutcome outcome = AssembleFilm(request, {&notices, {}, {}});
        if (!outcome.saved) state.SkipWithError(outcome.failure.c_str());
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(kFrames) * state.iterations(), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kFrames * m.frameSize);
}

void AssembleFilmNoEffects(benchmark::State& state) {
    AssembleOnce(state, NodeStore{}, {});
}

void AssembleFilmOneEffectPerFrame(benchmark::State& state) {
    NodeStore nodes;
    for (int column = 0; column < kFrames; ++column) {
        NodeText node;
        node.tag = "EFF";
        node.column = column;
        node.row = 1;
        node.fieldText =
            JoinFields({"0", std::to_string(column), "1", "1", "Greyscale", "0", "0", "0", "0", ""});
        nodes.Append(node);
    }
    const std::vector<TPlugin> plugins = ScanPlugins(KL_BENCH_EFFECTS_DIR).plugins;
    if (std::none_of(plugins.begin(), plugins.end(),
                     [](const TPlugin& p) { return p.name == "Greyscale"; })) {
        state.SkipWithError("the sample effects are not built");
        return;
    }
    AssembleOnce(state, nodes, plugins);
}

void FfmpegMux(benchmark::State& state) {
    Material& m = Frames();
    const std::string command = "ffmpeg -v error -y -f rawvideo -pix_fmt bgr24 -s " + std::to_string(kWidth) +
                                "x" + std::to_string(kHeight) + " -r 25 -i '" + m.raw.string() +
                                "' -c:v rawvideo -pix_fmt bgr24 '" + (m.folder / "ffmpeg.avi").string() + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("ffmpeg failed");
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(kFrames) * state.iterations(), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kFrames * m.frameSize);
}

// An X server resets when its last client leaves, and refuses connections while it does; the program always
// has its own window open, so the benchmarks keep one connection open as well.
bool HoldDisplay(benchmark::State& state) {
    if (std::getenv("DISPLAY") == nullptr) {
        state.SkipWithError("no X display: run under scripts/test-env.sh");
        return false;
    }
    static std::string error;
    static const std::unique_ptr<ScreenCapture> keeper = ScreenCapture::Open(error);
    if (!keeper) state.SkipWithError(error.c_str());
    return keeper != nullptr;
}

void CaptureAndAppend(benchmark::State& state) {
    if (!HoldDisplay(state)) return;
    Material& m = Frames();
    X11FrameGrabber grabber;
    PanelCapture capture(grabber);
    CaptureSession session(capture);
    const PanelPlacement placement{0, 0, kWidth, kHeight, 0, 0};
    std::vector<double> ms;
    (void)session.Start(m.folder / "Mov");
    for (auto _ : state) {
        if (session.CapturedFrameCount() == 250) {  // keep the file small: start again every 250 frames
            state.PauseTiming();
            (void)session.Start(m.folder / "Mov");
            state.ResumeTiming();
        }
        const auto start = std::chrono::steady_clock::now();
        if (!session.CaptureFrame(placement)) {
            state.SkipWithError("capture failed");
            break;
        }
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    (void)session.Stop();
    fs::remove(session.FrameFile());
    if (ms.empty()) return;
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p99_ms"] = ms[ms.size() * 99 / 100];
    state.counters["shm_segments"] = grabber.Capture() ? grabber.Capture()->SegmentsMade() : 0;
}

void GrabOnly(benchmark::State& state) {
    if (!HoldDisplay(state)) return;
    std::string error;
    auto capture = ScreenCapture::Open(error, nullptr, {state.range(0) != 0});
    if (!capture) {
        state.SkipWithError(error.c_str());
        return;
    }
    FrameImage image = FrameImage::Blank(kWidth, kHeight);
    for (auto _ : state) {
        if (!capture->Grab(0, 0, kWidth, kHeight, image.pixels.data(),
                           static_cast<std::size_t>(image.Stride()), error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
}

BENCHMARK(AssembleFilmNoEffects)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(FfmpegMux)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(AssembleFilmOneEffectPerFrame)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(CaptureAndAppend)->Unit(benchmark::kMicrosecond)->Iterations(1000)->UseRealTime();
BENCHMARK(GrabOnly)->Arg(1)->Arg(0)->ArgName("shm")->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace kinoloop

BENCHMARK_MAIN();
