/* Cinema bars: bars across the top and bottom that give the picture a wide-screen shape. */
#include "common/frame.h"

KINOLOOP_EFFECT_EXPORT const char* _GetName(void) { return "Cinema Bars"; }
KINOLOOP_EFFECT_EXPORT const char* _GetAuthor(void) { return "Kinoloop"; }
KINOLOOP_EFFECT_EXPORT const char* _GetNotes(void) {
    return "Draws bars across the top and bottom of the picture, as in a wide-screen film.\r\n"
           "Parameter 1: the shape of the picture left between the bars, width to height times 100: 235 for "
           "2.35:1, 185 for 1.85:1 (0 means 235).\r\n"
           "Parameter 2: the height of each bar in pixels instead (0: use parameter 1).\r\n"
           "Parameter 3: the bars' colour as red x 65536 + green x 256 + blue (0 is black).\r\n"
           "Parameter 4 and the text are not used.";
}

KINOLOOP_EFFECT_EXPORT void _DoEffect(const unsigned char* Input, int32_t Size, int32_t Param1, int32_t Param2,
                                      int32_t Param3, int32_t Param4, const char* Text, unsigned char* Output) {
    KlFrame f;
    int32_t x, y, bar;
    unsigned char colour[3];
    if (!kl_frame_open(Input, Size, Output, &f)) return;
    if (Param2 > 0) {
        bar = Param2;
    } else {
        const int32_t shape = Param1 > 0 ? Param1 : 235;
        const int64_t visible = (int64_t)f.width * 100 / shape;
        bar = visible >= f.height ? 0 : (int32_t)((f.height - visible) / 2);
    }
    if (bar > f.height / 2) bar = f.height / 2;
    kl_colour(Param3, colour);
    for (y = 0; y < bar; ++y) {
        for (x = 0; x < f.width; ++x) {
            memcpy(kl_pixel(&f, x, y), colour, 3);
            memcpy(kl_pixel(&f, x, f.height - 1 - y), colour, 3);
        }
    }
}
