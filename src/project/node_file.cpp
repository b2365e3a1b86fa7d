#include "project/node_file.h"

#include <algorithm>

namespace kinoloop {

namespace {

using namespace node_file;

void PutShortString(std::string& bytes, std::size_t offset, const std::string& text, std::size_t max) {
    const std::size_t length = std::min(text.size(), max);
    bytes[offset] = static_cast<char>(length);
    std::copy_n(text.data(), length, bytes.begin() + static_cast<std::ptrdiff_t>(offset + 1));
}

std::string GetShortString(std::string_view bytes, std::size_t offset, std::size_t max) {
    const std::size_t length = std::min<std::size_t>(static_cast<unsigned char>(bytes[offset]), max);
    return std::string(bytes.substr(offset + 1, length));
}

}  // namespace

std::string WriteNodeFile(const Movie& movie, const std::string& fileName) {
    const auto& records = movie.nodeStore.Records();
    std::string bytes(kHeaderSize, '\0');
    bytes.reserve(kHeaderSize + records.size() * NodeText::kSize);
    PutShortString(bytes, kFileNameOffset, fileName, kFileNameMax);
    PutShortString(bytes, kAuthorOffset, movie.header.MovieAuthor, kAuthorMax);
    PutShortString(bytes, kTrackNameOffset, movie.header.MovieTrackName, kTrackNameMax);
    const auto nextId = static_cast<std::uint32_t>(movie.header.nextIdCopy);
    for (int i = 0; i < 4; ++i) bytes[kNextIdOffset + i] = static_cast<char>((nextId >> (8 * i)) & 0xFF);
    PutShortString(bytes, kIntroOffset, movie.header.IntroFile, kIntroMax);
    PutShortString(bytes, kOutroOffset, movie.header.OutroFile, kOutroMax);
    for (const NodeText& record : records) {
        const auto recordBytes = record.ToBytes();
        bytes.append(reinterpret_cast<const char*>(recordBytes.data()), recordBytes.size());
    }
    return bytes;
}

Result<NodeFileContent> ReadNodeFile(std::string_view bytes) {
    if (bytes.size() < kHeaderSize) {
        return Error{"the node file has " + std::to_string(bytes.size()) + " bytes, less than its " +
                     std::to_string(kHeaderSize) + "-byte header"};
    }
    const std::size_t recordBytes = bytes.size() - kHeaderSize;
    if (recordBytes % NodeText::kSize != 0) {
        return Error{"the node file ends inside node record " +
                     std::to_string(recordBytes / NodeText::kSize + 1) + " (" +
                     std::to_string(recordBytes % NodeText::kSize) + " of " +
                     std::to_string(NodeText::kSize) + " bytes)"};
    }
    NodeFileContent content;
    content.fileName = GetShortString(bytes, kFileNameOffset, kFileNameMax);
    content.author = GetShortString(bytes, kAuthorOffset, kAuthorMax);
    content.trackName = GetShortString(bytes, kTrackNameOffset, kTrackNameMax);
    std::uint32_t nextId = 0;
    for (int i = 0; i < 4; ++i) {
        nextId |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[kNextIdOffset + i])) << (8 * i);
    }
    content.nextId = static_cast<std::int32_t>(nextId);
    content.introFile = GetShortString(bytes, kIntroOffset, kIntroMax);
    content.outroFile = GetShortString(bytes, kOutroOffset, kOutroMax);
    content.records.reserve(recordBytes / NodeText::kSize);
    for (std::size_t at = kHeaderSize; at < bytes.size(); at += NodeText::kSize) {
        const auto* record = reinterpret_cast<const std::uint8_t*>(bytes.data() + at);
        content.records.push_back(
            NodeText::FromBytes(std::span<const std::uint8_t, NodeText::kSize>(record, NodeText::kSize)));
    }
    return content;
}

}  // namespace kinoloop
