#pragma once
// The project file's container: a plain sequence of entries, each a directory text, a member name, the
// member's size and its bytes as one zlib stream (level -1, window bits 15, memory level 8, default
// strategy). No header, count or trailer. Members are packed and unpacked in memory; nothing is written
// beside the project file.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "project/result.h"

namespace kinoloop {

struct ContainerMember {
    std::string directory;  // folder the member came from, ignored when reading; at most 255 bytes
    std::string name;       // plain file name, 1 to 255 bytes
    std::string bytes;      // uncompressed content
    bool operator==(const ContainerMember&) const = default;
};

// Entry sizes and limits.
inline constexpr std::size_t kContainerMaxText = 255;
inline constexpr std::size_t kContainerMaxMember = 1u << 30;  // 1 GiB uncompressed: a bound against zip bombs

// True when the name is a plain file name: not empty, no "/", no "\" and no "..".
bool IsPlainMemberName(std::string_view name);

// One zlib stream of the bytes, as the container stores it.
Result<std::string> DeflateMember(std::string_view bytes);
// Inflates one zlib stream; an error when it is damaged, ends early or grows past kContainerMaxMember.
Result<std::string> InflateMember(std::string_view stream);

// The whole container file. Fails on a name that is not plain or a text longer than 255 bytes.
Result<std::string> WriteContainer(const std::vector<ContainerMember>& members);
// Every entry in order. Fails, naming the entry, on a truncated entry, a negative size, a member name that is
// not plain, or a damaged stream.
Result<std::vector<ContainerMember>> ReadContainer(std::string_view file);

}  // namespace kinoloop
