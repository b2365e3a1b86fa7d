/* Text caption: the effect node's text drawn on the picture with a built-in pixel font. */
#include "caption/font5x7.h"
#include "common/frame.h"

KINOLOOP_EFFECT_EXPORT const char* _GetName(void) { return "Text Caption"; }
KINOLOOP_EFFECT_EXPORT const char* _GetAuthor(void) { return "Kinoloop"; }
KINOLOOP_EFFECT_EXPORT const char* _GetNotes(void) {
    return "Writes the effect's text on the picture, with a thin shadow so that it reads on any background.\r\n"
           "Parameter 1: where: 0 bottom centre, 1 bottom left, 2 bottom right, 3 top centre, 4 top left, "
           "5 top right, 6 middle.\r\n"
           "Parameter 2: size: each font pixel becomes a square of this many pixels, 1 to 16 (0 means 2).\r\n"
           "Parameter 3: colour as red x 65536 + green x 256 + blue (0 means white; type 1 for black).\r\n"
           "Parameter 4: distance from the picture's edges in pixels (0 means 8).";
}

static const char* glyph_of(char c) {
    const unsigned char u = (unsigned char)c;
    return kl_font5x7[(u < KL_FONT_FIRST || u > KL_FONT_LAST ? '?' : u) - KL_FONT_FIRST];
}

static void fill_square(const KlFrame* f, int32_t left, int32_t top, int32_t side, const unsigned char bgr[3]) {
    int32_t x, y;
    for (y = top; y < top + side; ++y) {
        if (y < 0 || y >= f->height) continue;
        for (x = left; x < left + side; ++x) {
            if (x >= 0 && x < f->width) memcpy(kl_pixel(f, x, y), bgr, 3);
        }
    }
}

static void draw_text(const KlFrame* f, const char* text, int32_t left, int32_t top, int32_t scale,
                      const unsigned char bgr[3]) {
    int32_t i, row, col;
    for (i = 0; text[i] != '\0'; ++i) {
        const char* glyph = glyph_of(text[i]);
        const int32_t x0 = left + i * (KL_FONT_WIDTH + 1) * scale;
        for (row = 0; row < KL_FONT_HEIGHT; ++row) {
            for (col = 0; col < KL_FONT_WIDTH; ++col) {
                if (glyph[row * KL_FONT_WIDTH + col] == '#') {
                    fill_square(f, x0 + col * scale, top + row * scale, scale, bgr);
                }
            }
        }
    }
}

KINOLOOP_EFFECT_EXPORT void _DoEffect(const unsigned char* Input, int32_t Size, int32_t Param1, int32_t Param2,
                                      int32_t Param3, int32_t Param4, const char* Text, unsigned char* Output) {
    static const unsigned char shadow[3] = {16, 16, 16};
    KlFrame f;
    unsigned char colour[3];
    int32_t length = 0, width, height, left, top, shadowOffset;
    const int32_t scale = Param2 <= 0 ? 2 : Param2 > 16 ? 16 : Param2;
    const int32_t margin = Param4 <= 0 ? 8 : Param4;
    if (!kl_frame_open(Input, Size, Output, &f) || Text == NULL || Text[0] == '\0') return;
    while (Text[length] != '\0' && length < 255) ++length;
    if (Param3 <= 0) {
        colour[0] = colour[1] = colour[2] = 255;
    } else {
        kl_colour(Param3, colour);
    }
    width = (length * (KL_FONT_WIDTH + 1) - 1) * scale;
    height = KL_FONT_HEIGHT * scale;
    switch (Param1) {
        case 1: left = margin; top = f.height - margin - height; break;
        case 2: left = f.width - margin - width; top = f.height - margin - height; break;
        case 3: left = (f.width - width) / 2; top = margin; break;
        case 4: left = margin; top = margin; break;
        case 5: left = f.width - margin - width; top = margin; break;
        case 6: left = (f.width - width) / 2; top = (f.height - height) / 2; break;
        default: left = (f.width - width) / 2; top = f.height - margin - height; break;
    }
    shadowOffset = scale > 1 ? scale / 2 : 1;
    draw_text(&f, Text, left + shadowOffset, top + shadowOffset, scale, shadow);
    draw_text(&f, Text, left, top, scale, colour);
}
