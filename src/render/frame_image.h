#pragma once
// A 24-bit picture kept in the layout of a BMP file's pixel array, and the BMP file image around it: the form
// of every captured frame, of the frames in Mov/temp.tmp, of what effect plug-ins receive and return, and of
// the AVI's video samples.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "render/result.h"

namespace kinoloop {

struct FrameImage {
    int width = 0;
    int height = 0;
    // Rows bottom-up (the last row of the picture first), blue, green, red per pixel, each row padded with
    // zeros to Stride() bytes.
    std::vector<std::uint8_t> pixels;

    static int StrideFor(int width) { return ((width * 24 + 31) / 32) * 4; }
    int Stride() const { return StrideFor(width); }
    std::size_t ImageSize() const {
        return static_cast<std::size_t>(Stride()) * static_cast<std::size_t>(height);
    }

    // A picture of the size, every pixel black (and the row padding zero).
    static FrameImage Blank(int width, int height);

    // Pixel (x, y) counted from the top-left corner, as a viewer sees it: three bytes blue, green, red.
    std::uint8_t* PixelAt(int x, int y) {
        return pixels.data() + RowOffset(y) + 3 * static_cast<std::size_t>(x);
    }
    const std::uint8_t* PixelAt(int x, int y) const {
        return pixels.data() + RowOffset(y) + 3 * static_cast<std::size_t>(x);
    }

    bool operator==(const FrameImage&) const = default;

private:
    std::size_t RowOffset(int y) const {
        return static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(Stride());
    }
};

// The BMP file image as a bitmap writes itself to a stream: 14-byte file header, 40-byte information header,
// the pixel rows.
namespace bmp {
inline constexpr std::size_t kFileHeaderSize = 14;
inline constexpr std::size_t kInfoHeaderSize = 40;
inline constexpr std::size_t kPixelOffset = kFileHeaderSize + kInfoHeaderSize;  // 54
// Offsets within the file image.
inline constexpr std::size_t kTypeOffset = 0;          // "BM"
inline constexpr std::size_t kFileSizeOffset = 2;      // 32-bit
inline constexpr std::size_t kPixelOffsetOffset = 10;  // 32-bit
inline constexpr std::size_t kInfoSizeOffset = 14;     // 32-bit, 40 or more
inline constexpr std::size_t kWidthOffset = 18;        // 32-bit signed
inline constexpr std::size_t kHeightOffset = 22;       // 32-bit signed, negative for top-down rows
inline constexpr std::size_t kPlanesOffset = 26;       // 16-bit
inline constexpr std::size_t kBitCountOffset = 28;     // 16-bit
inline constexpr std::size_t kCompressionOffset = 30;  // 32-bit, 0 = none (BI_RGB)
inline constexpr std::size_t kImageSizeOffset = 34;    // 32-bit
inline constexpr std::size_t kColoursUsedOffset = 46;  // 32-bit
// The largest picture the readers accept, so that a damaged header cannot ask for gigabytes.
inline constexpr int kMaxSide = 16384;
}  // namespace bmp

// Bytes of the BMP file image of a 24-bit picture: 230454 for 320 x 240.
std::size_t BmpFileSize(int width, int height);

// The 54 header bytes of a 24-bit bottom-up picture of the size.
void WriteBmpHeaders(int width, int height, std::span<std::uint8_t, bmp::kPixelOffset> out);

std::vector<std::uint8_t> EncodeBmp(const FrameImage& image);

// Where the pixels of a 24-bit uncompressed BMP file image lie, without copying them.
struct BmpView {
    int width = 0;
    int height = 0;        // always positive
    bool topDown = false;  // the header's height was negative: the first row stored is the top one
    std::span<const std::uint8_t> pixels;  // Stride x height bytes
};

// Checks the headers of a 24-bit uncompressed BMP file image and finds its pixels. Anything else (another
// depth, compression, a size the bytes do not hold) fails with a message saying what is wrong.
render::Result<BmpView> ViewBmp24(std::span<const std::uint8_t> bytes);

// Reads a BMP file image of 24 or 32 bits per pixel, uncompressed, either row order, into a 24-bit bottom-up
// picture.
render::Result<FrameImage> DecodeBmp(std::span<const std::uint8_t> bytes);

render::Result<FrameImage> ReadBmpFile(const std::filesystem::path& file);
render::Status WriteBmpFile(const std::filesystem::path& file, const FrameImage& image);

}  // namespace kinoloop
