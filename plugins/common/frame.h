/* What every sample effect does first: check the frame it was given, put a copy of it into Output (unless they
   are the same memory) and find the pixels there. The effects then change Output's pixels in place. */
#ifndef KINOLOOP_PLUGIN_FRAME_H
#define KINOLOOP_PLUGIN_FRAME_H

#include <stdint.h>
#include <string.h>

#include "kinoloop/effect_plugin.h"

typedef struct {
    int32_t width;
    int32_t height;
    int32_t stride;         /* bytes per row, a multiple of 4 */
    unsigned char* pixels;  /* the bottom row first */
} KlFrame;

static uint32_t kl_read_u32(const unsigned char* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

/* Copies Input to Output and describes Output's pixels. Returns 0 when the input is not a 24-bit uncompressed
   bottom-up bitmap that fits its Size: the effect then leaves the copy alone. */
static int kl_frame_open(const unsigned char* input, int32_t size, unsigned char* output, KlFrame* frame) {
    uint32_t offset;
    int32_t width, height;
    if (output != input) memcpy(output, input, (size_t)size);
    if (size < KINOLOOP_BMP_PIXEL_OFFSET || input[0] != 'B' || input[1] != 'M') return 0;
    offset = kl_read_u32(input + 10);
    width = (int32_t)kl_read_u32(input + 18);
    height = (int32_t)kl_read_u32(input + 22);
    if (input[28] != 24 || input[29] != 0 || kl_read_u32(input + 30) != 0) return 0;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return 0;
    frame->width = width;
    frame->height = height;
    frame->stride = ((width * 24 + 31) / 32) * 4;
    if (offset < KINOLOOP_BMP_PIXEL_OFFSET || offset > (uint32_t)size ||
        (int64_t)frame->stride * height > (int64_t)size - offset) {
        return 0;
    }
    frame->pixels = output + offset;
    return 1;
}

/* Pixel (x, y) counted from the top-left corner: blue, green, red. */
static unsigned char* kl_pixel(const KlFrame* frame, int32_t x, int32_t y) {
    return frame->pixels + (int64_t)(frame->height - 1 - y) * frame->stride + 3 * (int64_t)x;
}

static unsigned char kl_clamp(int value) {
    return (unsigned char)(value < 0 ? 0 : value > 255 ? 255 : value);
}

/* A colour typed as one number: red x 65536 + green x 256 + blue (so 16711680 is red). */
static void kl_colour(int32_t number, unsigned char bgr[3]) {
    bgr[0] = (unsigned char)(number & 0xFF);
    bgr[1] = (unsigned char)((number >> 8) & 0xFF);
    bgr[2] = (unsigned char)((number >> 16) & 0xFF);
}

#endif
