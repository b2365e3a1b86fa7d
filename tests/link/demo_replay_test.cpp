// The demo simulator's replays: their file format round-trips, and a hot-moment analysis of their cars finds the
// drift, the spin and the two cars side by side that they were made to hold, and nothing else.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <tuple>

#include "hotmoments/moments.h"
#include "replay.h"
#include "time_bar.h"

namespace kinoloop {
namespace {

using Found = std::set<std::tuple<std::string, int, int>>;

Found Analyse(const demosim::Replay& replay) {
    Found found;
    for (std::uint32_t t = 0; t <= replay.LengthHundredths(); t += 4) {  // one sample per frame at 25 fps
        TMoment sample;
        sample.Frame = static_cast<int>(t / 4);
        for (std::size_t c = 0; c < replay.names.size(); ++c) {
            const demosim::CarSample s = replay.CarAt(c, t);
            sample.Cars.push_back(TPlayerPos{0, 1, replay.plids[c], s.x, s.y, s.z, s.speed, s.direction, s.heading,
                                             s.angVel});
        }
        for (const THotMoment& m : DetectMoments(sample, Thresholds{})) found.emplace(m.Action, m.Player1, m.Player2);
    }
    return found;
}

TEST(DemoReplays, HoldTheirThreeKindsOfHotMoment) {
    for (const bool multiplayer : {false, true}) {
        const demosim::Replay replay = demosim::MakeDemoReplay(multiplayer);
        EXPECT_GE(replay.names.size(), 6u);
        EXPECT_GE(replay.LengthHundredths(), 6000u);
        const Found found = Analyse(replay);
        // A spinning car also points away from its motion, so the spin shows as a drift of car 4 too.
        const Found expected = {{action::Drift, 3, -1}, {action::AngVel, 4, -1}, {action::Drift, 4, -1},
                                {action::ClosePlayers, 1, 2}};
        EXPECT_EQ(found, expected) << (multiplayer ? "multiplayer" : "single player");
    }
}

TEST(DemoReplays, FileFormatRoundTripsWithTheTrackNameWhereKinoloopReadsIt) {
    for (const bool multiplayer : {false, true}) {
        const demosim::Replay replay = demosim::MakeDemoReplay(multiplayer);
        const std::vector<std::uint8_t> bytes = demosim::EncodeReplay(replay);
        const std::size_t offset = multiplayer ? 40 : 32;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + offset)), replay.track);
        std::string why;
        const auto back = demosim::DecodeReplay(bytes, why);
        ASSERT_TRUE(back) << why;
        EXPECT_EQ(back->track, replay.track);
        EXPECT_EQ(back->names, replay.names);
        EXPECT_EQ(back->samples.size(), replay.samples.size());
        EXPECT_EQ(back->CarAt(2, 1555).heading, replay.CarAt(2, 1555).heading);

        std::vector<std::uint8_t> cut(bytes.begin(), bytes.end() - 1);
        EXPECT_FALSE(demosim::DecodeReplay(cut, why));
        EXPECT_EQ(why, "demo replay is cut short");
    }
}

TEST(DemoReplays, MotionIsSmooth) {
    const demosim::Replay replay = demosim::MakeDemoReplay(false);
    for (std::size_t c = 0; c < replay.names.size(); ++c) {
        for (std::uint32_t t = 1; t <= replay.LengthHundredths(); ++t) {
            const demosim::CarSample a = replay.CarAt(c, t - 1);
            const demosim::CarSample b = replay.CarAt(c, t);
            // At most 60 m/s: 0.6 m per hundredth.
            EXPECT_LT(std::hypot(double(b.x) - a.x, double(b.y) - a.y) / 65536.0, 0.6) << "car " << c << " at " << t;
        }
    }
}

TEST(TimeBar, DrawnBarsReadBackAnywhereInAPicture) {
    for (const std::uint32_t value : {0u, 1000u, 7000u, 0xFFFFFFFFu, 0x80000001u}) {
        const int width = 400, height = 120, left = 37, top = 71;
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height * 4), 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < 30; ++x) pixels[(y * width + x) * 4 + 1] = 255;  // something that is not the bar
        for (int i = 0; i < demosim::kBarCells; ++i) {
            if (!demosim::BarCellWhite(value, i)) continue;
            for (int y = top; y < top + demosim::kBarCellSize; ++y)
                for (int x = left + i * 8; x < left + i * 8 + 8; ++x)
                    for (int ch = 0; ch < 3; ++ch) pixels[(y * width + x) * 4 + ch] = 255;
        }
        const auto read = demosim::ReadTimeBar(pixels.data(), width, height, width * 4, 4);
        ASSERT_TRUE(read) << value;
        EXPECT_EQ(read->hundredths, value);
    }
    std::vector<std::uint8_t> black(100 * 50 * 3, 0);
    EXPECT_FALSE(demosim::ReadTimeBar(black.data(), 100, 50, 300, 3));
}

}  // namespace
}  // namespace kinoloop
