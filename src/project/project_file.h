#pragma once
// Writing and reading a whole movie as a ".knloop" project file: the container of the node file (M +
// ".nodes"), the track file (M + ".tracks") and the line file (M + ".line"), where M is the project file's
// name.
#include <filesystem>
#include <functional>
#include <string>

#include "model/movie.h"
#include "project/result.h"

namespace kinoloop {

// Called after each member has been packed, with the member's name.
using MemberPacked = std::function<void(const std::string& memberName)>;

// Packs the movie into bytes as the project file holds them; M is projectPath's file name and the directory
// text is projectPath's folder. Fails when the name is too long for the container.
Result<std::string> PackMovie(const Movie& movie, const std::filesystem::path& projectPath,
                              const MemberPacked& onPacked = {});

// Writes the project file: first to a temporary file beside it, then renamed over the old one, so that a
// failure leaves the old file whole. The message says what failed. The movie itself is not changed (the
// caller updates MovieFileName and MovieFolder after success).
Status WriteMovie(const Movie& movie, const std::filesystem::path& projectPath,
                  const MemberPacked& onPacked = {});

// Reads a project file into a fresh movie: node store, NextNodeID (highest id + 1, at least 1) and its copy,
// the movie properties (MovieFolder := the file's folder with a trailing "/", MovieFileName := its name),
// both grids; CopiedNodeID -1 and the selection at (0, 1). Any damage gives an error naming the file and what
// is wrong.
Result<Movie> UnpackMovie(std::string_view projectBytes, const std::filesystem::path& projectPath);
Result<Movie> ReadMovie(const std::filesystem::path& projectPath);

// Opens into the current movie: reads a fresh movie and replaces the current one only when all of it was
// read.
Status OpenMovie(Movie& current, const std::filesystem::path& projectPath);

}  // namespace kinoloop
