#include "link/replay_files.h"

#include <gtest/gtest.h>

#include "link_fakes.h"
#include "temp_folder.h"

namespace kinoloop {
namespace {

TEST(ReplayFiles, LoadCommandKeepsTheNameAndTakesTheKindFromTheExtension) {
    struct Case {
        const char* name;
        const char* command;
    };
    for (const Case& c : {Case{"race.spr", "/spr race"}, Case{"league.mpr", "/mpr league"},
                          Case{"Race.SPR", "/spr Race"}, Case{"odd.Spr", "/spr odd"}, Case{"x.rpl", "/mpr x"},
                          Case{"my race.spr", "/spr my race"}}) {
        EXPECT_EQ(ReplayLoadCommand(c.name), c.command) << c.name;
    }
}

TEST(ReplayFiles, ListLinesHaveAnExtensionOnlyForReplays) {
    for (const char* heading : {"Single Player Replays", "---------------------", "", "Multi Player Replays"}) {
        EXPECT_FALSE(HasReplayExtension(heading)) << heading;
    }
    EXPECT_TRUE(HasReplayExtension("demo.spr"));
}

TEST(ReplayFiles, ListHoldsTheGroupsWhoseFoldersExist) {
    testing::TempFolder sim;
    const std::string folder = sim.Path().string() + "/";
    EXPECT_TRUE(ReplayListLines(folder).empty());

    testing::WriteReplayFile(sim / "data/mpr/b.mpr", 40, "AS1");
    testing::WriteReplayFile(sim / "data/mpr/a.mpr", 40, "AS1");
    EXPECT_EQ(ReplayListLines(folder),
              (std::vector<std::string>{"", "Multi Player Replays", "---------------------", "a.mpr", "b.mpr"}));

    testing::WriteReplayFile(sim / "data/spr/one.spr", 32, "BL1");
    EXPECT_EQ(ReplayListLines(folder),
              (std::vector<std::string>{"Single Player Replays", "---------------------", "one.spr", "",
                                        "Multi Player Replays", "---------------------", "a.mpr", "b.mpr"}));
}

TEST(ReplayFiles, TrackNameAtItsOffsetTrimmed) {
    testing::TempFolder sim;
    const std::string folder = sim.Path().string();
    testing::WriteReplayFile(sim / "data/spr/s.spr", 32, "  BL1 ");
    testing::WriteReplayFile(sim / "data/mpr/m.mpr", 40, "SO4R");
    testing::WriteReplayFile(sim / "data/mpr/full.mpr", 40, std::string(32, 'K'));
    testing::WriteReplayFile(sim / "data/spr/short.spr", 32, "BL1", 50);
    EXPECT_EQ(ReadReplayTrackName(folder, "s.spr", true), "BL1");
    EXPECT_EQ(ReadReplayTrackName(folder, "m.mpr", false), "SO4R");
    EXPECT_EQ(ReadReplayTrackName(folder, "full.mpr", false), std::string(32, 'K'));
    EXPECT_EQ(ReadReplayTrackName(folder, "short.spr", true), "") << "a file too short gives nothing";
    EXPECT_EQ(ReadReplayTrackName(folder, "missing.spr", true), "");
    EXPECT_EQ(ReadReplayTrackName(folder, "s.spr", false), "") << "looked for in the other folder";
}

}  // namespace
}  // namespace kinoloop
