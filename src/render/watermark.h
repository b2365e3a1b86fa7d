#pragma once
// The watermark stamped on rendered frames when the `watermark` setting is 1.
#include <filesystem>

#include "render/frame_image.h"

namespace kinoloop {

inline constexpr const char* kWatermarkFileName = "watermark.bmp";  // in Img
inline constexpr int kWatermarkMargin = 10;                         // from the frame's right and bottom edges

// Draws the mark at its own size so that its right edge is kWatermarkMargin pixels from the frame's right
// edge and its bottom edge kWatermarkMargin pixels from the bottom edge; its magenta pixels (255, 0, 255) are
// transparent. The part that falls outside a small frame is left out.
void StampWatermark(FrameImage& frame, const FrameImage& mark);

}  // namespace kinoloop
