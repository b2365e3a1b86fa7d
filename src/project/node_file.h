#pragma once
// The node file: an 824-byte header with the movie properties, then every record of the node store, 396 bytes
// each, in store order.
#include <string>
#include <string_view>
#include <vector>

#include "model/movie.h"
#include "model/node_text.h"
#include "project/result.h"

namespace kinoloop {

namespace node_file {
inline constexpr std::size_t kHeaderSize = 824;
inline constexpr std::size_t kFileNameOffset = 0, kFileNameMax = 255;
inline constexpr std::size_t kAuthorOffset = 256, kAuthorMax = 25;
inline constexpr std::size_t kTrackNameOffset = 282, kTrackNameMax = 25;
inline constexpr std::size_t kNextIdOffset = 308;
inline constexpr std::size_t kIntroOffset = 312, kIntroMax = 255;
inline constexpr std::size_t kOutroOffset = 568, kOutroMax = 255;
}  // namespace node_file

struct NodeFileContent {
    std::string fileName;  // as written by the saver; not used when opening
    std::string author;
    std::string trackName;
    std::int32_t nextId = 0;  // not used when opening
    std::string introFile;
    std::string outroFile;
    std::vector<NodeText> records;
};

// fileName is the name the movie is being saved under; the rest comes from the movie's header and store.
std::string WriteNodeFile(const Movie& movie, const std::string& fileName);
// Fails when the file is shorter than its header or ends inside a record.
Result<NodeFileContent> ReadNodeFile(std::string_view bytes);

}  // namespace kinoloop
