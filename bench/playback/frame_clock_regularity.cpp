// How regular the frame clock ticks during a preview: the deviation of every interval between two ticks from
// the nominal interval (1000 div fps ms), over a run of the given length (2 minutes by default). Each tick does
// the work of a preview tick's size (a few packets' worth), so the figure is the clock's own, not a busy tick's.
// Also runs the render timing (exact period) and reports drift against the ideal schedule.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "playback/playback_clock.h"
#include "playback/playback_modes.h"

namespace {

struct Figures {
    double p50 = 0, p99 = 0, max = 0, driftMs = 0;
    std::size_t ticks = 0;
};

Figures Measure(kinoloop::PlaybackClock& clock, int seconds, double periodMs) {
    std::vector<qint64> stamps;
    QElapsedTimer timer;
    timer.start();
    clock.onTick = [&] { stamps.push_back(timer.nsecsElapsed()); };
    clock.Start();
    QTimer::singleShot(seconds * 1000, [&] {
        clock.Stop();
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    Figures f;
    f.ticks = stamps.size();
    std::vector<double> deviation;
    for (std::size_t i = 1; i < stamps.size(); ++i) {
        deviation.push_back(std::fabs((stamps[i] - stamps[i - 1]) / 1e6 - periodMs));
    }
    std::sort(deviation.begin(), deviation.end());
    if (!deviation.empty()) {
        f.p50 = deviation[deviation.size() / 2];
        f.p99 = deviation[std::min(deviation.size() - 1, deviation.size() * 99 / 100)];
        f.max = deviation.back();
        f.driftMs = (stamps.back() - stamps.front()) / 1e6 - periodMs * static_cast<double>(stamps.size() - 1);
    }
    return f;
}

void Print(const char* name, const Figures& f, const kinoloop::PlaybackClock& clock) {
    std::printf("%s: %zu ticks, interval deviation p50 %.3f ms, p99 %.3f ms, max %.3f ms, drift %.3f ms; "
                "late ticks %lld, skipped %lld\n",
                name, f.ticks, f.p50, f.p99, f.max, f.driftMs, static_cast<long long>(clock.Stats().lateTicks),
                static_cast<long long>(clock.Stats().skippedTicks));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 120;
    const int fps = argc > 2 ? std::max(1, std::atoi(argv[2])) : 25;
    kinoloop::PlaybackClock clock;
    clock.SetFramesPerSecond(fps);
    const Figures preview = Measure(clock, seconds, kinoloop::FrameIntervalMs(fps));
    Print("preview", preview, clock);
    clock.ResetStats();
    clock.SetExactPeriod(true);
    const Figures render = Measure(clock, std::max(1, seconds / 4), 1000.0 / fps);
    Print("render ", render, clock);
    const bool ok = preview.p99 < 2.0;
    std::printf("goal p99 < 2 ms: %s\n", ok ? "met" : "NOT met");
    return ok ? 0 : 1;
}
