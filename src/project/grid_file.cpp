#include "project/grid_file.h"

#include <charconv>

namespace kinoloop {

namespace {

constexpr const char* kLineEnd = "\r\n";

template <typename Grid>
std::string WriteCells(const Grid& grid, int columns, int rows) {
    std::string text = std::to_string(columns) + kLineEnd + std::to_string(rows) + kLineEnd;
    text.reserve(text.size() + static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows) * 3);
    for (int column = 0; column < columns; ++column) {
        for (int row = 0; row < rows; ++row) {
            text += grid.Cell(column, row);
            text += kLineEnd;
        }
    }
    return text;
}

// The lines of a text file; a last line without a line end counts, an empty tail after the last line end does not.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// A count: surrounding spaces ignored and whatever follows the number on its line skipped.
std::optional<int> Count(std::string_view line) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (error != std::errc() || end == line.data() || value < 0) return std::nullopt;
    return value;
}

}  // namespace

std::string WriteGridFile(const TimelineGrid& grid) { return WriteCells(grid, grid.ColumnCount(), grid.RowCount()); }

std::string WriteGridFile(const TrackGrid& grid) { return WriteCells(grid, TrackGrid::kColumnCount, grid.RowCount()); }

Result<GridText> ReadGridFile(std::string_view bytes) {
    const std::vector<std::string_view> lines = Lines(bytes);
    if (lines.size() < 2) return Error{"the grid file lacks its column and row counts"};
    const std::optional<int> columns = Count(lines[0]);
    const std::optional<int> rows = Count(lines[1]);
    if (!columns) return Error{"the grid file's column count \"" + std::string(lines[0]) + "\" is not a number"};
    if (!rows) return Error{"the grid file's row count \"" + std::string(lines[1]) + "\" is not a number"};
    if (*columns < 1 || *rows < 1) {
        return Error{"the grid file says " + std::to_string(*columns) + " columns and " + std::to_string(*rows) +
                     " rows; every grid has at least one of each"};
    }
    const std::size_t expected = static_cast<std::size_t>(*columns) * static_cast<std::size_t>(*rows);
    if (lines.size() - 2 != expected) {
        return Error{"the grid file says " + std::to_string(*columns) + " columns x " + std::to_string(*rows) +
                     " rows = " + std::to_string(expected) + " cells, but holds " + std::to_string(lines.size() - 2) +
                     " cell lines"};
    }
    GridText grid;
    grid.columns = *columns;
    grid.rows = *rows;
    grid.cells.assign(lines.begin() + 2, lines.end());
    return grid;
}

Result<TimelineGrid> TimelineFromText(const GridText& text) {
    if (text.rows < 1) return Error{"the line file has no header row"};
    TimelineGrid grid;
    grid.SetColumnCount(text.columns);
    grid.SetRowCount(text.rows);
    for (int column = 0; column < text.columns; ++column) {
        for (int row = 0; row < text.rows; ++row) {
            const std::string& cell = text.At(column, row);
            if (row > 0 && cell.size() > CellCode::kMaxLength) {
                return Error{"the line file's cell at column " + std::to_string(column) + ", row " +
                             std::to_string(row) + " holds \"" + cell + "\", which is not a cell code"};
            }
            grid.SetCell(column, row, cell);
        }
    }
    return grid;
}

Result<TrackGrid> TracksFromText(const GridText& text) {
    if (text.columns != TrackGrid::kColumnCount) {
        return Error{"the track file has " + std::to_string(text.columns) + " columns instead of 3"};
    }
    if (text.rows < 1) return Error{"the track file has no header row"};
    TrackGrid grid;
    grid.SetRowCount(text.rows);
    for (int column = 0; column < text.columns; ++column) {
        for (int row = 0; row < text.rows; ++row) grid.SetCell(column, row, text.At(column, row));
    }
    return grid;
}

}  // namespace kinoloop
