#include "render/watermark.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "render_test_support.h"

namespace kinoloop {
namespace {

using testing::PatternFrame;

// A 112 x 34 mark: magenta but for an opaque border and one opaque pixel in the middle.
FrameImage TestMark() {
    FrameImage mark = FrameImage::Blank(112, 34);
    for (int y = 0; y < 34; ++y) {
        for (int x = 0; x < 112; ++x) {
            const bool opaque = x == 0 || y == 0 || x == 111 || y == 33 || (x == 56 && y == 17);
            std::uint8_t* p = mark.PixelAt(x, y);
            p[0] = opaque ? 10 : 255, p[1] = opaque ? 20 : 0, p[2] = opaque ? 30 : 255;
        }
    }
    return mark;
}

TEST(Watermark, SitsTenPixelsFromTheRightAndBottomEdgesWithMagentaTransparent) {
    const FrameImage before = PatternFrame(320, 240, 4);
    FrameImage frame = before;
    StampWatermark(frame, TestMark());
    // The mark covers x 198..309 and y 196..229.
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            const bool inside = x >= 198 && x <= 309 && y >= 196 && y <= 229;
            const bool opaque =
                inside && (x == 198 || x == 309 || y == 196 || y == 229 || (x == 198 + 56 && y == 196 + 17));
            const std::uint8_t* p = frame.PixelAt(x, y);
            const std::uint8_t* q = before.PixelAt(x, y);
            if (opaque) {
                ASSERT_TRUE(p[0] == 10 && p[1] == 20 && p[2] == 30) << x << "," << y;
            } else {
                ASSERT_TRUE(p[0] == q[0] && p[1] == q[1] && p[2] == q[2]) << x << "," << y;
            }
        }
    }
}

TEST(Watermark, AFrameSmallerThanTheMarkGetsThePartThatFits) {
    FrameImage frame = PatternFrame(60, 20, 1);
    StampWatermark(frame, TestMark());  // the mark's right and bottom edges at 49 and 9
    EXPECT_EQ(frame.PixelAt(49, 9)[0], 10);
    EXPECT_EQ(frame.PixelAt(49, 0)[0], 10);  // the right border, its top cut off
    EXPECT_EQ(frame.PixelAt(0, 9)[0], 10);   // the bottom border, its left cut off
    EXPECT_EQ(frame.PixelAt(50, 9)[0], PatternFrame(60, 20, 1).PixelAt(50, 9)[0]);
}

TEST(Watermark, TheShippedMarkIs112By34WithTransparentCorners) {
    auto mark = ReadBmpFile(testing::SourceDir() / "assets" / "Img" / kWatermarkFileName);
    ASSERT_TRUE(mark) << mark.error();
    EXPECT_EQ(mark.value().width, 112);
    EXPECT_EQ(mark.value().height, 34);
    const std::uint8_t* corner = mark.value().PixelAt(0, 0);
    EXPECT_TRUE(corner[0] == 255 && corner[1] == 0 && corner[2] == 255);
    int opaque = 0;
    for (std::size_t i = 0; i < mark.value().pixels.size(); i += 3) {
        opaque += !(mark.value().pixels[i] == 255 && mark.value().pixels[i + 1] == 0 &&
                    mark.value().pixels[i + 2] == 255);
    }
    EXPECT_GT(opaque, 500) << "the lettering is there";
}

}  // namespace
}  // namespace kinoloop
