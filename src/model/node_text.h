#pragma once
// One node of the movie as it is stored: the 396-byte record of the node file.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kinoloop {

struct NodeText {  // the stored record, `_NodeText`
    static constexpr std::size_t kSize = 396;
    static constexpr std::size_t kIdOffset = 0;
    static constexpr std::size_t kTagOffset = 4;
    static constexpr std::size_t kTagSize = 3;
    static constexpr std::size_t kColumnOffset = 8;
    static constexpr std::size_t kRowOffset = 12;
    static constexpr std::size_t kFieldTextOffset = 16;
    static constexpr std::size_t kFieldTextMax = 255;
    static constexpr std::size_t kNoteOffset = 272;
    static constexpr std::size_t kNoteMax = 120;

    std::int32_t id = 0;
    std::string tag;  // three letters
    std::int32_t column = 0;
    std::int32_t row = 0;
    std::string fieldText;  // at most kFieldTextMax characters
    std::string note;       // at most kNoteMax characters, "?" for line breaks

    // True when the note holds anything but spaces.
    bool HasNote() const;

    // The record's bytes: little-endian integers, length-prefixed strings, every unused byte 0.
    std::array<std::uint8_t, kSize> ToBytes() const;
    // Reads a record; strings are taken up to their length byte (clamped to the field's room).
    static NodeText FromBytes(std::span<const std::uint8_t, kSize> bytes);

    bool operator==(const NodeText&) const = default;
};

}  // namespace kinoloop
