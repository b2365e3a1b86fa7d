#include "model/editing_commands.h"

#include "model/field_text.h"
#include "model/node_kind.h"
#include "model/pending_grid_op.h"

namespace kinoloop {

namespace {

std::string At(int column, int row) {
    return std::to_string(column) + ":" + std::to_string(row);
}

CellCode SelectedCode(const Movie& movie) {
    return movie.strTimeline.Code(movie.SelCol, movie.SelRow);
}

bool SelectedIsHead(const Movie& movie) {
    const CellCode code = SelectedCode(movie);
    return !code.Empty() && IsHeadCode(code.First());
}

}  // namespace

EditResult DeleteSelection(EditContext& context) {
    Movie& movie = context.movie;
    const CellCode code = SelectedCode(movie);
    if (code.Empty()) return EditResult::Unchanged();
    const char first = code.First();

    movie.SetLastAction("Deleted node at cell " + At(movie.SelCol, movie.SelRow));
    EditResult result = HandToTimeline(movie, PendingGridOp::Delete);
    context.hooks.RepaintTimeline();

    movie.txtRecords.Clear();
    context.hooks.ShowNodeProperties('N');
    context.hooks.ProcessEvents();

    if (first == 'R' &&
        context.notices.AskYes("Would you like to reset Live for Speed back to the main screen?")) {
        context.hooks.ResetSimulator();
    }
    result.changed = true;
    return result;
}

EditResult CutNode(EditContext& context) {
    Movie& movie = context.movie;
    if (!SelectedIsHead(movie)) return EditResult::Unchanged();
    const NodeText* record = movie.nodeStore.Find(movie.SelCol, movie.SelRow);
    if (record == nullptr) return EditResult::Unchanged();

    movie.SetLastAction("Cut node at cell " + At(record->column, record->row));
    movie.CopiedNodeID = record->id;
    movie.SelCol = record->column;
    movie.SelRow = record->row;
    EditResult result = HandToTimeline(movie, PendingGridOp::Cut);
    context.hooks.RepaintTimeline();
    return result;
}

EditResult CopyNode(EditContext& context) {
    Movie& movie = context.movie;
    if (!SelectedIsHead(movie)) return EditResult::Unchanged();
    const NodeText* record = movie.nodeStore.Find(movie.SelCol, movie.SelRow);
    if (record == nullptr) return EditResult::Unchanged();

    movie.SetLastAction("Copied node at cell " + At(record->column, record->row));
    movie.CopiedNodeID = record->id;
    EditResult result;
    result.changed = true;
    return result;
}

EditResult PasteNode(EditContext& context) {
    Movie& movie = context.movie;
    // The header row never holds a node.
    if (movie.SelRow < 1 || !movie.strTimeline.Contains(movie.SelCol, movie.SelRow))
        return EditResult::Unchanged();
    if (!SelectedCode(movie).Empty()) {
        context.notices.Refuse("You can only paste a node into an empty cell");
        return EditResult::Unchanged();
    }
    const NodeText* source = movie.nodeStore.FindById(movie.CopiedNodeID);
    if (source == nullptr) return EditResult::Unchanged();
    const std::optional<NodeKind> kind = KindFromTag(source->tag);
    if (!kind) return EditResult::Unchanged();  // a record of no known kind cannot be drawn
    const NodeKindInfo& info = KindInfo(*kind);

    movie.txtRecords.Load(source->fieldText);
    const std::optional<std::int32_t> length = ParseInt(movie.txtRecords.Line(field::Length));
    const int cells = length && *length >= 1 ? *length : 1;

    // Columns past the end of the movie count as taken: a node is never pasted half outside the timeline.
    for (std::int64_t c = movie.SelCol + 1; c <= static_cast<std::int64_t>(movie.SelCol) + cells - 1; ++c) {
        if (c >= movie.strTimeline.ColumnCount() ||
            !movie.strTimeline.Code(static_cast<int>(c), movie.SelRow).Empty()) {
            context.notices.Refuse(
                "There is not enough space to paste the copied node. The space required is " +
                std::to_string(cells) + " cells");
            return EditResult::Unchanged();
        }
    }

    movie.SetLastAction("Pasted node at cell " + At(movie.SelCol, movie.SelRow));
    movie.txtRecords.SetLine(field::Id, std::to_string(movie.NextNodeID));
    movie.txtRecords.SetLine(field::Column, std::to_string(movie.SelCol));
    movie.txtRecords.SetLine(field::Row, std::to_string(movie.SelRow));
    const std::string tag = source->tag;
    const std::string note = source->note;
    const bool hasNote = source->HasNote();

    EditResult result;
    result.added.push_back(
        movie.AppendRecord(tag, movie.SelCol, movie.SelRow, movie.txtRecords.FieldText(), note));
    movie.nodeStore.ShowFirst(result.added.back());
    std::string head(1, info.head);
    if (hasNote) head += kNoteMark;
    movie.strTimeline.SetCell(movie.SelCol, movie.SelRow, head);
    if (info.continuation != '\0') {
        for (int c = movie.SelCol + 1; c <= movie.SelCol + cells - 1; ++c) {
            movie.strTimeline.SetCell(c, movie.SelRow, std::string(1, info.continuation));
        }
    }
    context.hooks.RepaintTimeline();
    result.changed = true;
    return result;
}

EditResult DistributeOverSelectedRange(EditContext& context) {
    Movie& movie = context.movie;
    if (!SelectedIsHead(movie)) return EditResult::Unchanged();
    switch (SelectedCode(movie).First()) {
        case 'S':
            if (!context.notices.AskYes(
                    "Distributing a Script will make multiple occurances not a duration. Continue?")) {
                return EditResult::Unchanged();
            }
            break;
        case 'E':
            if (!context.notices.AskYes(
                    "Distributing an Effect will make multiple occurances not a duration. Continue?")) {
                return EditResult::Unchanged();
            }
            break;
        case 'X':
            context.notices.Refuse("You cannot extend a Movie Stop node");
            return EditResult::Unchanged();
        case 'G':
            context.notices.Refuse("You cannot extend a Replay Start node");
            return EditResult::Unchanged();
        default:
            break;
    }
    EditResult result = HandToTimeline(movie, PendingGridOp::Tween);
    context.hooks.RepaintTimeline();
    return result;
}

EditResult DistributeToEndOrNextNode(EditContext& context) {
    Movie& movie = context.movie;
    const CellCode code = SelectedCode(movie);
    if (code.Empty() || code.First() != 'E') return EditResult::Unchanged();

    context.notices.Inform(
        "This may take some time so please be patient, at times Kinoloop may appear to have crashed, it "
        "hasn't, "
        "just sit tight");
    context.notices.Progress("Distributing Effect, Please Wait");

    // The effect's own fields, whatever the buffer held before.
    const NodeText* effect = movie.nodeStore.Find(movie.SelCol, movie.SelRow);
    if (effect == nullptr) return EditResult::Unchanged();
    movie.txtRecords.Load(effect->fieldText);

    EditResult result;
    const int last = movie.strTimeline.ColumnCount() - 5;
    for (int c = movie.SelCol + 1; c <= last; ++c) {
        if (!movie.strTimeline.Code(c, movie.SelRow).Empty()) break;
        movie.txtRecords.SetLine(field::Id, std::to_string(movie.NextNodeID));
        movie.txtRecords.SetLine(field::Column, std::to_string(c));
        result.added.push_back(movie.AppendRecord(KindInfo(NodeKind::Effect).tag, c, movie.SelRow,
                                                  movie.txtRecords.FieldText()));
        movie.nodeStore.ShowFirst(result.added.back());
        movie.strTimeline.SetCell(c, movie.SelRow, "E");
        context.hooks.ProcessEvents();
    }
    context.hooks.RepaintTimeline();
    result.changed = !result.added.empty();
    return result;
}

}  // namespace kinoloop
