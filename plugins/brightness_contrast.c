/* Brightness and contrast. Parameters can only be typed as whole numbers without a sign, so brightening and
   darkening have a parameter each. */
#include "common/frame.h"

KINOLOOP_EFFECT_EXPORT const char* _GetName(void) { return "Brightness/Contrast"; }
KINOLOOP_EFFECT_EXPORT const char* _GetAuthor(void) { return "Kinoloop"; }
KINOLOOP_EFFECT_EXPORT const char* _GetNotes(void) {
    return "Makes the picture lighter or darker and changes its contrast.\r\n"
           "Parameter 1: brighten by 0 to 255 levels.\r\n"
           "Parameter 2: darken by 0 to 255 levels.\r\n"
           "Parameter 3: contrast in percent: 100 unchanged, 50 half, 200 double (0 means 100).\r\n"
           "Parameter 4 and the text are not used.";
}

KINOLOOP_EFFECT_EXPORT void _DoEffect(const unsigned char* Input, int32_t Size, int32_t Param1, int32_t Param2,
                                      int32_t Param3, int32_t Param4, const char* Text, unsigned char* Output) {
    KlFrame f;
    int32_t x, y;
    int level;
    unsigned char table[256];
    const int shift = (Param1 < 0 ? 0 : Param1 > 255 ? 255 : Param1) - (Param2 < 0 ? 0 : Param2 > 255 ? 255 : Param2);
    const int contrast = Param3 <= 0 ? 100 : Param3 > 1000 ? 1000 : Param3;
    if (!kl_frame_open(Input, Size, Output, &f)) return;
    /* Contrast stretches around the middle grey, then the brightness shift applies. */
    for (level = 0; level < 256; ++level) table[level] = kl_clamp((level - 128) * contrast / 100 + 128 + shift);
    for (y = 0; y < f.height; ++y) {
        unsigned char* p = f.pixels + (int64_t)y * f.stride;
        for (x = 0; x < 3 * f.width; ++x) p[x] = table[p[x]];
    }
}
