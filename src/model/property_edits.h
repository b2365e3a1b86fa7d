#pragma once
// The rules behind the properties panel's editors, free of widgets: the guarded store of one field, the
// view-player list's items, the replay-start list's item texts and the camera track bars' ranges.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kinoloop {

class Movie;

// Stores the node field buffer into the node at its own column and row (lines 1 and 2). False, and nothing
// stored, when either does not parse or no node stands there.
bool StoreFieldBuffer(Movie& movie);
// Puts text into one line of the buffer and stores it; false, nothing changed, when the line does not exist.
bool SetFieldAndStore(Movie& movie, int line, std::string text);

// `cmbPlayer`: "255 (default)", "0 (pole)", "1" ... "30".
std::vector<std::string> ViewPlayerItems();
// The item that shows a view-player field: 0 for "255", else field + 1; nothing when it does not parse or falls
// outside the list.
std::optional<int> ViewPlayerItemIndex(std::string_view field);
// The field stored for an item: "255", "0", else the item's own text.
std::string ViewPlayerField(int itemIndex);

// `cmbCamera`: index = camera type field.
std::vector<std::string> CameraTypeItems();

// `cmbReplayStart` items: name + " at cell [" + column + "," + row + "]".
std::string ReplayStartItem(std::string_view name, std::string_view column, std::string_view row);
struct ReplayStartChoice {
    std::string name, column, row;
    bool operator==(const ReplayStartChoice&) const = default;
};
std::optional<ReplayStartChoice> ParseReplayStartItem(std::string_view item);
// One item per replay record in store order, read from the stored field texts.
std::vector<std::string> ReplayStartItems(const Movie& movie);

// The camera track bars: buffer line, range and step of each.
struct CameraBar {
    const char* name;  // "trkX" ...
    int line;
    std::int32_t minimum, maximum, frequency;
};
const std::vector<CameraBar>& CameraBars();  // X, Y, Z, Heading, Pitch, Roll, FOV
inline constexpr std::int32_t kFovBarStart = 20;

}  // namespace kinoloop
