#include "module_files.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace kinoloop::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Text(Bytes& out, const std::string& text, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i)
        out.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
}
void Be16(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}
void Le16(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void Le32(Bytes& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF));
}
void Zeros(Bytes& out, std::size_t count) {
    out.insert(out.end(), count, 0);
}

void Save(const std::filesystem::path& file, const Bytes& bytes) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

constexpr int kSampleBytes = 64;

}  // namespace

void WriteModFile(const std::filesystem::path& file, int rows) {
    Bytes mod;
    Text(mod, "kinoloop test", 20);
    for (int sample = 1; sample <= 31; ++sample) {
        Text(mod, sample == 1 ? "square" : "", 22);
        Be16(mod, sample == 1 ? kSampleBytes / 2 : 0);  // length in words
        mod.push_back(0);                               // finetune
        mod.push_back(sample == 1 ? 64 : 0);            // volume
        Be16(mod, 0);                                   // repeat offset
        Be16(mod, sample == 1 ? kSampleBytes / 2 : 1);  // repeat length: the whole sample loops
    }
    mod.push_back(1);    // song length
    mod.push_back(127);  // restart byte
    Zeros(mod, 128);     // order table: pattern 0
    Text(mod, "M.K.", 4);

    Bytes pattern(64 * 4 * 4, 0);
    const unsigned period = 214;  // C-3
    pattern[0] = static_cast<std::uint8_t>(period >> 8);
    pattern[1] = static_cast<std::uint8_t>(period & 0xFF);
    pattern[2] = 0x10;  // sample 1, no effect
    if (rows < 64) {
        // Pattern break on the last row: the song ends after `rows` rows.
        const std::size_t at = static_cast<std::size_t>(rows - 1) * 16;
        pattern[at + 2] = 0x0D;
        pattern[at + 3] = 0x00;
    }
    mod.insert(mod.end(), pattern.begin(), pattern.end());
    for (int i = 0; i < kSampleBytes; ++i) mod.push_back(i < kSampleBytes / 2 ? 0x40 : 0xC0);
    Save(file, mod);
}

void WriteXmFile(const std::filesystem::path& file, int rows) {
    Bytes xm;
    Text(xm, "Extended Module: ", 17);
    Text(xm, "kinoloop test", 20);
    xm.push_back(0x1A);
    Text(xm, "kinoloop tests", 20);
    Le16(xm, 0x0104);
    Le32(xm, 276);  // header size from here: 20 bytes of fields and the 256-byte order table
    Le16(xm, 1);    // song length
    Le16(xm, 0);    // restart position
    Le16(xm, 2);    // channels
    Le16(xm, 1);    // patterns
    Le16(xm, 1);    // instruments
    Le16(xm, 1);    // linear frequency table
    Le16(xm, 6);    // speed
    Le16(xm, 125);  // BPM
    Zeros(xm, 256);

    Bytes data;
    // Row 0: C-4 with instrument 1 on channel 1; everything else empty (a packed empty note is 0x80).
    data.insert(data.end(), {49, 1, 0, 0, 0});
    data.push_back(0x80);
    for (int row = 1; row < rows; ++row) data.insert(data.end(), {0x80, 0x80});
    Le32(xm, 9);  // pattern header length
    xm.push_back(0);
    Le16(xm, static_cast<unsigned>(rows));
    Le16(xm, static_cast<unsigned>(data.size()));
    xm.insert(xm.end(), data.begin(), data.end());

    const std::size_t instrumentStart = xm.size();
    Le32(xm, 263);  // instrument header size
    Text(xm, "square", 22);
    xm.push_back(0);  // type
    Le16(xm, 1);      // samples
    Le32(xm, 40);     // sample header size
    Zeros(xm, 96);    // every note plays sample 0
    Zeros(xm, 48 + 48);
    Zeros(xm, 2 + 6 + 2 + 4);  // envelope points, sustain and loops, types, vibrato
    Le16(xm, 0);               // fadeout
    xm.resize(instrumentStart + 263, 0);

    Le32(xm, kSampleBytes);  // length
    Le32(xm, 0);             // loop start
    Le32(xm, kSampleBytes);  // loop length
    xm.push_back(64);        // volume
    xm.push_back(0);         // finetune
    xm.push_back(1);         // forward loop, 8 bit
    xm.push_back(128);       // panning
    xm.push_back(0);         // relative note
    xm.push_back(0);
    Text(xm, "square", 22);
    // Delta-coded 8-bit samples: +64 for the first half, -64 for the second.
    for (int i = 0; i < kSampleBytes; ++i) xm.push_back(i == 0 ? 0x40 : (i == kSampleBytes / 2 ? 0x80 : 0));
    Save(file, xm);
}

}  // namespace kinoloop::testing
