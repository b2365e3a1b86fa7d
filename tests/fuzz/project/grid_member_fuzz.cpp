// Builds a valid container around arbitrary member bytes, so that the node and grid readers behind the zlib
// layer get the fuzzer's full attention. The first byte picks the member that receives the bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "project/container.h"
#include "project/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string payload(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string members[3] = {std::string(824, '\0'), "3\r\n2\r\nTracks\r\nA\r\n\r\n\r\n\r\n\r\n",
                              "5\r\n2\r\n0\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n5\r\nC\r\n"};
    members[data[0] % 3] = payload;
    kinoloop::Result<std::string> container = kinoloop::WriteContainer({{"", "m.knloop.nodes", members[0]},
                                                                        {"", "m.knloop.tracks", members[1]},
                                                                        {"", "m.knloop.line", members[2]}});
    if (!container.Ok()) return 0;
    kinoloop::Result<kinoloop::Movie> movie = kinoloop::UnpackMovie(*container, "/fuzz/m.knloop");
    if (movie.Ok()) (void)kinoloop::PackMovie(*movie, "/fuzz/m.knloop");
    return 0;
}
