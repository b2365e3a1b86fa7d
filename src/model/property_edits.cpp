#include "model/property_edits.h"


#include "model/field_text.h"
#include "model/movie.h"
#include "model/node_kind.h"

namespace kinoloop {

bool StoreFieldBuffer(Movie& movie) {
    const auto column = ParseInt(movie.txtRecords.Line(1));
    const auto row = ParseInt(movie.txtRecords.Line(2));
    if (!column || !row || movie.nodeStore.Find(*column, *row) == nullptr) return false;
    movie.StoreNodeText(movie.txtRecords.FieldText(), *column, *row);
    return true;
}

bool SetFieldAndStore(Movie& movie, int line, std::string text) {
    if (line < 0 || line >= movie.txtRecords.LineCount()) return false;
    movie.txtRecords.SetLine(line, std::move(text));
    return StoreFieldBuffer(movie);
}

std::vector<std::string> ViewPlayerItems() {
    std::vector<std::string> items{"255 (default)", "0 (pole)"};
    for (int i = 1; i <= 30; ++i) items.push_back(std::to_string(i));
    return items;
}

std::optional<int> ViewPlayerItemIndex(std::string_view field) {
    if (field == "255") return 0;
    const auto value = ParseInt(field);
    if (!value || *value < 0 || *value + 1 >= static_cast<int>(ViewPlayerItems().size())) return std::nullopt;
    return *value + 1;
}

std::string ViewPlayerField(int itemIndex) {
    if (itemIndex <= 0) return "255";
    if (itemIndex == 1) return "0";
    return std::to_string(itemIndex - 1);
}

std::vector<std::string> CameraTypeItems() {
    return {"Arcade View", "Helicopter View", "TV Camera View", "Driver View", "Custom View"};
}

std::string ReplayStartItem(std::string_view name, std::string_view column, std::string_view row) {
    return std::string(name) + " at cell [" + std::string(column) + "," + std::string(row) + "]";
}

std::optional<ReplayStartChoice> ParseReplayStartItem(std::string_view item) {
    // The last " at cell [" ends the name, so a replay name holding " [" still parses.
    static constexpr std::string_view kAtCell = " at cell [";
    const std::size_t at = item.rfind(kAtCell);
    if (at == std::string_view::npos) return std::nullopt;
    const std::size_t open = at + kAtCell.size();
    const std::size_t comma = item.find(',', open);
    if (comma == std::string_view::npos) return std::nullopt;
    const std::size_t close = item.find(']', comma + 1);
    if (close == std::string_view::npos) return std::nullopt;
    ReplayStartChoice choice;
    choice.name = std::string(item.substr(0, at));
    choice.column = std::string(item.substr(open, comma - open));
    choice.row = std::string(item.substr(comma + 1, close - comma - 1));
    return choice;
}

std::vector<std::string> ReplayStartItems(const Movie& movie) {
    std::vector<std::string> items;
    const std::string replayTag = KindInfo(NodeKind::Replay).tag;
    for (const NodeText& record : movie.nodeStore.Records()) {
        if (record.tag != replayTag) continue;
        const std::vector<std::string> fields = SplitFields(record.fieldText);
        const auto field = [&](int i) { return i < static_cast<int>(fields.size()) ? fields[i] : std::string(); };
        items.push_back(ReplayStartItem(field(4), field(1), field(2)));
    }
    return items;
}

const std::vector<CameraBar>& CameraBars() {
    static const std::vector<CameraBar> bars{
        {"trkX", 4, -653360000, 653360000, 65536}, {"trkY", 5, -653360000, 653360000, 65536},
        {"trkZ", 6, 0, 655360, 32768},             {"trkHeading", 7, 0, 65536, 10},
        {"trkPitch", 8, 0, 65536, 10},             {"trkRoll", 9, 0, 65536, 10},
        {"trkFOV", 12, 20, 120, 10},
    };
    return bars;
}

}  // namespace kinoloop
