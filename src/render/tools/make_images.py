#!/usr/bin/env python3
"""Draws the program's two shipped pictures and writes them as 24-bit BMP files:

  assets/Img/watermark.bmp  112 x 34, stamped on rendered frames; magenta (255, 0, 255) is transparent
  assets/Img/testimage.bmp  320 x 240, the picture that "Test Effect" runs an effect on

The lettering uses the same 5 x 7 font as the text caption plug-in (plugins/caption/font5x7.h).
Run from anywhere: python3 src/render/tools/make_images.py
"""
import math
import os
import re
import struct

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..', '..'))
MAGENTA = (255, 0, 255)


def load_font():
    text = open(os.path.join(ROOT, 'plugins', 'caption', 'font5x7.h')).read()
    glyphs = {}
    rows = re.findall(r'^\s*/\*.*?\*/((?:\s*"[.#]{5}"){7}),', text, re.M)
    for index, glyph in enumerate(rows):
        glyphs[chr(32 + index)] = re.findall(r'"([.#]{5})"', glyph)
    assert len(glyphs) == 95, len(glyphs)
    return glyphs


class Picture:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [[colour] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, left, top, width, height, colour):
        for y in range(top, top + height):
            for x in range(left, left + width):
                self.put(x, y, colour)

    def text_mask(self, font, text, left, top, scale):
        """The set of pixels the text covers."""
        covered = set()
        for i, ch in enumerate(text):
            for row, bits in enumerate(font[ch]):
                for col, bit in enumerate(bits):
                    if bit == '#':
                        for dy in range(scale):
                            for dx in range(scale):
                                covered.add((left + (i * 6 + col) * scale + dx, top + row * scale + dy))
        return covered

    def save_bmp(self, path):
        stride = (self.width * 3 + 3) // 4 * 4
        body = bytearray()
        for y in range(self.height - 1, -1, -1):  # bottom-up
            row = bytearray()
            for (r, g, b) in self.pixels[y]:
                row += bytes((b, g, r))
            row += bytes(stride - len(row))
            body += row
        header = struct.pack('<2sIHHI', b'BM', 54 + len(body), 0, 0, 54)
        info = struct.pack('<IiiHHIIiiII', 40, self.width, self.height, 1, 24, 0, len(body), 0, 0, 0, 0)
        with open(path, 'wb') as out:
            out.write(header + info + body)


def text_width(text, scale):
    return (len(text) * 6 - 1) * scale


def draw_outlined(picture, font, text, left, top, scale, colours, outline):
    """Text with a one-pixel outline all round; colours gives each character's colour."""
    masks = [picture.text_mask(font, ch, left + i * 6 * scale, top, scale) for i, ch in enumerate(text)]
    every = set().union(*masks)
    for (x, y) in every:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                if (x + dx, y + dy) not in every:
                    picture.put(x + dx, y + dy, outline)
    for mask, colour in zip(masks, colours):
        for (x, y) in mask:
            picture.put(x, y, colour)


def watermark(font):
    picture = Picture(112, 34, MAGENTA)
    white, amber, outline = (245, 245, 245), (255, 170, 40), (24, 24, 24)
    small = 'made with'
    draw_outlined(picture, font, small, (112 - text_width(small, 1)) // 2, 3, 1, [white] * len(small), outline)
    name = 'Kinoloop'
    draw_outlined(picture, font, name, (112 - text_width(name, 2)) // 2, 15, 2,
                  [white] * 4 + [amber] * 4, outline)
    return picture


def test_image(font):
    width, height = 320, 240
    picture = Picture(width, height, (0, 0, 0))
    horizon = 110
    for y in range(horizon):  # sky: deep blue at the top to pale at the horizon
        t = y / horizon
        picture.rect(0, y, width, 1, (int(40 + 150 * t), int(90 + 130 * t), int(170 + 80 * t)))
    for y in range(horizon, height):  # grass, darker towards the viewer
        t = (y - horizon) / (height - horizon)
        picture.rect(0, y, width, 1, (int(70 - 30 * t), int(150 - 50 * t), int(60 - 25 * t)))
    for y in range(horizon - 40, horizon):  # hills
        for x in range(width):
            if horizon - y < 22 + 16 * math.sin(x / 37.0) + 8 * math.sin(x / 11.0):
                picture.put(x, y, (60, 120, 70))
    cx, cy = 250, 45  # sun
    for y in range(cy - 18, cy + 19):
        for x in range(cx - 18, cx + 19):
            if (x - cx) ** 2 + (y - cy) ** 2 <= 18 ** 2:
                picture.put(x, y, (255, 225, 90))
    for y in range(horizon, height - 24):  # the road in perspective, kerbs and centre dashes
        t = (y - horizon) / (height - 24 - horizon)
        half = int(6 + 120 * t)
        centre = 160
        picture.rect(centre - half, y, 2 * half, 1, (95, 95, 100))
        kerb = max(1, int(8 * t))
        stripe = (220, 40, 40) if int((y - horizon) / (3 + 10 * t)) % 2 else (240, 240, 240)
        picture.rect(centre - half - kerb, y, kerb, 1, stripe)
        picture.rect(centre + half, y, kerb, 1, stripe)
        if int((y - horizon) / (2 + 12 * t)) % 2 == 0:
            picture.rect(centre - max(1, int(3 * t)), y, max(2, int(6 * t)), 1, (250, 250, 250))
    picture.rect(176, 150, 34, 16, (200, 30, 30))  # a car
    picture.rect(182, 144, 22, 7, (160, 20, 20))
    picture.rect(186, 145, 14, 5, (120, 170, 220))
    picture.rect(174, 164, 8, 5, (20, 20, 20))
    picture.rect(204, 164, 8, 5, (20, 20, 20))
    bars = [(255, 255, 255), (255, 255, 0), (0, 255, 255), (0, 255, 0), (255, 0, 255), (255, 0, 0), (0, 0, 255),
            (0, 0, 0)]
    for i, colour in enumerate(bars):  # colour bars along the bottom
        picture.rect(i * 40, height - 24, 40, 24, colour)
    for x in range(width):  # and a grey ramp above them
        level = x * 255 // (width - 1)
        picture.rect(x, height - 30, 1, 6, (level, level, level))
    label = 'KINOLOOP TEST PICTURE'
    draw_outlined(picture, font, label, 6, 6, 1, [(255, 255, 255)] * len(label), (0, 0, 0))
    return picture


def main():
    font = load_font()
    folder = os.path.join(ROOT, 'assets', 'Img')
    watermark(font).save_bmp(os.path.join(folder, 'watermark.bmp'))
    test_image(font).save_bmp(os.path.join(folder, 'testimage.bmp'))


if __name__ == '__main__':
    main()
