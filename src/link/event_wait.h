#pragma once
// Waiting without freezing: spins the Qt event loop until a condition holds, a stop condition holds or a time
// limit passes. Timers, datagrams and clicks keep being served meanwhile, which is how a replay move learns that
// the simulator runs the replay and how a camera marker receives its camera.
//
// While any wait runs, no new command may start: commands take a CommandScope first and give up when it is not
// acquired. Handlers of datagrams and timer ticks are not commands and run freely inside waits.
#include <chrono>
#include <functional>

namespace kinoloop {

enum class WaitOutcome { Done, Stopped, TimedOut };

inline constexpr std::chrono::milliseconds kNoTimeLimit{-1};

// Returns as soon as `done` holds (Done), else when `stop` holds (Stopped), else when `timeout` has passed
// (TimedOut; a negative timeout never passes). Conditions are looked at about every millisecond.
WaitOutcome ServeEventsUntil(const std::function<bool()>& done, const std::function<bool()>& stop = {},
                      std::chrono::milliseconds timeout = kNoTimeLimit);

// Serves events for the given time.
void ServeEventsFor(std::chrono::milliseconds duration);

// Serves the events that are pending now, once.
void ProcessPendingEvents();

// True while a wait of this helper runs anywhere in the call stack.
bool WaitRunning();

// Taken by every command that may wait. Not acquired while a wait runs (or another command holds one):
// the command must then do nothing.
class CommandScope {
public:
    CommandScope();
    ~CommandScope();
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;
    bool acquired() const { return acquired_; }

private:
    bool acquired_ = false;
};

}  // namespace kinoloop
