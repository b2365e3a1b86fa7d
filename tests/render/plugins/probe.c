/* A test effect that reports what it was given in the first pixels of the top row of its result:
   pixel 0: the low bytes of Param1, Param2, Param3; pixel 1: Param4's low byte, the text's length, its first
   character; pixel 2: 1 when the four bytes before Input hold Size, 1 when Input and Output are one buffer. */
#include <string.h>

#include "common/frame.h"

KINOLOOP_EFFECT_EXPORT const char* _GetName(void) { return "Probe"; }
KINOLOOP_EFFECT_EXPORT const char* _GetAuthor(void) { return "Kinoloop tests"; }
KINOLOOP_EFFECT_EXPORT const char* _GetNotes(void) {
    return "0123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789"
           "0123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789"
           "0123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789";
}

KINOLOOP_EFFECT_EXPORT void _DoEffect(const unsigned char* Input, int32_t Size, int32_t Param1, int32_t Param2,
                                      int32_t Param3, int32_t Param4, const char* Text, unsigned char* Output) {
    KlFrame f;
    const int same = Input == Output;
    const int prefixed = (int32_t)kl_read_u32(Input - 4) == Size;
    unsigned char* p;
    if (!kl_frame_open(Input, Size, Output, &f)) return;
    p = kl_pixel(&f, 0, 0);
    p[0] = (unsigned char)Param1, p[1] = (unsigned char)Param2, p[2] = (unsigned char)Param3;
    p = kl_pixel(&f, 1, 0);
    p[0] = (unsigned char)Param4, p[1] = (unsigned char)strlen(Text), p[2] = (unsigned char)Text[0];
    p = kl_pixel(&f, 2, 0);
    p[0] = (unsigned char)prefixed, p[1] = (unsigned char)same, p[2] = 0;
}
