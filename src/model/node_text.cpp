#include "model/node_text.h"

#include <algorithm>

namespace kinoloop {

namespace {

void PutInt32(std::uint8_t* at, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

std::int32_t GetInt32(const std::uint8_t* at) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= static_cast<std::uint32_t>(at[i]) << (8 * i);
    return static_cast<std::int32_t>(bits);
}

void PutShortString(std::uint8_t* at, const std::string& text, std::size_t max) {
    const std::size_t length = std::min(text.size(), max);
    at[0] = static_cast<std::uint8_t>(length);
    std::copy_n(text.data(), length, at + 1);
}

std::string GetShortString(const std::uint8_t* at, std::size_t max) {
    const std::size_t length = std::min<std::size_t>(at[0], max);
    return std::string(reinterpret_cast<const char*>(at + 1), length);
}

}  // namespace

bool NodeText::HasNote() const { return note.find_first_not_of(' ') != std::string::npos; }

std::array<std::uint8_t, NodeText::kSize> NodeText::ToBytes() const {
    std::array<std::uint8_t, kSize> bytes{};
    PutInt32(&bytes[kIdOffset], id);
    std::copy_n(tag.data(), std::min(tag.size(), kTagSize), &bytes[kTagOffset]);
    PutInt32(&bytes[kColumnOffset], column);
    PutInt32(&bytes[kRowOffset], row);
    PutShortString(&bytes[kFieldTextOffset], fieldText, kFieldTextMax);
    PutShortString(&bytes[kNoteOffset], note, kNoteMax);
    return bytes;
}

NodeText NodeText::FromBytes(std::span<const std::uint8_t, kSize> bytes) {
    NodeText record;
    record.id = GetInt32(&bytes[kIdOffset]);
    record.tag.assign(reinterpret_cast<const char*>(&bytes[kTagOffset]), kTagSize);
    record.column = GetInt32(&bytes[kColumnOffset]);
    record.row = GetInt32(&bytes[kRowOffset]);
    record.fieldText = GetShortString(&bytes[kFieldTextOffset], kFieldTextMax);
    record.note = GetShortString(&bytes[kNoteOffset], kNoteMax);
    return record;
}

}  // namespace kinoloop
