#include "render/watermark.h"

#include <algorithm>

namespace kinoloop {

void StampWatermark(FrameImage& frame, const FrameImage& mark) {
    const int left = frame.width - kWatermarkMargin - mark.width;
    const int top = frame.height - kWatermarkMargin - mark.height;
    for (int y = std::max(0, -top); y < mark.height && top + y < frame.height; ++y) {
        for (int x = std::max(0, -left); x < mark.width && left + x < frame.width; ++x) {
            const std::uint8_t* in = mark.PixelAt(x, y);
            const bool transparent = in[0] == 255 && in[1] == 0 && in[2] == 255;  // blue, green, red
            if (transparent) continue;
            std::uint8_t* out = frame.PixelAt(left + x, top + y);
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
    }
}

}  // namespace kinoloop
