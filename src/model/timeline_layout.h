#pragma once
// Geometry and presentation rules of the timeline grid, free of any widget: which cells a viewport shows, where a
// cell lies, what a pointer position hits, how a cell is painted, the range selection and its read-out, and the
// scroll position that keeps the current frame in the middle while a movie plays.
#include <cstdint>
#include <string>
#include <string_view>

namespace kinoloop {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

namespace timeline_colour {
inline constexpr Rgb Fixed{212, 208, 200};        // header row
inline constexpr Rgb GridLine{234, 232, 228};
inline constexpr Rgb FifthColumn{234, 232, 228};  // background of columns divisible by 5
inline constexpr Rgb Background{255, 255, 255};
inline constexpr Rgb Selected{0, 0, 0};
inline constexpr Rgb NoteMark{255, 153, 153};
inline constexpr Rgb CurrentFramePen{255, 0, 0};
inline constexpr Rgb CurrentFrameHeader{255, 153, 153};
}  // namespace timeline_colour

// Fill of a node kind's cells by its head letter (either case); nothing for other characters.
bool KindColour(char code, Rgb& colour);

struct CellRect {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    bool operator==(const CellRect&) const = default;
};

// The visible part: columns [firstColumn, lastColumn] and track rows [firstRow, lastRow] (rows from 1); the
// header row 0 is always visible above the tracks. last < first means none.
struct VisibleRange {
    int firstColumn = 0, lastColumn = -1;
    int firstRow = 1, lastRow = 0;
};

class TimelineLayout {
public:
    static constexpr int kDefaultColumnWidth = 8;
    static constexpr int kDefaultRowHeight = 18;
    static constexpr int kGridLine = 1;

    TimelineLayout(int columnWidth = kDefaultColumnWidth, int rowHeight = kDefaultRowHeight);

    int ColumnWidth() const { return columnWidth_; }
    int RowHeight() const { return rowHeight_; }
    int ColumnPitch() const { return columnWidth_ + kGridLine; }
    int RowPitch() const { return rowHeight_ + kGridLine; }

    // Scroll position: the first visible column and the first visible track row (1 = no vertical scroll).
    void ScrollTo(int firstColumn, int firstTrackRow);
    int FirstColumn() const { return firstColumn_; }
    int FirstTrackRow() const { return firstTrackRow_; }

    // Columns and track rows that a viewport shows whole (at least 1).
    int WholeColumns(int viewportWidth) const;
    int WholeTrackRows(int viewportHeight) const;
    // Highest useful scroll positions for a grid of this size.
    int MaxFirstColumn(int columnCount, int viewportWidth) const;
    int MaxFirstTrackRow(int rowCount, int viewportHeight) const;

    // Cells touched by the viewport (partly shown ones included), clipped to the grid.
    VisibleRange Visible(int viewportWidth, int viewportHeight, int columnCount, int rowCount) const;

    // Viewport rectangle of a cell (row 0 = the fixed header at the top).
    CellRect CellAt(int column, int row) const;
    // The cell under a viewport point; false outside the grid or on a grid line's far side of the last cell.
    bool HitTest(int x, int y, int columnCount, int rowCount, int& column, int& row) const;

private:
    int columnWidth_;
    int rowHeight_;
    int firstColumn_ = 0;
    int firstTrackRow_ = 1;
};

// The grid's range selection: the focused cell is where the mouse went down, the other corner follows the mouse.
struct GridSelection {
    int focusColumn = 0, focusRow = 1;
    int otherColumn = 0, otherRow = 1;

    void Start(int column, int row) { focusColumn = otherColumn = column, focusRow = otherRow = row; }
    void Extend(int column, int row) { otherColumn = column, otherRow = row; }
    int Left() const { return focusColumn < otherColumn ? focusColumn : otherColumn; }
    int Right() const { return focusColumn < otherColumn ? otherColumn : focusColumn; }
    int Top() const { return focusRow < otherRow ? focusRow : otherRow; }
    int Bottom() const { return focusRow < otherRow ? otherRow : focusRow; }
    int Width() const { return Right() - Left() + 1; }
    bool Contains(int column, int row) const {
        return column >= Left() && column <= Right() && row >= Top() && row <= Bottom();
    }
    bool IsFocused(int column, int row) const { return column == focusColumn && row == focusRow; }
    bool operator==(const GridSelection&) const = default;
};

// "Selected N cells, S seconds" with S = N / fps to two decimals ("0.00" when fps is not positive).
std::string SelectionReadout(int cells, int fps);

// First visible column that keeps the playing frame in the middle: when the frame is past half the visible
// columns the frame stands at the middle, else the position stays as it is.
int FollowFrameFirstColumn(int currentFrame, int visibleColumns, int firstColumn);

// How one track cell is painted.
struct CellPaint {
    enum class Background { White, FifthColumn, Selected };
    enum class Mark { None, HeadEllipse, ContinuationLine };
    Background background = Background::White;
    bool node = false;  // a kind-coloured rectangle
    Rgb fill;
    Mark mark = Mark::None;
    bool note = false;  // pink square in the top right corner
};
// code: the cell's text; selectedOnly: the cell is selected and is not the focused cell.
CellPaint PlanCell(std::string_view code, int column, bool selectedOnly);

}  // namespace kinoloop
