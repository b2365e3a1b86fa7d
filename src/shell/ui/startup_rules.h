#pragma once
// Values the start-up sequence derives from the settings.
#include <optional>
#include <string>

namespace kinoloop {

// `autosave` 0 disables the timer (interval 0); 1..5 give 1, 5, 10, 20, 30 minutes; other values change nothing.
struct AutosaveTimer {
    bool enabled = false;
    int intervalMs = 0;
    bool operator==(const AutosaveTimer&) const = default;
};
std::optional<AutosaveTimer> AutosaveFromSetting(int value);

// Frame clock interval: 1000 div fps; fps below 1 counts as 1.
int FrameClockInterval(int fps);

// `priority`: 0 idle, 1 normal, 2 high, 3 real-time; others change nothing. Returns "" on success, else what
// failed (a real-time class the system refuses falls back to the highest nice level it allows).
std::string ApplyProcessPriority(int value);
// The nice value a setting asks for (nothing for unknown values; real-time gives -20 as its fallback).
std::optional<int> NiceForPriority(int value);

// "/debug" as the first argument, in any case.
bool DebugSwitch(int argc, const char* const* argv);

// The project file named on the command line: the first argument that is not "/debug" (in any case), or "".
std::string ProjectArgument(int argc, const char* const* argv);

}  // namespace kinoloop
