#include "shell/ui/startup_rules.h"

#include <sched.h>
#include <sys/resource.h>
#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kinoloop {

std::optional<AutosaveTimer> AutosaveFromSetting(int value) {
    static constexpr int kMinutes[] = {0, 1, 5, 10, 20, 30};
    if (value < 0 || value > 5) return std::nullopt;
    if (value == 0) return AutosaveTimer{false, 0};
    return AutosaveTimer{true, kMinutes[value] * 60000};
}

int FrameClockInterval(int fps) { return 1000 / std::max(fps, 1); }

std::optional<int> NiceForPriority(int value) {
    switch (value) {
        case 0: return 19;
        case 1: return 0;
        case 2: return -10;
        case 3: return -20;
        default: return std::nullopt;
    }
}

std::string ApplyProcessPriority(int value) {
    const auto nice = NiceForPriority(value);
    if (!nice) return {};
    if (value == 3) {
        sched_param param{};
        param.sched_priority = sched_get_priority_min(SCHED_RR);
        if (sched_setscheduler(0, SCHED_RR, &param) == 0) return {};
    } else {
        // Leave a real-time class that an earlier setting gave.
        sched_param param{};
        sched_setscheduler(0, SCHED_OTHER, &param);
    }
    if (setpriority(PRIO_PROCESS, 0, *nice) != 0) {
        return std::string("The process priority could not be changed: ") + std::strerror(errno);
    }
    return {};
}

bool DebugSwitch(int argc, const char* const* argv) { return argc > 1 && strcasecmp(argv[1], "/debug") == 0; }

std::string ProjectArgument(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        if (strcasecmp(argv[i], "/debug") != 0) return argv[i];
    }
    return {};
}

}  // namespace kinoloop
