// knloop-tool: looks into, exports and builds Kinoloop project files from the command line.
#include <fstream>
#include <iostream>
#include <string>

#include "movie_json.h"
#include "project/project_file.h"
#include "shell/file_io.h"

namespace {

constexpr const char* kUsage =
    "usage: knloop-tool info FILE           header, node counts per kind, column and track counts\n"
    "       knloop-tool to-json FILE        the whole movie as JSON on standard output\n"
    "       knloop-tool from-json JSON FILE  writes the project file FILE from JSON\n";

// One line: the program, the file and what is wrong.
int Fail(const std::string& file, const std::string& what) {
    std::cerr << "knloop-tool: " << file << ": " << what << "\n";
    return 1;
}

// Project errors already name the file.
int Fail(const std::string& message) {
    std::cerr << "knloop-tool: " << message << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kinoloop;
    const std::string command = argc > 1 ? argv[1] : "";
    if ((command == "info" || command == "to-json") && argc == 3) {
        Result<Movie> movie = ReadMovie(argv[2]);
        if (!movie) return Fail(movie.Message());
        std::cout << (command == "info" ? MovieInfo(*movie) : MovieToJson(*movie));
        std::cout.flush();
        return std::cout ? 0 : Fail("standard output", "cannot be written");
    }
    if (command == "from-json" && argc == 4) {
        std::string error;
        const std::optional<std::string> json = ReadWholeFile(argv[2], &error);
        if (!json) return Fail(error);
        Result<Movie> movie = MovieFromJson(*json);
        if (!movie) return Fail(argv[2], movie.Message());
        const Status written = WriteMovie(*movie, argv[3]);
        if (!written) return Fail(written.Message());
        return 0;
    }
    std::cerr << kUsage;
    return 2;
}
