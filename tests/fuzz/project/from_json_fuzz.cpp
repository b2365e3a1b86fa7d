// Arbitrary bytes as the JSON of knloop-tool's from-json; a movie that reads must pack and print again.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "movie_json.h"
#include "project/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view json(reinterpret_cast<const char*>(data), size);
    kinoloop::Result<kinoloop::Movie> movie = kinoloop::MovieFromJson(json);
    if (movie.Ok()) {
        (void)kinoloop::PackMovie(*movie, "/fuzz/m.knloop");
        (void)kinoloop::MovieToJson(*movie);
    }
    return 0;
}
