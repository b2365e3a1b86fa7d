#include "playback/playback_clock.h"

#include <algorithm>
#include <cmath>

#include "model/movie.h"
#include "playback/playback_modes.h"

namespace kinoloop {

int StepHundredths(int framesPerSecond) {
    return static_cast<int>(RoundHalfEven(static_cast<double>(FrameStepHundredths(framesPerSecond))));
}

float FrameStepHundredths(int framesPerSecond) {
    const float fps = static_cast<float>(std::max(1, framesPerSecond));
    return (1.0f / fps) * 100.0f;
}

int FrameIntervalMs(int framesPerSecond) { return 1000 / std::max(1, framesPerSecond); }

PlaybackClock::PlaybackClock() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Fire(); });
    monotonic_.start();
}

void PlaybackClock::SetFramesPerSecond(int framesPerSecond) {
    fps_ = std::max(1, framesPerSecond);
    if (active_) {
        Stop();
        Start();
    }
}

void PlaybackClock::SetExactPeriod(bool exact) {
    if (exact_ == exact) return;
    exact_ = exact;
    if (active_) {
        Stop();
        Start();
    }
}

int PlaybackClock::IntervalMs() const { return FrameIntervalMs(fps_); }

double PlaybackClock::PeriodMs() const { return exact_ ? 1000.0 / fps_ : static_cast<double>(IntervalMs()); }

void PlaybackClock::Start() {
    if (active_) return;
    active_ = true;
    index_ = 1;  // the first tick comes one period after the start, as a timer's does
    startNs_ = static_cast<double>(monotonic_.nsecsElapsed());
    ScheduleNext();
}

void PlaybackClock::Stop() {
    active_ = false;
    timer_.stop();
}

void PlaybackClock::ScheduleNext() {
    const double dueNs = startNs_ + static_cast<double>(index_) * PeriodMs() * 1e6;
    const double waitMs = (dueNs - static_cast<double>(monotonic_.nsecsElapsed())) / 1e6;
    timer_.start(std::max(0, static_cast<int>(std::floor(waitMs))));
}

void PlaybackClock::Fire() {
    if (!active_) return;
    const double periodNs = PeriodMs() * 1e6;
    double dueNs = startNs_ + static_cast<double>(index_) * periodNs;
    const double nowNs = static_cast<double>(monotonic_.nsecsElapsed());
    if (nowNs < dueNs) {
        // The timer has millisecond resolution; wait out the rest of the deadline.
        ScheduleNext();
        if (dueNs - nowNs < 1e6) {
            while (static_cast<double>(monotonic_.nsecsElapsed()) < dueNs) {
            }
            timer_.stop();
        } else {
            return;
        }
    }
    const double lateMs = (static_cast<double>(monotonic_.nsecsElapsed()) - dueNs) / 1e6;
    ++stats_.ticks;
    if (lateMs > 2.0) ++stats_.lateTicks;
    stats_.maxLatenessMs = std::max(stats_.maxLatenessMs, lateMs);
    ++index_;
    if (!exact_) {
        // A preview does not repeat ticks it missed: move the schedule on past them.
        const double nextDue = startNs_ + static_cast<double>(index_) * periodNs;
        const double now = static_cast<double>(monotonic_.nsecsElapsed());
        if (now > nextDue) {
            const auto missed = static_cast<std::int64_t>((now - nextDue) / periodNs) + 1;
            stats_.skippedTicks += missed;
            index_ += missed;
        }
    }
    ScheduleNext();
    if (onTick) onTick();
    // The tick may have stopped the clock or changed its period; the schedule above then no longer matters.
}

}  // namespace kinoloop
