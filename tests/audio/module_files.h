#pragma once
// Small valid tracker modules written by the tests: one instrument holding a looped square wave, one note,
// and a song that ends after a known number of rows (speed 6 at 125 BPM: 0.12 s a row).
#include <filesystem>

namespace kinoloop::testing {

// A four-channel ProTracker module ("M.K."): one pattern broken off after `rows` rows.
void WriteModFile(const std::filesystem::path& file, int rows);
// A two-channel FastTracker 2 module: one pattern of `rows` rows.
void WriteXmFile(const std::filesystem::path& file, int rows);

inline constexpr double kSecondsPerRow = 0.12;

}  // namespace kinoloop::testing
