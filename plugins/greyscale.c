/* Greyscale: takes the colour out of the picture. */
#include "common/frame.h"

KINOLOOP_EFFECT_EXPORT const char* _GetName(void) { return "Greyscale"; }
KINOLOOP_EFFECT_EXPORT const char* _GetAuthor(void) { return "Kinoloop"; }
KINOLOOP_EFFECT_EXPORT const char* _GetNotes(void) {
    return "Turns the picture grey.\r\n"
           "Parameter 1: how much colour is taken out, 1 to 100 percent (0 means 100: fully grey).\r\n"
           "Parameters 2 to 4 and the text are not used.";
}

KINOLOOP_EFFECT_EXPORT void _DoEffect(const unsigned char* Input, int32_t Size, int32_t Param1, int32_t Param2,
                                      int32_t Param3, int32_t Param4, const char* Text, unsigned char* Output) {
    KlFrame f;
    int32_t x, y;
    const int amount = Param1 <= 0 || Param1 > 100 ? 100 : Param1;
    if (!kl_frame_open(Input, Size, Output, &f)) return;
    for (y = 0; y < f.height; ++y) {
        unsigned char* p = f.pixels + (int64_t)y * f.stride;
        for (x = 0; x < f.width; ++x, p += 3) {
            /* Rec. 601 luma, in thousandths */
            const int grey = (114 * p[0] + 587 * p[1] + 299 * p[2] + 500) / 1000;
            p[0] = (unsigned char)(p[0] + (grey - p[0]) * amount / 100);
            p[1] = (unsigned char)(p[1] + (grey - p[1]) * amount / 100);
            p[2] = (unsigned char)(p[2] + (grey - p[2]) * amount / 100);
        }
    }
}
