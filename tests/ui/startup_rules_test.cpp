// What the start-up sequence derives from the settings and the command line.
#include <gtest/gtest.h>

#include <vector>

#include "shell/ui/startup_rules.h"

namespace kinoloop {
namespace {

TEST(StartupRules, AutosaveTimerBySetting) {
    EXPECT_EQ(AutosaveFromSetting(0), (AutosaveTimer{false, 0}));
    EXPECT_EQ(AutosaveFromSetting(1), (AutosaveTimer{true, 60000}));
    EXPECT_EQ(AutosaveFromSetting(2), (AutosaveTimer{true, 300000}));
    EXPECT_EQ(AutosaveFromSetting(3), (AutosaveTimer{true, 600000}));
    EXPECT_EQ(AutosaveFromSetting(4), (AutosaveTimer{true, 1200000}));
    EXPECT_EQ(AutosaveFromSetting(5), (AutosaveTimer{true, 1800000}));
    EXPECT_FALSE(AutosaveFromSetting(7)) << "other values leave the timer as designed";
    EXPECT_FALSE(AutosaveFromSetting(-1));
}

TEST(StartupRules, FrameClockIntervalAndPriority) {
    EXPECT_EQ(FrameClockInterval(25), 40);
    EXPECT_EQ(FrameClockInterval(30), 33);
    EXPECT_EQ(FrameClockInterval(0), 1000) << "a frame rate of 0 does not divide by zero";
    EXPECT_EQ(NiceForPriority(0), 19);
    EXPECT_EQ(NiceForPriority(1), 0);
    EXPECT_EQ(NiceForPriority(2), -10);
    EXPECT_EQ(NiceForPriority(3), -20);
    EXPECT_FALSE(NiceForPriority(9));
    EXPECT_EQ(ApplyProcessPriority(9), "") << "unknown values change nothing";
}

TEST(StartupRules, DebugSwitchOnlyAsFirstArgument) {
    const char* upper[] = {"kinoloop", "/DEBUG"};
    const char* lower[] = {"kinoloop", "/debug", "movie.knloop"};
    const char* second[] = {"kinoloop", "movie.knloop", "/debug"};
    const char* none[] = {"kinoloop"};
    EXPECT_TRUE(DebugSwitch(2, upper));
    EXPECT_TRUE(DebugSwitch(3, lower));
    EXPECT_FALSE(DebugSwitch(3, second));
    EXPECT_FALSE(DebugSwitch(1, none));
}

TEST(StartupRules, ProjectFileBesideTheDebugSwitch) {
    const struct {
        std::vector<const char*> args;
        bool debug;
        const char* project;
    } cases[] = {
        {{"kinoloop"}, false, ""},
        {{"kinoloop", "/debug"}, true, ""},
        {{"kinoloop", "/Debug", "movie.knloop"}, true, "movie.knloop"},
        {{"kinoloop", "movie.knloop"}, false, "movie.knloop"},
        {{"kinoloop", "movie.knloop", "/DEBUG"}, false, "movie.knloop"},
        {{"kinoloop", "/debugging.knloop"}, false, "/debugging.knloop"},
    };
    for (const auto& c : cases) {
        const int argc = static_cast<int>(c.args.size());
        EXPECT_EQ(DebugSwitch(argc, c.args.data()), c.debug) << c.args.back();
        EXPECT_EQ(ProjectArgument(argc, c.args.data()), c.project) << c.args.back();
    }
}

}  // namespace
}  // namespace kinoloop
