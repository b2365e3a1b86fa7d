#pragma once
// The demo simulator's own reading and writing of InSim/OutSim datagrams. Written apart from Kinoloop's packet
// code on purpose: a layout fault on either side shows up in the tests instead of cancelling out.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace demosim {

using Bytes = std::vector<std::uint8_t>;

inline std::uint16_t GetU16(const Bytes& b, std::size_t at) {
    return at + 2 <= b.size() ? static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8)) : 0;
}
inline std::int32_t GetI32(const Bytes& b, std::size_t at) {
    if (at + 4 > b.size()) return 0;
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    return static_cast<std::int32_t>(v);
}
inline float GetF32(const Bytes& b, std::size_t at) {
    const std::uint32_t v = static_cast<std::uint32_t>(GetI32(b, at));
    float f;
    std::memcpy(&f, &v, 4);
    return f;
}
inline std::uint8_t GetU8(const Bytes& b, std::size_t at) { return at < b.size() ? b[at] : 0; }
inline std::string GetText(const Bytes& b, std::size_t at, std::size_t size) {
    std::string s;
    for (std::size_t i = at; i < at + size && i < b.size() && b[i] != 0; ++i) s.push_back(static_cast<char>(b[i]));
    return s;
}

// A packet being written: fixed size, zero-filled, tag at offset 0.
class Writer {
public:
    Writer(const char* tag, std::size_t size) : bytes_(size, 0) {
        for (std::size_t i = 0; i < 3 && tag[i] != 0; ++i) bytes_[i] = static_cast<std::uint8_t>(tag[i]);
    }
    explicit Writer(std::size_t size) : bytes_(size, 0) {}  // untagged (OutSim)
    Writer& U8(std::size_t at, std::uint8_t v) { bytes_[at] = v; return *this; }
    Writer& U16(std::size_t at, std::uint16_t v) {
        bytes_[at] = static_cast<std::uint8_t>(v);
        bytes_[at + 1] = static_cast<std::uint8_t>(v >> 8);
        return *this;
    }
    Writer& I32(std::size_t at, std::int32_t v) {
        const auto u = static_cast<std::uint32_t>(v);
        for (std::size_t i = 0; i < 4; ++i) bytes_[at + i] = static_cast<std::uint8_t>(u >> (8 * i));
        return *this;
    }
    Writer& F32(std::size_t at, float f) {
        std::uint32_t v;
        std::memcpy(&v, &f, 4);
        return I32(at, static_cast<std::int32_t>(v));
    }
    Writer& Text(std::size_t at, std::size_t size, const std::string& s) {
        for (std::size_t i = 0; i < size && i < s.size(); ++i) bytes_[at + i] = static_cast<std::uint8_t>(s[i]);
        return *this;
    }
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

// State flags as the demo simulator keeps them.
inline constexpr std::uint16_t kInGame = 1, kReplay = 2, kPaused = 4, kShow2D = 128, kFrontEnd = 256,
                               kSoundMute = 4096, kViewOverride = 8192;

}  // namespace demosim
