#pragma once
// The simulator's replay files: where they lie, how the list of them reads, the track name inside each, and the
// command line that loads one.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kinoloop {

namespace replay {
inline constexpr std::size_t kTrackNameSize = 32;
inline constexpr std::size_t kSinglePlayerTrackOffset = 32;
inline constexpr std::size_t kMultiPlayerTrackOffset = 40;
inline constexpr const char* kSingleHeading = "Single Player Replays";
inline constexpr const char* kMultiHeading = "Multi Player Replays";
inline constexpr const char* kDashes = "---------------------";
}  // namespace replay

// simulator folder + "data/spr" (single player) or "data/mpr". A folder given with Windows separators keeps them
// as the user wrote it; only the part Kinoloop adds uses "/".
std::filesystem::path ReplayFolder(const std::string& simulatorFolder, bool singlePlayer);

// ".SPR" compared in upper case marks a single-player replay; anything else is multiplayer.
bool IsSinglePlayerReplay(std::string_view name);
// Headings, dashes and empty lines of the list have no extension.
bool HasReplayExtension(std::string_view name);

// The lines of `cmbReplay`: the headings and file names of the folders that exist, file names sorted.
std::vector<std::string> ReplayListLines(const std::string& simulatorFolder);

// The 32 bytes at offset 32 (single player) or 40 (multiplayer) up to the first zero byte, trimmed of blanks;
// "" for a missing or short file.
std::string ReadReplayTrackName(const std::string& simulatorFolder, const std::string& name, bool singlePlayer);

// "/spr race" for "race.spr", "/mpr league" for "league.mpr": the name without its last four characters.
std::string ReplayLoadCommand(std::string_view name);

}  // namespace kinoloop
