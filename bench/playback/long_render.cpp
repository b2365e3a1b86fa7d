// A measured run of a long render with the demo simulator (run under scripts/test-env.sh):
//   bench/playback_long_render [seconds=120] [format=LRG]
// renders a movie of that many seconds (start node at 10 s, a camera cut every 10 s, the stop node at the
// end) with the sound recorded when PulseAudio runs, then reads every frame of the film back. It reports the
// ticks of the frame clock against the frames captured (a render ended by its stop node captures one frame
// less than it ticks: the stop node's own frame is not filmed), the frames whose replay time is not the next
// step (dropped or doubled), the pictures the capture had to look at again because the simulator had not
// drawn them yet, the clock's lateness and the film's assembly time.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "render_rig.h"
#include "shell/program_folder.h"

namespace {

using namespace kinoloop;
using namespace kinoloop::testing;

constexpr int kFps = 25;
constexpr int kStart = 250;

void BuildLongMovie(Movie& movie, int seconds) {
    const int stop = kStart + seconds * kFps;
    movie.ResetTimeline(seconds + 30, kFps);
    movie.strTimeline.SetRowCount(4);
    movie.strTracks.SetRowCount(4);
    for (int row = 1; row < 4; ++row) movie.strTracks.At(row).name = "Track " + std::to_string(row);
    auto add = [&movie](const std::string& tag, char head, int column, int row, const std::string& fields) {
        const int id = movie.NextNodeID;
        movie.AppendRecord(
            tag, column, row,
            std::to_string(id) + ":" + std::to_string(column) + ":" + std::to_string(row) + ":" + fields);
        movie.strTimeline.SetCell(column, row, std::string(1, head));
    };
    add("REP", 'R', 0, 1, "1:demo.spr:-1");
    add("STT", 'G', kStart, 2, "1:demo.spr:0:1");
    for (int column = kStart, cut = 0; column < stop; column += 10 * kFps, ++cut) {
        const int x = (cut % 2 == 0 ? 3000000 : -2000000) + cut * 65536;
        add("CAM", 'C', column, 3,
            "1:" + std::to_string(x) + ":-1500000:800000:" + std::to_string(cut * 4000 % 65536) +
                ":5461:0:255:4:80:0:8192");
    }
    add("STP", 'X', stop, 2, "1");
}

double LoadAverage() {
    std::ifstream in("/proc/loadavg");
    double one = -1;
    in >> one;
    return one;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 120;
    const std::string format = argc > 2 ? argv[2] : "LRG";
    const std::optional<PanelSize> size = FormatPanelSize(format);
    if (seconds < 1 || !size) {
        std::fprintf(stderr, "usage: playback_long_render [seconds] [STD|PAL|NTSC|LRG]\n");
        return 2;
    }
    if (std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "playback_long_render: needs an X server (run under scripts/test-env.sh)\n");
        return 2;
    }
    // The demo simulator is found in the build's program folder: this program lies in the build's bench
    // folder.
    if (std::getenv("KINOLOOP_BUILD_DIR") == nullptr) {
        const std::filesystem::path build =
            std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path();
        setenv("KINOLOOP_BUILD_DIR", build.c_str(), 1);
    }
    DemoSession session(true, seconds + 30);
    if (!session.Problem().empty()) {
        std::fprintf(stderr, "playback_long_render: %s\n", session.Problem().c_str());
        return 1;
    }
    BuildLongMovie(session.movie, seconds);
    session.movie.header.MovieFileName = "long.knloop";
    EnsureProgramFolders();
    const bool withSound = std::getenv("KINOLOOP_PULSE") != nullptr;
    DemoRender render(session, format, withSound);
    PlaybackSystem& playback = *session.playback;
    const double loadBefore = LoadAverage();

    const RenderOutcome started = render.Start();
    if (started.state != RenderOutcome::State::Recording) {
        std::fprintf(stderr, "playback_long_render: the render did not start: %s\n", started.failure.c_str());
        return 1;
    }
    playback.tmrPlay.ResetStats();  // the clock has just started; no tick has run yet
    QElapsedTimer wall;
    wall.start();
    const bool stopped = playback.pump.WaitUntil(
        [&] { return playback.render.Outcome().state == RenderOutcome::State::Finished; },
        (seconds + 300) * 1000);
    // The clock is off after the stop: its figures are those of the recording.
    const PlaybackClock::Lateness lateness = playback.tmrPlay.Stats();
    const std::int64_t totalMs = wall.elapsed();
    const double loadAfter = LoadAverage();
    const RenderOutcome& outcome = playback.render.Outcome();
    if (!stopped || outcome.film.empty()) {
        std::fprintf(stderr, "playback_long_render: no film: %s\n", outcome.failure.c_str());
        return 1;
    }

    // Every frame's replay time must be the next step of 4 hundredths from the start node's.
    std::int64_t frames = 0, outOfStep = 0, unreadable = 0;
    const auto stride = static_cast<std::size_t>(size->width) * 3;
    ForEachFilmPicture(outcome.film, size->width, size->height, [&](const std::uint8_t* pixels) {
        const auto bar = demosim::ReadTimeBar(pixels, size->width, size->height, stride, 3);
        if (!bar) {
            ++unreadable;
        } else if (bar->hundredths != static_cast<std::uint32_t>((kStart + frames) * 4)) {
            ++outOfStep;
        }
        ++frames;
    });

    std::printf("long render: %d s at %s (%dx%d), sound %s\n", seconds, format.c_str(), size->width,
                size->height, withSound ? "recorded" : "not recorded");
    std::printf(
        "  frame clock ticks while recording: %lld; frames captured: %lld (expected %d); in the film: %lld\n",
        static_cast<long long>(lateness.ticks), static_cast<long long>(outcome.capturedFrames),
        seconds * kFps, static_cast<long long>(frames));
    std::printf("  frames out of step (dropped or doubled): %lld; without a readable time bar: %lld\n",
                static_cast<long long>(outOfStep), static_cast<long long>(unreadable));
    std::printf(
        "  pictures looked at again (simulator not drawn yet): %lld; still unchanged after the wait: %lld\n",
        static_cast<long long>(playback.capture.redrawWaits),
        static_cast<long long>(playback.capture.unchangedFrames));
    std::printf("  late ticks (> 2 ms): %lld of %lld; largest lateness %.1f ms\n",
                static_cast<long long>(lateness.lateTicks), static_cast<long long>(lateness.ticks),
                lateness.maxLatenessMs);
    std::printf(
        "  recording %lld ms of wall time; sound recorded %lld ms; assembly %lld ms; whole run %lld ms\n",
        static_cast<long long>(playback.capture.WallClockMilliseconds()),
        static_cast<long long>(outcome.recordedMs), static_cast<long long>(outcome.assemblyMs),
        static_cast<long long>(totalMs));
    std::printf("  load average %.2f before, %.2f after\n", loadBefore, loadAfter);
    std::error_code ignored;
    std::filesystem::remove(outcome.film, ignored);  // a 2-minute LRG film is about 1.8 GB
    return outOfStep == 0 && unreadable == 0 && outcome.capturedFrames == seconds * kFps ? 0 : 1;
}
