/* Sepia: the brown tint of an old photograph. */
#include "common/frame.h"

KINOLOOP_EFFECT_EXPORT const char* _GetName(void) { return "Sepia"; }
KINOLOOP_EFFECT_EXPORT const char* _GetAuthor(void) { return "Kinoloop"; }
KINOLOOP_EFFECT_EXPORT const char* _GetNotes(void) {
    return "Gives the picture the brown tint of an old photograph.\r\n"
           "Parameter 1: strength, 1 to 100 percent (0 means 100).\r\n"
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
            const int b = p[0], g = p[1], r = p[2];
            /* The usual sepia matrix, in thousandths. */
            const int sr = (393 * r + 769 * g + 189 * b) / 1000;
            const int sg = (349 * r + 686 * g + 168 * b) / 1000;
            const int sb = (272 * r + 534 * g + 131 * b) / 1000;
            p[2] = kl_clamp(r + (kl_clamp(sr) - r) * amount / 100);
            p[1] = kl_clamp(g + (kl_clamp(sg) - g) * amount / 100);
            p[0] = kl_clamp(b + (kl_clamp(sb) - b) * amount / 100);
        }
    }
}
