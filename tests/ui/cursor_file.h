#pragma once
// Cursor files written by tests, in the layout of Windows cursor files.
#include <QByteArray>
#include <QPoint>
#include <QRgb>
#include <QtEndian>
#include <filesystem>
#include <fstream>

namespace kinoloop::testing {

// A Windows cursor file of one 32 x 32 image, 32 bits per pixel, all pixels `colour`, with the given hot
// spot.
inline QByteArray CursorFile(QPoint hotSpot, QRgb colour, quint16 type = 2) {
    constexpr int size = 32;
    constexpr int pixels = size * size * 4;
    constexpr int mask = size * 4;  // one bit per pixel, rows of 32 bits
    constexpr int image = 40 + pixels + mask;
    QByteArray bytes;
    const auto put16 = [&](quint16 value) {
        bytes.append(reinterpret_cast<const char*>(&(value = qToLittleEndian(value))), 2);
    };
    const auto put32 = [&](quint32 value) {
        bytes.append(reinterpret_cast<const char*>(&(value = qToLittleEndian(value))), 4);
    };
    put16(0);
    put16(type);
    put16(1);
    bytes.append(char(size)).append(char(size)).append(char(0)).append(char(0));
    put16(static_cast<quint16>(hotSpot.x()));
    put16(static_cast<quint16>(hotSpot.y()));
    put32(image);
    put32(6 + 16);
    put32(40);  // the picture's header: size, width, twice the height (picture and mask), planes, bits
    put32(size);
    put32(size * 2);
    put16(1);
    put16(32);
    for (int i = 0; i < 6; ++i) put32(0);
    for (int i = 0; i < size * size; ++i) put32(colour | 0xff000000u);
    bytes.append(QByteArray(mask, '\0'));  // the mask lets every pixel show
    return bytes;
}

inline void WriteFile(const std::filesystem::path& file, const QByteArray& bytes) {
    std::ofstream(file, std::ios::binary).write(bytes.constData(), bytes.size());
}

}  // namespace kinoloop::testing
