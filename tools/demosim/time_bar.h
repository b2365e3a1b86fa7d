#pragma once
// The demo simulator's machine-readable time bar: the replay time in hundredths of a second, drawn into every
// frame of its window so that a captured frame tells which replay time it shows. Header-only and free of Qt so
// that the programs that decode captured frames can include it. The layout is described in README.md.
#include <cstddef>
#include <cstdint>
#include <optional>

namespace demosim {

inline constexpr int kBarCellSize = 8;    // pixels, square cells
inline constexpr int kBarCells = 36;      // white, black, 32 data bits (most significant first), black, white
inline constexpr int kBarDataBits = 32;
inline constexpr int kBarMargin = 4;      // black pixels around the bar
inline constexpr int kBarWidth = kBarCells * kBarCellSize;

// Top-left corner of the bar in a window of the given size: centred horizontally, its top at 3/4 of the height.
inline int BarLeft(int windowWidth) { return windowWidth / 2 - kBarWidth / 2; }
inline int BarTop(int windowHeight) { return windowHeight * 3 / 4; }

// Cell i is white (true) or black (false) for the given time.
inline bool BarCellWhite(std::uint32_t hundredths, int cell) {
    if (cell == 0 || cell == kBarCells - 1) return true;
    if (cell == 1 || cell == kBarCells - 2) return false;
    const int bit = kBarDataBits - 1 - (cell - 2);
    return ((hundredths >> bit) & 1u) != 0;
}

struct BarReading {
    std::uint32_t hundredths = 0;
    int left = 0;  // where the bar was found in the picture
    int top = 0;
};

// Reads the 36 cells of a bar whose top-left corner is at (left, top) in a picture of 8-bit channels (any
// channel order; the first three channels of each pixel are looked at). `stride` is the byte distance between
// rows; `pixelBytes` 3 or 4. Rows may run top-down (bottomUp false) or bottom-up as in BMP files. Returns the 32
// data bits, or nothing when a cell is neither white nor black or the guard cells are wrong.
inline std::optional<std::uint32_t> ReadBarAt(const std::uint8_t* pixels, int width, int height, std::size_t stride,
                                              int pixelBytes, bool bottomUp, int left, int top);

namespace detail {

// 1 white, 0 black, -1 neither or outside the picture.
inline int Level(const std::uint8_t* pixels, int width, int height, std::size_t stride, int pixelBytes, bool bottomUp,
                 int x, int y) {
    if (x < 0 || y < 0 || x >= width || y >= height) return -1;
    const int row = bottomUp ? height - 1 - y : y;
    const std::uint8_t* p = pixels + static_cast<std::size_t>(row) * stride + static_cast<std::size_t>(x) * pixelBytes;
    if (p[0] > 200 && p[1] > 200 && p[2] > 200) return 1;
    if (p[0] < 55 && p[1] < 55 && p[2] < 55) return 0;
    return -1;
}

// A cell is read at three points (two corners inside it and its centre), which must agree.
inline int Cell(const std::uint8_t* pixels, int width, int height, std::size_t stride, int pixelBytes, bool bottomUp,
                int left, int top, int i) {
    const int cx = left + i * kBarCellSize;
    const int a = Level(pixels, width, height, stride, pixelBytes, bottomUp, cx + 1, top + 1);
    const int b = Level(pixels, width, height, stride, pixelBytes, bottomUp, cx + kBarCellSize - 2,
                        top + kBarCellSize - 2);
    const int c = Level(pixels, width, height, stride, pixelBytes, bottomUp, cx + kBarCellSize / 2,
                        top + kBarCellSize / 2);
    return (a == b && b == c) ? a : -1;
}

}  // namespace detail

inline std::optional<std::uint32_t> ReadBarAt(const std::uint8_t* pixels, int width, int height, std::size_t stride,
                                              int pixelBytes, bool bottomUp, int left, int top) {
    auto cell = [&](int i) { return detail::Cell(pixels, width, height, stride, pixelBytes, bottomUp, left, top, i); };
    if (cell(0) != 1 || cell(1) != 0 || cell(kBarCells - 2) != 0 || cell(kBarCells - 1) != 1) return std::nullopt;
    std::uint32_t value = 0;
    for (int i = 2; i < kBarCells - 2; ++i) {
        const int v = cell(i);
        if (v < 0) return std::nullopt;
        value = (value << 1) | static_cast<std::uint32_t>(v);
    }
    return value;
}

// Finds and reads the time bar in a picture (arguments as for ReadBarAt). It is the lowest bar in the picture:
// the scan runs from the bottom up. Returns nothing when no bar is seen.
inline std::optional<BarReading> ReadTimeBar(const std::uint8_t* pixels, int width, int height, std::size_t stride,
                                             int pixelBytes, bool bottomUp = false) {
    auto level = [&](int x, int y) {
        return detail::Level(pixels, width, height, stride, pixelBytes, bottomUp, x, y);
    };
    for (int top = height - kBarCellSize; top >= 0; --top) {
        for (int left = 0; left + kBarWidth <= width; ++left) {
            // The margin must be black on both ends, so that a white edge left of the bar is not taken for it.
            if (level(left - 2, top + kBarCellSize / 2) == 1 || level(left + kBarWidth + 1, top + kBarCellSize / 2) == 1)
                continue;
            if (level(left, top - 2) == 1 || level(left, top + kBarCellSize + 1) == 1) continue;
            if (const std::optional<std::uint32_t> value =
                    ReadBarAt(pixels, width, height, stride, pixelBytes, bottomUp, left, top)) {
                return BarReading{*value, left, top};
            }
        }
    }
    return std::nullopt;
}

}  // namespace demosim
