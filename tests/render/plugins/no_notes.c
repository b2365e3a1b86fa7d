/* A test library that lacks _GetNotes. */
#include "kinoloop/effect_plugin.h"

KINOLOOP_EFFECT_EXPORT const char* _GetName(void) { return "No Notes"; }
KINOLOOP_EFFECT_EXPORT const char* _GetAuthor(void) { return "Kinoloop tests"; }
KINOLOOP_EFFECT_EXPORT void _DoEffect(const unsigned char* Input, int32_t Size, int32_t Param1, int32_t Param2,
                                      int32_t Param3, int32_t Param4, const char* Text, unsigned char* Output) {}
