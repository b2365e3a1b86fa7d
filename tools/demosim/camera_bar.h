#pragma once
// The demo simulator's camera bar: which camera a frame is drawn from, in the time bar's cell encoding, drawn
// just above the time bar. The identity is the camera's position in whole metres (x in the upper 16 bits, y
// in the lower, each as a 16-bit two's complement number, rounded down), so that a test that sent a camera
// can tell from a captured frame whether that camera is in force. Header-only and free of Qt; layout in
// README.md.
#include <cmath>
#include <cstdint>
#include <optional>

#include "time_bar.h"

namespace demosim {

// The camera bar's top lies this many pixels above the time bar's: one cell and both bars' margins.
inline constexpr int kCameraBarRise = kBarCellSize + 2 * kBarMargin;

inline int CameraBarTop(int windowHeight) {
    return BarTop(windowHeight) - kCameraBarRise;
}

inline std::int16_t WholeMetres(double mapUnits) {
    return static_cast<std::int16_t>(
        static_cast<std::uint16_t>(static_cast<std::int64_t>(std::floor(mapUnits / 65536.0)) & 0xFFFF));
}

// The bar's 32 bits for a camera at (x, y) in map units (65536 = 1 metre).
inline std::uint32_t CameraIdentity(double x, double y) {
    return (static_cast<std::uint32_t>(static_cast<std::uint16_t>(WholeMetres(x))) << 16) |
           static_cast<std::uint32_t>(static_cast<std::uint16_t>(WholeMetres(y)));
}

struct CameraReading {
    std::int16_t xMetres = 0;
    std::int16_t yMetres = 0;
    bool operator==(const CameraReading&) const = default;
};

inline CameraReading CameraFromIdentity(std::uint32_t bits) {
    return CameraReading{static_cast<std::int16_t>(static_cast<std::uint16_t>(bits >> 16)),
                         static_cast<std::int16_t>(static_cast<std::uint16_t>(bits & 0xFFFF))};
}

// What a test expects to read for a camera it sent (position in map units).
inline CameraReading ExpectedCamera(double x, double y) {
    return CameraFromIdentity(CameraIdentity(x, y));
}

// Finds the time bar (ReadTimeBar) and reads the camera bar above it. Arguments as for ReadTimeBar.
inline std::optional<CameraReading> ReadCameraBar(const std::uint8_t* pixels, int width, int height,
                                                  std::size_t stride, int pixelBytes, bool bottomUp = false) {
    const std::optional<BarReading> time = ReadTimeBar(pixels, width, height, stride, pixelBytes, bottomUp);
    if (!time) return std::nullopt;
    const std::optional<std::uint32_t> bits = ReadBarAt(pixels, width, height, stride, pixelBytes, bottomUp,
                                                        time->left, time->top - kCameraBarRise);
    if (!bits) return std::nullopt;
    return CameraFromIdentity(*bits);
}

}  // namespace demosim
