#pragma once
// The track file and the line file: the column count, the row count, then one line per cell column by column
// (all rows of column 0 first), lines ending in CR LF, an empty line for an empty cell.
#include <string>
#include <string_view>
#include <vector>

#include "model/timeline_grid.h"
#include "project/result.h"

namespace kinoloop {

// The cells are views into the bytes given to ReadGridFile, which must outlive the GridText.
struct GridText {
    int columns = 0;
    int rows = 0;
    std::vector<std::string_view> cells;  // column by column: cells[column * rows + row]
    std::string_view At(int column, int row) const {
        return cells[static_cast<std::size_t>(column) * static_cast<std::size_t>(rows) +
                     static_cast<std::size_t>(row)];
    }
};

std::string WriteGridFile(const TimelineGrid& grid);
std::string WriteGridFile(const TrackGrid& grid);

// Reads the counts (surrounding spaces ignored, the rest of their line skipped) and the cells; CR LF and LF
// lines. Fails when a count is not a number or negative, or the number of cell lines is not columns x rows.
Result<GridText> ReadGridFile(std::string_view bytes);

// Fill a grid from its text. Timeline track cells must be cell codes of at most two characters; the track
// grid must have three columns.
Result<TimelineGrid> TimelineFromText(const GridText& text);
Result<TrackGrid> TracksFromText(const GridText& text);

}  // namespace kinoloop
