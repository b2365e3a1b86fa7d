#pragma once
// `tmrPlay`, the frame clock. Ticks are scheduled against deadlines on a monotonic clock rather than one after
// the other, so that the clock does not drift: tick k is due at start + k x period. In preview a tick more than
// one period late is not repeated (a late tick is simply the next frame). While a render records, the period is
// exactly 1000 / fps milliseconds and late ticks are caught up, because the film's frames are timed against the
// recorded sound track. The clock counts how late its ticks come, so that lateness is never hidden.
#include <cstdint>
#include <functional>

#include <QElapsedTimer>
#include <QTimer>

#include "playback/ports.h"

namespace kinoloop {

class PlaybackClock : public FrameClockControl {
public:
    PlaybackClock();
    PlaybackClock(const PlaybackClock&) = delete;
    PlaybackClock& operator=(const PlaybackClock&) = delete;

    // The interval is 1000 div fps milliseconds (fps below 1 counts as 1); takes effect at once.
    void SetFramesPerSecond(int framesPerSecond);
    // Render timing: a period of exactly 1000 / fps ms and late ticks caught up.
    void SetExactPeriod(bool exact) override;
    bool ExactPeriod() const { return exact_; }

    void Start() override;
    void Stop() override;
    bool IsActive() const override { return active_; }

    int IntervalMs() const;
    double PeriodMs() const;

    // Called on every tick.
    std::function<void()> onTick;

    struct Lateness {
        std::int64_t ticks = 0;
        std::int64_t lateTicks = 0;     // more than 2 ms after their deadline
        std::int64_t skippedTicks = 0;  // preview only: ticks that would have been more than a period late
        double maxLatenessMs = 0;
    };
    const Lateness& Stats() const { return stats_; }
    void ResetStats() { stats_ = {}; }

private:
    void ScheduleNext();
    void Fire();

    QTimer timer_;
    QElapsedTimer monotonic_;
    int fps_ = 25;
    bool exact_ = false;
    bool active_ = false;
    double startNs_ = 0;
    std::int64_t index_ = 0;  // index of the next tick
    Lateness stats_;
};

}  // namespace kinoloop
