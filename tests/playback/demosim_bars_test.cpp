// The demo simulator's time and camera bars drawn as its window draws them (the camera bar above the time
// bar), read back from pictures of the film's kind: each bar gives its own value, whatever the other holds.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "camera_bar.h"
#include "time_bar.h"

namespace kinoloop::testing {
namespace {

// A picture of 3-byte pixels, rows bottom-up as in the render's BMP frames, with a grey scene behind the
// bars.
struct Picture {
    int width, height;
    std::vector<std::uint8_t> pixels;
    Picture(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w * h * 3), 90) {}
    void Fill(int left, int top, int w, int h, std::uint8_t level) {
        for (int y = top; y < top + h; ++y)
            for (int x = left; x < left + w; ++x)
                for (int c = 0; c < 3; ++c)
                    pixels[(static_cast<std::size_t>(height - 1 - y) * width + x) * 3 + c] = level;
    }
    void DrawBar(int top, std::uint32_t bits) {
        const int left = demosim::BarLeft(width);
        Fill(left - demosim::kBarMargin, top - demosim::kBarMargin,
             demosim::kBarWidth + 2 * demosim::kBarMargin, demosim::kBarCellSize + 2 * demosim::kBarMargin,
             0);
        for (int i = 0; i < demosim::kBarCells; ++i)
            if (demosim::BarCellWhite(bits, i)) Fill(left + i * 8, top, 8, 8, 255);
    }
};

TEST(DemoSimulatorBars, CameraIdentityIsThePositionInWholeMetresRoundedDown) {
    struct Case {
        double x, y;
        std::int16_t xMetres, yMetres;
    };
    const Case cases[] = {
        {0, 0, 0, 0},
        {3000000, -1000000, 45, -16},       // 45.78 m, -15.26 m
        {4000000, -2000000, 61, -31},       // 61.04 m, -30.52 m
        {0, -200 * 65536.0, 0, -200},       // the demo simulator's camera before any is sent
        {65535, -1, 0, -1},                 // just under a metre either way
        {32768.0 * 65536.0, 0, -32768, 0},  // past the 16 bits: wraps, as the bar holds only 16
    };
    for (const Case& c : cases) {
        const demosim::CameraReading expected{c.xMetres, c.yMetres};
        EXPECT_EQ(demosim::CameraFromIdentity(demosim::CameraIdentity(c.x, c.y)), expected)
            << c.x << ", " << c.y;
        EXPECT_EQ(demosim::ExpectedCamera(c.x, c.y), expected);
    }
}

TEST(DemoSimulatorBars, BothBarsReadBackFromAFilmPicture) {
    struct Case {
        int width, height;
        std::uint32_t time;
        double x, y;
    };
    const Case cases[] = {
        {320, 240, 1000, 3000000, -1000000},
        {320, 240, 0xFFFFFFFFu, 0, 0},  // all white data cells in the time bar, all black in the camera bar
        {512, 384, 1600, 4000000, -2000000},
        {352, 288, 0, -65536.0 * 300, 65536.0 * 1234},
    };
    for (const Case& c : cases) {
        Picture picture(c.width, c.height);
        picture.DrawBar(demosim::BarTop(c.height), c.time);
        picture.DrawBar(demosim::CameraBarTop(c.height), demosim::CameraIdentity(c.x, c.y));
        const auto time = demosim::ReadTimeBar(picture.pixels.data(), c.width, c.height,
                                               static_cast<std::size_t>(c.width) * 3, 3, true);
        ASSERT_TRUE(time) << c.width << "x" << c.height;
        EXPECT_EQ(time->hundredths, c.time) << "the time bar, not the camera bar above it";
        const auto camera = demosim::ReadCameraBar(picture.pixels.data(), c.width, c.height,
                                                   static_cast<std::size_t>(c.width) * 3, 3, true);
        ASSERT_TRUE(camera);
        EXPECT_EQ(*camera, demosim::ExpectedCamera(c.x, c.y));
    }
}

TEST(DemoSimulatorBars, NoCameraReadingWithoutBothBars) {
    Picture onlyTime(320, 240);
    onlyTime.DrawBar(demosim::BarTop(240), 1234);
    EXPECT_FALSE(demosim::ReadCameraBar(onlyTime.pixels.data(), 320, 240, 320 * 3, 3, true))
        << "grey where the camera bar belongs";
    Picture blank(320, 240);
    EXPECT_FALSE(demosim::ReadCameraBar(blank.pixels.data(), 320, 240, 320 * 3, 3, true));
}

}  // namespace
}  // namespace kinoloop::testing
