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

// Finds and reads the bar in a picture of 8-bit channels (any channel order; the first three channels of each
// pixel are looked at). `stride` is the byte distance between rows; `pixelBytes` 3 or 4. Rows may run top-down
// (bottomUp false) or bottom-up as in BMP files. Returns nothing when no bar is seen.
inline std::optional<BarReading> ReadTimeBar(const std::uint8_t* pixels, int width, int height, std::size_t stride,
                                             int pixelBytes, bool bottomUp = false) {
    auto level = [&](int x, int y) -> int {  // 1 white, 0 black, -1 neither
        if (x < 0 || y < 0 || x >= width || y >= height) return -1;
        const int row = bottomUp ? height - 1 - y : y;
        const std::uint8_t* p = pixels + static_cast<std::size_t>(row) * stride + static_cast<std::size_t>(x) * pixelBytes;
        if (p[0] > 200 && p[1] > 200 && p[2] > 200) return 1;
        if (p[0] < 55 && p[1] < 55 && p[2] < 55) return 0;
        return -1;
    };
    auto cell = [&](int left, int top, int i) -> int {
        const int cx = left + i * kBarCellSize;
        const int a = level(cx + 1, top + 1), b = level(cx + kBarCellSize - 2, top + kBarCellSize - 2),
                  c = level(cx + kBarCellSize / 2, top + kBarCellSize / 2);
        return (a == b && b == c) ? a : -1;
    };
    for (int top = height - kBarCellSize; top >= 0; --top) {
        for (int left = 0; left + kBarWidth <= width; ++left) {
            if (cell(left, top, 0) != 1 || cell(left, top, 1) != 0) continue;
            if (cell(left, top, kBarCells - 2) != 0 || cell(left, top, kBarCells - 1) != 1) continue;
            // The margin must be black on both ends, so that a white edge left of the bar is not taken for it.
            if (level(left - 2, top + kBarCellSize / 2) == 1 || level(left + kBarWidth + 1, top + kBarCellSize / 2) == 1)
                continue;
            if (level(left, top - 2) == 1 || level(left, top + kBarCellSize + 1) == 1) continue;
            std::uint32_t value = 0;
            bool ok = true;
            for (int i = 2; i < kBarCells - 2 && ok; ++i) {
                const int v = cell(left, top, i);
                if (v < 0) ok = false;
                value = (value << 1) | static_cast<std::uint32_t>(v);
            }
            if (ok) return BarReading{value, left, top};
        }
    }
    return std::nullopt;
}

}  // namespace demosim
