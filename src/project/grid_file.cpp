#include "project/grid_file.h"

#include <algorithm>
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

// Splits off the next line (without its CR LF or LF); false at the end of the text. A last line without a
// line end counts, an empty tail after the last line end does not.
bool NextLine(std::string_view& text, std::string_view& line) {
    if (text.empty()) return false;
    const std::size_t end = text.find('\n');
    line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
}

std::size_t CountLines(std::string_view text) {
    std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    if (!text.empty() && text.back() != '\n') ++lines;
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

std::string WriteGridFile(const TimelineGrid& grid) {
    return WriteCells(grid, grid.ColumnCount(), grid.RowCount());
}

std::string WriteGridFile(const TrackGrid& grid) {
    return WriteCells(grid, TrackGrid::kColumnCount, grid.RowCount());
}

Result<GridText> ReadGridFile(std::string_view bytes) {
    std::string_view first, second;
    if (!NextLine(bytes, first) || !NextLine(bytes, second)) {
        return Error{"the grid file lacks its column and row counts"};
    }
    const std::optional<int> columns = Count(first);
    const std::optional<int> rows = Count(second);
    if (!columns) return Error{"the grid file's column count \"" + std::string(first) + "\" is not a number"};
    if (!rows) return Error{"the grid file's row count \"" + std::string(second) + "\" is not a number"};
    if (*columns < 1 || *rows < 1) {
        return Error{"the grid file says " + std::to_string(*columns) + " columns and " +
                     std::to_string(*rows) + " rows; every grid has at least one of each"};
    }
    const std::size_t expected = static_cast<std::size_t>(*columns) * static_cast<std::size_t>(*rows);
    const std::size_t found = CountLines(bytes);
    if (found != expected) {
        return Error{"the grid file says " + std::to_string(*columns) + " columns x " +
                     std::to_string(*rows) + " rows = " + std::to_string(expected) + " cells, but holds " +
                     std::to_string(found) + " cell lines"};
    }
    GridText grid;
    grid.columns = *columns;
    grid.rows = *rows;
    grid.cells.reserve(expected);
    std::string_view line;
    while (NextLine(bytes, line)) grid.cells.push_back(line);
    return grid;
}

Result<TimelineGrid> TimelineFromText(const GridText& text) {
    if (text.rows < 1) return Error{"the line file has no header row"};
    TimelineGrid grid;
    grid.SetColumnCount(text.columns);
    grid.SetRowCount(text.rows);
    for (int column = 0; column < text.columns; ++column) {
        for (int row = 0; row < text.rows; ++row) {
            const std::string_view cell = text.At(column, row);
            if (row > 0 && cell.size() > CellCode::kMaxLength) {
                return Error{"the line file's cell at column " + std::to_string(column) + ", row " +
                             std::to_string(row) + " holds \"" + std::string(cell) +
                             "\", which is not a cell code"};
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
        for (int row = 0; row < text.rows; ++row)
            grid.SetCell(column, row, std::string(text.At(column, row)));
    }
    return grid;
}

}  // namespace kinoloop
