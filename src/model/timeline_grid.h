#pragma once
// `strTimeline` as data: columns are frames, row 0 the header of frame labels, rows from 1 the tracks.
// Track cells hold cell codes of at most two characters, kept in two bytes each so that a long movie with
// many tracks stays small.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kinoloop {

class CellCode {
public:
    static constexpr std::size_t kMaxLength = 2;
    CellCode() = default;
    CellCode(std::string_view text);  // text of at most two characters; longer text is cut

    std::string_view Text() const { return std::string_view(chars_.data(), Length()); }
    bool Empty() const { return chars_[0] == '\0'; }
    char First() const { return chars_[0]; }
    std::size_t Length() const { return chars_[0] == '\0' ? 0 : (chars_[1] == '\0' ? 1 : 2); }
    bool operator==(const CellCode&) const = default;

private:
    std::array<char, 2> chars_{};
};

class TimelineGrid {
public:
    int ColumnCount() const { return columns_; }
    int RowCount() const { return static_cast<int>(tracks_.size()) + 1; }  // the header row included
    int TrackCount() const { return static_cast<int>(tracks_.size()); }

    // Resizes keeping what fits; new cells are empty.
    void SetColumnCount(int columns);
    void SetRowCount(int rows);  // at least 1 (the header)

    // Row 0 is the header; rows from 1 are tracks. Cells outside the grid read as "" and ignore writes.
    std::string_view Cell(int column, int row) const;
    CellCode Code(int column, int row) const;
    void SetCell(int column, int row, std::string_view text);
    bool Contains(int column, int row) const;

    // Writes the frame labels: every column whose index is a multiple of 5 holds its index.
    void WriteHeaderLabels();

    void InsertTrack(int row);  // an empty track at row (1 .. RowCount())
    void RemoveTrack(int row);
    void SwapTracks(int rowA, int rowB);
    void ClearTrack(int row);

private:
    int columns_ = 0;
    std::vector<std::string> header_;
    std::vector<std::vector<CellCode>> tracks_;
};

// `strTracks` as data: one row per track beside the timeline, row 0 the header "Tracks".
class TrackGrid {
public:
    static constexpr int kColumnCount = 3;  // name, current-row picture, lock mark
    static constexpr const char* kHeader = "Tracks";
    static constexpr const char* kNewTrackName = "Untitled Track";
    static constexpr const char* kTimeMarkersTrack = "Time Markers";
    static constexpr const char* kHotMomentsTrack = "Hot Moments";

    struct Row {
        std::string name;
        std::string picture;  // column 1: always empty text
        std::string lock;     // column 2: "L" when locked
    };

    int RowCount() const { return static_cast<int>(rows_.size()); }
    void SetRowCount(int rows);
    const Row& At(int row) const { return rows_.at(static_cast<std::size_t>(row)); }
    Row& At(int row) { return rows_.at(static_cast<std::size_t>(row)); }

    // Cells by column 0..2, as the track file stores them; outside the grid "" / ignored.
    std::string_view Cell(int column, int row) const;
    void SetCell(int column, int row, std::string text);

    bool IsLocked(int row) const { return row > 0 && row < RowCount() && At(row).lock == "L"; }
    // Row of the first track with this name (without regard to case), or 0.
    int FindTrack(std::string_view name) const;

    void InsertRow(int row, Row content);
    void RemoveRow(int row);
    void SwapRows(int rowA, int rowB);

private:
    std::vector<Row> rows_{Row{kHeader, "", ""}};
};

}  // namespace kinoloop
