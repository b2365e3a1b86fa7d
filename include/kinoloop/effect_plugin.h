/*
 * Kinoloop effect plug-in interface, version 1.
 *
 * An effect is a shared library (a ".so" file) in the folder Eff/ beside the Kinoloop program. Kinoloop lists
 * every library there by the name it reports, and during a film's assembly runs the effect on each frame of the
 * timeline columns that hold an effect node naming it. This header is all a plug-in author needs.
 *
 * THE FOUR EXPORTS (C linkage, default visibility, exactly these names):
 *
 *   const char* _GetName(void);    the effect's name as users see it in the effect list
 *   const char* _GetAuthor(void);  who made it
 *   const char* _GetNotes(void);   notes for the user, line breaks allowed: say what each parameter does
 *   void _DoEffect(const unsigned char* Input, int32_t Size, int32_t Param1, int32_t Param2, int32_t Param3,
 *                  int32_t Param4, const char* Text, unsigned char* Output);
 *
 *   The three text functions return zero-terminated 8-bit strings that must stay valid until the library is
 *   unloaded (a string literal is right). Kinoloop copies at most 255 characters of each.
 *
 * THE FRAME (Input and Output): the bytes of a complete 24-bit BMP file,
 *   offset  0: "BM", the file size (32-bit), 4 reserved bytes, the offset of the pixels (54)
 *   offset 14: the 40-byte information header: 40, width, height (positive: rows stored bottom-up), 1 plane,
 *              24 bits per pixel, no compression, image size, then zeros
 *   offset 54: the pixel rows, the bottom row first; blue, green, red per pixel; each row padded with zeros to a
 *              multiple of 4 bytes. All integers little-endian.
 *
 * THE RULES OF _DoEffect:
 *   - Input holds Size bytes. The four bytes just before Input also hold Size, as a 32-bit little-endian integer
 *     (so a plug-in written for length-prefixed arrays finds the length where it expects it).
 *   - Output has room for exactly Size bytes. Write the resulting BMP file image there: the same width, height
 *     and depth as Input, headers included. Never write past Size bytes; never free or keep either pointer.
 *   - Input and Output may be the same memory: when a frame has several effects, the second one receives the
 *     first one's result in place. An effect that reads pixels it has already written (a blur) must first copy
 *     what it needs.
 *   - Param1 to Param4 and Text are the effect node's four parameters (whole numbers the user typed, 0 when the
 *     node's parameters are not whole numbers) and its text (at most 255 characters, never NULL).
 *   - The call is synchronous and may be made for thousands of frames; the library is loaded before the call and
 *     unloaded after it, so keep no state between calls.
 *   - A result that is not a 24-bit bitmap of the input's size is rejected: that frame is written as captured and
 *     the user is told the frame's number.
 *
 * BUILD:
 *   cc -std=c99 -O2 -shared -fPIC -I<kinoloop>/include -o Eff/myeffect.so myeffect.c
 *
 * EXAMPLE (inverts the colours):
 *
 *   #include <string.h>
 *   #include <kinoloop/effect_plugin.h>
 *
 *   KINOLOOP_EFFECT_EXPORT const char* _GetName(void) { return "Negative"; }
 *   KINOLOOP_EFFECT_EXPORT const char* _GetAuthor(void) { return "A. Author"; }
 *   KINOLOOP_EFFECT_EXPORT const char* _GetNotes(void) { return "Inverts every colour. No parameters."; }
 *   KINOLOOP_EFFECT_EXPORT void _DoEffect(const unsigned char* Input, int32_t Size, int32_t Param1,
 *                                         int32_t Param2, int32_t Param3, int32_t Param4, const char* Text,
 *                                         unsigned char* Output) {
 *       int32_t i;
 *       if (Output != Input) memcpy(Output, Input, (size_t)Size);
 *       for (i = KINOLOOP_BMP_PIXEL_OFFSET; i < Size; ++i) Output[i] = (unsigned char)(255 - Output[i]);
 *   }
 *
 *   (Inverting the row padding too is harmless: Kinoloop ignores it.)
 */
#ifndef KINOLOOP_EFFECT_PLUGIN_H
#define KINOLOOP_EFFECT_PLUGIN_H

#include <stdint.h>

#define KINOLOOP_EFFECT_API_VERSION 1

/* Offset of the pixel rows in a frame that Kinoloop passes. */
#define KINOLOOP_BMP_PIXEL_OFFSET 54

#if defined(__GNUC__)
#define KINOLOOP_EFFECT_VISIBLE __attribute__((visibility("default")))
#else
#define KINOLOOP_EFFECT_VISIBLE
#endif

#ifdef __cplusplus
#define KINOLOOP_EFFECT_EXPORT extern "C" KINOLOOP_EFFECT_VISIBLE
#else
#define KINOLOOP_EFFECT_EXPORT KINOLOOP_EFFECT_VISIBLE
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef const char* (*KinoloopTextFunction)(void);
typedef void (*KinoloopEffectFunction)(const unsigned char* Input, int32_t Size, int32_t Param1, int32_t Param2,
                                       int32_t Param3, int32_t Param4, const char* Text, unsigned char* Output);

#ifdef __cplusplus
}
#endif

#endif /* KINOLOOP_EFFECT_PLUGIN_H */
