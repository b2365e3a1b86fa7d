#include "model/pending_grid_op.h"

#include <algorithm>
#include <cctype>

#include "model/field_text.h"
#include "model/node_kind.h"

namespace kinoloop {

namespace {

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool IsHeadCell(const Movie& movie, int column, int row) {
    const CellCode code = movie.strTimeline.Code(column, row);
    return !code.Empty() && IsHeadCode(code.First());
}

// The selection clipped to the grid's track rows and columns.
struct CellSpan {
    int left, top, right, bottom;
};
CellSpan ClippedSelection(const Movie& movie) {
    const TimelineSelection& s = movie.selection;
    return {std::max(s.left, 0), std::max(s.top, 1), std::min(s.right, movie.strTimeline.ColumnCount() - 1),
            std::min(s.bottom, movie.strTimeline.RowCount() - 1)};
}

// Empties a head cell and the run of its node's continuation cells to the right.
void EmptyNodeCells(Movie& movie, int column, int row) {
    const char continuation = Lower(movie.strTimeline.Code(column, row).First());
    movie.strTimeline.SetCell(column, row, "");
    for (int c = column + 1; c < movie.strTimeline.ColumnCount(); ++c) {
        const CellCode code = movie.strTimeline.Code(c, row);
        if (code.Length() != 1 || code.First() != continuation) break;
        movie.strTimeline.SetCell(c, row, "");
    }
}

void RemoveRecord(Movie& movie, int column, int row, EditResult& result) {
    if (const NodeText* record = movie.nodeStore.Find(column, row)) result.removed.push_back(record->id);
    movie.DeleteNodeRecord(column, row);
}

// The selected node's fields, fresh from the store, in the node field buffer.
bool LoadSelectedNode(Movie& movie) {
    const NodeText* record = movie.nodeStore.Find(movie.SelCol, movie.SelRow);
    if (record == nullptr) return false;
    movie.txtRecords.Load(record->fieldText);
    return true;
}

// Adds delta to a field of the buffer; a field that does not hold a number is left as it is.
void AddToLine(FieldBuffer& buffer, int line, int delta) {
    if (const auto value = ParseInt(buffer.Line(line))) buffer.SetLine(line, std::to_string(*value + delta));
}

void Tween(Movie& movie, EditResult& result) {
    const CellCode head = movie.strTimeline.Code(movie.SelCol, movie.SelRow);
    if (head.Empty() || !IsHeadCode(head.First())) return;
    const std::optional<NodeKind> kind = KindFromHeadCode(head.First());
    const int width = movie.selection.Width();
    const int row = movie.SelRow;
    if (!LoadSelectedNode(movie)) return;

    if (kind == NodeKind::Effect) {
        // One effect node per column to the right of the head; a column taken by another node keeps it.
        for (int c = movie.SelCol + 1; c <= movie.SelCol + width - 1 && c < movie.strTimeline.ColumnCount();
             ++c) {
            const CellCode code = movie.strTimeline.Code(c, row);
            if (!code.Empty() && !(code.Length() == 1 && code.First() == 'e')) continue;
            movie.txtRecords.SetLine(field::Id, std::to_string(movie.NextNodeID));
            movie.txtRecords.SetLine(field::Column, std::to_string(c));
            result.added.push_back(
                movie.AppendRecord(KindInfo(NodeKind::Effect).tag, c, row, movie.txtRecords.FieldText()));
            movie.nodeStore.ShowFirst(result.added.back());
            movie.strTimeline.SetCell(c, row, "E");
        }
        movie.AdjustLength = false;
        result.changed = !result.added.empty();
        return;
    }

    int extraField = -1;
    switch (*kind) {
        case NodeKind::Replay:
        case NodeKind::Script:
            break;
        case NodeKind::Camera:
            extraField = field::CamTime;
            break;
        case NodeKind::Sound:
            extraField = field::SoundLength;
            break;
        default:
            return;  // hot moments, markers, starts and stops are not stretched
    }

    // The node covers the selected columns to the right of its head on its own row, up to the first cell that
    // belongs to another node: stretching never writes over other nodes.
    const char continuation = Lower(head.First());
    const CellSpan span = ClippedSelection(movie);
    const bool onNodeRow = row >= span.top && row <= span.bottom;
    int notReached = onNodeRow ? 0 : width - 1;
    if (onNodeRow) {
        for (int c = std::max(span.left, movie.SelCol + 1); c <= span.right; ++c) {
            const CellCode code = movie.strTimeline.Code(c, row);
            if (!code.Empty() && !(code.Length() == 1 && code.First() == continuation)) {
                notReached = span.right - c + 1;
                break;
            }
            movie.strTimeline.SetCell(c, row, std::string(1, continuation));
        }
    }
    if (movie.AdjustLength) {
        const int delta = width - 1 - notReached;
        AddToLine(movie.txtRecords, field::Length, delta);
        if (extraField >= 0) AddToLine(movie.txtRecords, extraField, delta);
        movie.StoreNodeText(movie.txtRecords.FieldText(), movie.SelCol, movie.SelRow);
        movie.AdjustLength = false;
    }
    result.changed = true;
}

void Cut(Movie& movie, EditResult& result) {
    // The cut node goes with all its cells even when the mouse went down on one of its continuation cells.
    if (IsHeadCell(movie, movie.SelCol, movie.SelRow)) EmptyNodeCells(movie, movie.SelCol, movie.SelRow);
    const CellSpan span = ClippedSelection(movie);
    for (int row = span.top; row <= span.bottom; ++row) {
        for (int column = span.left; column <= span.right; ++column) {
            if (movie.selection.IsFocused(column, row) && IsHeadCell(movie, column, row)) {
                EmptyNodeCells(movie, column, row);
            } else {
                movie.strTimeline.SetCell(column, row, "");
            }
        }
    }
    result.changed = true;
}

void Delete(Movie& movie, EditResult& result) {
    if (movie.AdjustLength) {
        if (LoadSelectedNode(movie)) {
            if (const auto length = ParseInt(movie.txtRecords.Line(field::Length))) {
                const std::string shortened = std::to_string(*length - movie.selection.Width());
                movie.txtRecords.SetLine(field::Length, shortened);
                if (movie.strTimeline.Cell(movie.SelCol, movie.SelRow) == "C") {
                    movie.txtRecords.SetLine(field::CamTime, shortened);
                }
                movie.StoreNodeText(movie.txtRecords.FieldText(), movie.SelCol, movie.SelRow);
            }
        }
        movie.AdjustLength = false;
    }
    const CellSpan span = ClippedSelection(movie);
    for (int row = span.top; row <= span.bottom; ++row) {
        for (int column = span.left; column <= span.right; ++column) {
            if (!IsHeadCell(movie, column, row)) {
                movie.strTimeline.SetCell(column, row, "");
                continue;
            }
            RemoveRecord(movie, column, row, result);
            if (movie.selection.IsFocused(column, row)) {
                EmptyNodeCells(movie, column, row);
            } else {
                movie.strTimeline.SetCell(column, row, "");
            }
        }
    }
    result.changed = true;
}

}  // namespace

EditResult CarryOutPendingGridOp(Movie& movie) {
    EditResult result;
    switch (movie.pendingGridOp) {
        case PendingGridOp::Null:
            break;
        case PendingGridOp::Tween:
            Tween(movie, result);
            break;
        case PendingGridOp::Cut:
            Cut(movie, result);
            break;
        case PendingGridOp::Delete:
            Delete(movie, result);
            break;
    }
    movie.pendingGridOp = PendingGridOp::Null;
    return result;
}

EditResult HandToTimeline(Movie& movie, PendingGridOp op) {
    if (op == PendingGridOp::Delete || op == PendingGridOp::Tween) movie.AdjustLength = true;
    movie.pendingGridOp = op;
    EditResult result = CarryOutPendingGridOp(movie);
    // A one-shot flag: whatever the operation did not use does not wait for a later one.
    movie.AdjustLength = false;
    return result;
}

}  // namespace kinoloop
