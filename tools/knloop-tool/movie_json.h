#pragma once
// A movie as JSON, for people who keep movies in version control or generate them, and a short summary of a
// movie. Texts in the project file are single bytes; in JSON each byte is the character of the same number
// (Latin-1), so that every byte survives the way there and back.
#include <string>
#include <string_view>

#include "model/movie.h"
#include "project/result.h"

namespace kinoloop {

// The whole movie: header, column count, tracks, every cell that is not empty, every record with its fields
// and note. Pretty-printed, UTF-8.
std::string MovieToJson(const Movie& movie);

// A movie from JSON as MovieToJson writes it. Every part is checked: an error names what is wrong and where
// (for instance "records[3].fields[1]: contains \":\"").
Result<Movie> MovieFromJson(std::string_view json);

// Header, counts per node kind, column and track counts, one item per line.
std::string MovieInfo(const Movie& movie);

}  // namespace kinoloop
