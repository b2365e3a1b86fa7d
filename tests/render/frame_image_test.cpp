#include "render/frame_image.h"

#include <gtest/gtest.h>

#include "render_test_support.h"
#include "temp_folder.h"

namespace kinoloop {
namespace {

using testing::PatternFrame;

TEST(FrameImage, FileSizesOfTheFourVideoFormats) {
    struct Case {
        const char* format;
        int width, height;
        std::size_t bytes;
    };
    for (const Case& c : {Case{"STD", 320, 240, 230454}, Case{"PAL", 352, 288, 304182},
                          Case{"NTSC", 352, 240, 253494}, Case{"LRG", 512, 384, 589878}}) {
        EXPECT_EQ(BmpFileSize(c.width, c.height), c.bytes) << c.format;
        EXPECT_EQ(EncodeBmp(FrameImage::Blank(c.width, c.height)).size(), c.bytes) << c.format;
    }
}

TEST(FrameImage, HeadersAreLaidOutAsABitmapWritesThem) {
    // 3 x 2 pixels: rows of 9 bytes padded to 12.
    const std::vector<std::uint8_t> bytes = EncodeBmp(PatternFrame(3, 2, 1));
    const std::vector<std::uint8_t> expected = {
        'B', 'M', 78, 0, 0,  0,                    // file size 54 + 24
        0,   0,   0,  0,                           // reserved
        54,  0,   0,  0,                           // pixel offset
        40,  0,   0,  0, 3,  0, 0, 0, 2, 0, 0, 0,  // header size, width, height (positive: bottom-up)
        1,   0,   24, 0,                           // planes, bits per pixel
        0,   0,   0,  0, 24, 0, 0, 0,              // no compression, image size
        0,   0,   0,  0, 0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(bytes.size(), 78u);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 54), expected);
    // The first stored row is the bottom row of the picture; padding bytes are zero.
    const FrameImage image = PatternFrame(3, 2, 1);
    EXPECT_EQ(bytes[54], image.PixelAt(0, 1)[0]);
    EXPECT_EQ(bytes[54 + 12], image.PixelAt(0, 0)[0]);
    EXPECT_EQ(bytes[54 + 9], 0);
    EXPECT_EQ(bytes[54 + 11], 0);
}

TEST(FrameImage, EncodedPicturesDecodeUnchanged) {
    for (int width : {1, 2, 3, 4, 5, 158, 320}) {
        const FrameImage image = PatternFrame(width, 7, width);
        auto decoded = DecodeBmp(EncodeBmp(image));
        ASSERT_TRUE(decoded) << decoded.error();
        EXPECT_EQ(decoded.value(), image) << "width " << width;
    }
}

// A bitmap written by another program: top-down rows or 32 bits per pixel read as the same picture.
std::vector<std::uint8_t> ForeignBmp(const FrameImage& image, int bits, bool topDown) {
    std::vector<std::uint8_t> bytes = EncodeBmp(FrameImage::Blank(1, 1));
    bytes.resize(54);
    const int stride = (image.width * bits + 31) / 32 * 4;
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(18, static_cast<std::uint32_t>(image.width));
    put32(22, static_cast<std::uint32_t>(topDown ? -image.height : image.height));
    bytes[28] = static_cast<std::uint8_t>(bits);
    for (int row = 0; row < image.height; ++row) {
        const int y = topDown ? row : image.height - 1 - row;
        std::vector<std::uint8_t> line(static_cast<std::size_t>(stride), 0);
        for (int x = 0; x < image.width; ++x) {
            for (int c = 0; c < 3; ++c)
                line[static_cast<std::size_t>(x * bits / 8 + c)] = image.PixelAt(x, y)[c];
        }
        bytes.insert(bytes.end(), line.begin(), line.end());
    }
    put32(2, static_cast<std::uint32_t>(bytes.size()));
    return bytes;
}

TEST(FrameImage, ReadsTopDownAnd32BitBitmaps) {
    const FrameImage image = PatternFrame(5, 4, 3);
    for (auto [bits, topDown] : {std::pair{24, true}, std::pair{32, false}, std::pair{32, true}}) {
        auto decoded = DecodeBmp(ForeignBmp(image, bits, topDown));
        ASSERT_TRUE(decoded) << decoded.error();
        EXPECT_EQ(decoded.value(), image) << bits << " bits, top-down " << topDown;
    }
    auto view = ViewBmp24(ForeignBmp(image, 24, true));
    ASSERT_TRUE(view);
    EXPECT_TRUE(view.value().topDown);
    EXPECT_EQ(view.value().height, 4);
}

TEST(FrameImage, RejectsWhatIsNotAnUncompressedBitmap) {
    const std::vector<std::uint8_t> good = EncodeBmp(PatternFrame(4, 3, 0));
    struct Case {
        const char* what;
        std::size_t offset;
        std::uint8_t value;
        std::size_t keep;  // bytes kept, 0: all
    };
    for (const Case& c :
         {Case{"type", 0, 'X', 0}, Case{"header size", 14, 12, 0}, Case{"zero width", 18, 0, 0},
          Case{"8 bits", 28, 8, 0}, Case{"compressed", 30, 1, 0}, Case{"two planes", 26, 2, 0},
          Case{"pixel offset past the end", 11, 0xFF, 0}, Case{"rows cut short", 0, 'B', 60},
          Case{"header cut short", 0, 'B', 20}}) {
        std::vector<std::uint8_t> bytes = good;
        bytes[c.offset] = c.value;
        if (c.keep != 0) bytes.resize(c.keep);
        EXPECT_FALSE(DecodeBmp(bytes)) << c.what;
        EXPECT_FALSE(ViewBmp24(bytes)) << c.what;
    }
    std::vector<std::uint8_t> huge = good;
    huge[21] = 0x7F;  // a width of two thousand million
    auto refused = DecodeBmp(huge);
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().find("not a picture size"), std::string::npos);
}

TEST(FrameImage, FilesRoundTripAndMissingFilesSaySo) {
    testing::TempFolder folder;
    const FrameImage image = PatternFrame(9, 5, 2);
    ASSERT_TRUE(WriteBmpFile(folder / "a.bmp", image));
    auto read = ReadBmpFile(folder / "a.bmp");
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(read.value(), image);
    auto missing = ReadBmpFile(folder / "none.bmp");
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().find("none.bmp"), std::string::npos);
}

}  // namespace
}  // namespace kinoloop
