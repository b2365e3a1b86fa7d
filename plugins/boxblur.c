/* Box blur: every pixel becomes the average of the square around it. Repeated passes approach a Gaussian blur. */
#include <stdlib.h>

#include "common/frame.h"

KINOLOOP_EFFECT_EXPORT const char* _GetName(void) { return "Box Blur"; }
KINOLOOP_EFFECT_EXPORT const char* _GetAuthor(void) { return "Kinoloop"; }
KINOLOOP_EFFECT_EXPORT const char* _GetNotes(void) {
    return "Softens the picture.\r\n"
           "Parameter 1: radius in pixels, 1 to 50 (0 means 2).\r\n"
           "Parameter 2: passes, 1 to 3; three passes look like a soft lens blur (0 means 1).\r\n"
           "Parameters 3 and 4 and the text are not used.";
}

/* One pass along lines of `count` pixels `step` bytes apart; `line` holds a copy of the line being averaged,
   since Input and Output may be one buffer and the pass writes where it reads. */
static void blur_line(unsigned char* first, int32_t count, int32_t step, int32_t radius, unsigned char* line) {
    int32_t i, c;
    for (i = 0; i < count; ++i) memcpy(line + 3 * i, first + (int64_t)i * step, 3);
    for (c = 0; c < 3; ++c) {
        /* A running sum over the window, the edge pixels repeated past the ends. */
        int32_t sum = 0, k;
        const int32_t width = 2 * radius + 1;
        for (k = -radius; k <= radius; ++k) sum += line[3 * (k < 0 ? 0 : k >= count ? count - 1 : k) + c];
        for (i = 0; i < count; ++i) {
            const int32_t out = i - radius, in = i + radius + 1;
            first[(int64_t)i * step + c] = (unsigned char)((sum + width / 2) / width);
            sum += line[3 * (in >= count ? count - 1 : in) + c] - line[3 * (out < 0 ? 0 : out) + c];
        }
    }
}

KINOLOOP_EFFECT_EXPORT void _DoEffect(const unsigned char* Input, int32_t Size, int32_t Param1, int32_t Param2,
                                      int32_t Param3, int32_t Param4, const char* Text, unsigned char* Output) {
    KlFrame f;
    int32_t x, y, pass;
    unsigned char* line;
    const int32_t radius = Param1 <= 0 ? 2 : Param1 > 50 ? 50 : Param1;
    const int32_t passes = Param2 <= 0 ? 1 : Param2 > 3 ? 3 : Param2;
    if (!kl_frame_open(Input, Size, Output, &f)) return;
    line = (unsigned char*)malloc(3 * (size_t)(f.width > f.height ? f.width : f.height));
    if (line == NULL) return;  /* the picture stays unblurred rather than broken */
    for (pass = 0; pass < passes; ++pass) {
        for (y = 0; y < f.height; ++y) blur_line(f.pixels + (int64_t)y * f.stride, f.width, 3, radius, line);
        for (x = 0; x < f.width; ++x) blur_line(f.pixels + 3 * (int64_t)x, f.height, f.stride, radius, line);
    }
    free(line);
}
