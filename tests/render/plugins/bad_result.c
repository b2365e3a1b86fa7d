/* A test effect whose result is unusable: Param1 0 writes zeros (not a bitmap), 1 a bitmap one pixel narrower
   (another size), 2 a 32-bit header (another depth). */
#include <string.h>

#include "common/frame.h"

KINOLOOP_EFFECT_EXPORT const char* _GetName(void) { return "Bad Result"; }
KINOLOOP_EFFECT_EXPORT const char* _GetAuthor(void) { return "Kinoloop tests"; }
KINOLOOP_EFFECT_EXPORT const char* _GetNotes(void) { return "Returns what no frame may be."; }

KINOLOOP_EFFECT_EXPORT void _DoEffect(const unsigned char* Input, int32_t Size, int32_t Param1, int32_t Param2,
                                      int32_t Param3, int32_t Param4, const char* Text, unsigned char* Output) {
    KlFrame f;
    if (!kl_frame_open(Input, Size, Output, &f)) return;
    if (Param1 == 0) {
        memset(Output, 0, (size_t)Size);
    } else if (Param1 == 1) {
        const uint32_t narrower = (uint32_t)f.width - 1;
        Output[18] = (unsigned char)narrower, Output[19] = (unsigned char)(narrower >> 8);
    } else {
        Output[28] = 32;
    }
}
