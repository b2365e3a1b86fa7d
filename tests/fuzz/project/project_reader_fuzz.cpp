// Feeds arbitrary bytes to the project file reader: container, node file and both grid files.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "project/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kinoloop::Result<kinoloop::Movie> movie = kinoloop::UnpackMovie(bytes, "/fuzz/m.knloop");
    if (movie.Ok()) {
        // Whatever opened must save again.
        (void)kinoloop::PackMovie(*movie, "/fuzz/m.knloop");
    }
    return 0;
}
