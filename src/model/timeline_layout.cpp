#include "model/timeline_layout.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "model/node_kind.h"

namespace kinoloop {

bool KindColour(char code, Rgb& colour) {
    switch (std::toupper(static_cast<unsigned char>(code))) {
        case 'R': colour = {255, 255, 204}; return true;
        case 'C': colour = {79, 128, 255}; return true;
        case 'S': colour = {204, 204, 255}; return true;
        case 'E': colour = {204, 255, 204}; return true;
        case 'T': colour = {255, 102, 102}; return true;
        case 'X': colour = {140, 167, 177}; return true;
        case 'G': colour = {255, 153, 102}; return true;
        case 'H': colour = {153, 102, 255}; return true;
        case 'M': colour = {0, 128, 128}; return true;
        default: return false;
    }
}

TimelineLayout::TimelineLayout(int columnWidth, int rowHeight)
    : columnWidth_(std::max(columnWidth, 1)), rowHeight_(std::max(rowHeight, 1)) {}

void TimelineLayout::ScrollTo(int firstColumn, int firstTrackRow) {
    firstColumn_ = std::max(firstColumn, 0);
    firstTrackRow_ = std::max(firstTrackRow, 1);
}

int TimelineLayout::WholeColumns(int viewportWidth) const {
    return std::max((viewportWidth + kGridLine) / ColumnPitch(), 1);
}

int TimelineLayout::WholeTrackRows(int viewportHeight) const {
    return std::max((viewportHeight - RowPitch() + kGridLine) / RowPitch(), 1);
}

int TimelineLayout::MaxFirstColumn(int columnCount, int viewportWidth) const {
    return std::max(columnCount - WholeColumns(viewportWidth), 0);
}

int TimelineLayout::MaxFirstTrackRow(int rowCount, int viewportHeight) const {
    return std::max(rowCount - WholeTrackRows(viewportHeight), 1);
}

VisibleRange TimelineLayout::Visible(int viewportWidth, int viewportHeight, int columnCount, int rowCount) const {
    VisibleRange range;
    range.firstColumn = firstColumn_;
    range.lastColumn = std::min(firstColumn_ + (viewportWidth + ColumnPitch() - 1) / ColumnPitch() - 1,
                                columnCount - 1);
    range.firstRow = firstTrackRow_;
    const int trackHeight = viewportHeight - RowPitch();
    range.lastRow = trackHeight <= 0 ? firstTrackRow_ - 1
                                     : std::min(firstTrackRow_ + (trackHeight + RowPitch() - 1) / RowPitch() - 1,
                                                rowCount - 1);
    return range;
}

CellRect TimelineLayout::CellAt(int column, int row) const {
    CellRect rect;
    rect.left = (column - firstColumn_) * ColumnPitch();
    rect.right = rect.left + columnWidth_;
    rect.top = row == 0 ? 0 : (row - firstTrackRow_ + 1) * RowPitch();
    rect.bottom = rect.top + rowHeight_;
    return rect;
}

bool TimelineLayout::HitTest(int x, int y, int columnCount, int rowCount, int& column, int& row) const {
    if (x < 0 || y < 0) return false;
    const int c = firstColumn_ + x / ColumnPitch();
    const int r = y < RowPitch() ? 0 : firstTrackRow_ + (y - RowPitch()) / RowPitch();
    if (c >= columnCount || r >= rowCount) return false;
    column = c;
    row = r;
    return true;
}

std::string SelectionReadout(int cells, int fps) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", fps > 0 ? static_cast<double>(cells) / fps : 0.0);
    return "Selected " + std::to_string(cells) + " cells, " + seconds + " seconds";
}

int FollowFrameFirstColumn(int currentFrame, int visibleColumns, int firstColumn) {
    const int half = visibleColumns / 2;
    if (currentFrame > half) return currentFrame - half;
    return firstColumn;
}

CellPaint PlanCell(std::string_view code, int column, bool selectedOnly) {
    CellPaint paint;
    if (selectedOnly) {
        paint.background = CellPaint::Background::Selected;
    } else if (column % 5 == 0) {
        paint.background = CellPaint::Background::FifthColumn;
    }
    if (code.empty()) return paint;
    const char head = code[0];
    if (!IsHeadCode(static_cast<char>(std::toupper(static_cast<unsigned char>(head))))) return paint;
    paint.node = KindColour(head, paint.fill);
    paint.mark = IsHeadCode(head) ? CellPaint::Mark::HeadEllipse : CellPaint::Mark::ContinuationLine;
    paint.note = code.size() == 2;
    return paint;
}

}  // namespace kinoloop
