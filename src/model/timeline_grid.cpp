#include "model/timeline_grid.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace kinoloop {

CellCode::CellCode(std::string_view text) {
    const std::size_t length = std::min(text.size(), kMaxLength);
    for (std::size_t i = 0; i < length; ++i) chars_[i] = text[i];
}

void TimelineGrid::SetColumnCount(int columns) {
    columns_ = std::max(columns, 0);
    header_.resize(static_cast<std::size_t>(columns_));
    for (auto& track : tracks_) track.resize(static_cast<std::size_t>(columns_));
}

void TimelineGrid::SetRowCount(int rows) {
    tracks_.resize(static_cast<std::size_t>(std::max(rows, 1) - 1),
                   std::vector<CellCode>(static_cast<std::size_t>(columns_)));
}

bool TimelineGrid::Contains(int column, int row) const {
    return column >= 0 && column < columns_ && row >= 0 && row < RowCount();
}

std::string_view TimelineGrid::Cell(int column, int row) const {
    if (!Contains(column, row)) return {};
    if (row == 0) return header_[static_cast<std::size_t>(column)];
    return tracks_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column)].Text();
}

CellCode TimelineGrid::Code(int column, int row) const {
    if (!Contains(column, row) || row == 0) return {};
    return tracks_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column)];
}

void TimelineGrid::SetCell(int column, int row, std::string_view text) {
    if (!Contains(column, row)) return;
    if (row == 0) {
        header_[static_cast<std::size_t>(column)] = std::string(text);
    } else {
        tracks_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column)] = CellCode(text);
    }
}

void TimelineGrid::WriteHeaderLabels() {
    for (int column = 0; column < columns_; ++column) {
        header_[static_cast<std::size_t>(column)] = column % 5 == 0 ? std::to_string(column) : std::string();
    }
}

void TimelineGrid::InsertTrack(int row) {
    row = std::clamp(row, 1, RowCount());
    tracks_.insert(tracks_.begin() + (row - 1), std::vector<CellCode>(static_cast<std::size_t>(columns_)));
}

void TimelineGrid::RemoveTrack(int row) {
    if (row < 1 || row >= RowCount()) return;
    tracks_.erase(tracks_.begin() + (row - 1));
}

void TimelineGrid::SwapTracks(int rowA, int rowB) {
    if (rowA < 1 || rowB < 1 || rowA >= RowCount() || rowB >= RowCount()) return;
    std::swap(tracks_[static_cast<std::size_t>(rowA - 1)], tracks_[static_cast<std::size_t>(rowB - 1)]);
}

void TimelineGrid::ClearTrack(int row) {
    if (row < 1 || row >= RowCount()) return;
    std::fill(tracks_[static_cast<std::size_t>(row - 1)].begin(), tracks_[static_cast<std::size_t>(row - 1)].end(),
              CellCode());
}

void TrackGrid::SetRowCount(int rows) { rows_.resize(static_cast<std::size_t>(std::max(rows, 1))); }

std::string_view TrackGrid::Cell(int column, int row) const {
    if (row < 0 || row >= RowCount()) return {};
    const Row& r = At(row);
    switch (column) {
        case 0: return r.name;
        case 1: return r.picture;
        case 2: return r.lock;
        default: return {};
    }
}

void TrackGrid::SetCell(int column, int row, std::string text) {
    if (row < 0 || row >= RowCount()) return;
    Row& r = At(row);
    switch (column) {
        case 0: r.name = std::move(text); break;
        case 1: r.picture = std::move(text); break;
        case 2: r.lock = std::move(text); break;
        default: break;
    }
}

int TrackGrid::FindTrack(std::string_view name) const {
    const auto lower = [](std::string_view s) {
        std::string out(s);
        for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return out;
    };
    const std::string wanted = lower(name);
    for (int row = 1; row < RowCount(); ++row) {
        if (lower(At(row).name) == wanted) return row;
    }
    return 0;
}

void TrackGrid::InsertRow(int row, Row content) {
    row = std::clamp(row, 1, RowCount());
    rows_.insert(rows_.begin() + row, std::move(content));
}

void TrackGrid::RemoveRow(int row) {
    if (row < 1 || row >= RowCount()) return;
    rows_.erase(rows_.begin() + row);
}

void TrackGrid::SwapRows(int rowA, int rowB) {
    if (rowA < 1 || rowB < 1 || rowA >= RowCount() || rowB >= RowCount()) return;
    std::swap(rows_[static_cast<std::size_t>(rowA)], rows_[static_cast<std::size_t>(rowB)]);
}

}  // namespace kinoloop
