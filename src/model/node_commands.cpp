#include "model/node_commands.h"

#include <algorithm>
#include <functional>

#include "model/field_text.h"
#include "model/node_kind.h"
#include "model/track_commands.h"

namespace kinoloop {

namespace {

std::string At(int column, int row) {
    return std::to_string(column) + ":" + std::to_string(row);
}

// What differs between the add commands; the steps they share are in AddNode.
struct AddSpec {
    NodeKind kind;
    std::function<void(Movie&)> append;        // the kind's Add*Record with a fresh typed record
    std::function<bool(EditContext&)> refuse;  // the kind's own conditions (true: refused, told already)
    std::function<void(EditContext&)> extra;   // after the node is in the buffer, before its properties show
    std::function<void(EditContext&)> afterShow;  // after its properties show
    const char* status;
    const char* hint;  // nullptr: none
};

EditResult AddNode(EditContext& context, const AddSpec& spec) {
    Movie& movie = context.movie;
    if (movie.SelRow < 1 || !movie.strTimeline.Contains(movie.SelCol, movie.SelRow))
        return EditResult::Unchanged();
    if (!movie.strTimeline.Code(movie.SelCol, movie.SelRow).Empty()) return EditResult::Unchanged();
    if (spec.refuse && spec.refuse(context)) return EditResult::Unchanged();

    const NodeKindInfo& info = KindInfo(spec.kind);
    const int column = movie.SelCol;
    const int row = movie.SelRow;
    movie.strTimeline.SetCell(column, row, std::string(1, info.head));
    EditResult result;
    result.changed = true;
    const std::int32_t id = movie.NextNodeID;
    result.added.push_back(id);
    spec.append(movie);
    movie.nodeStore.ShowFirst(id);
    movie.txtRecords.Load(movie.FindNodeText(true, column, row));

    if (spec.extra) spec.extra(context);
    context.hooks.RepaintTimeline();
    context.hooks.ShowNodeProperties(spec.kind == NodeKind::ReplayStop ? 'N' : info.head);
    context.hooks.ProcessEvents();
    if (spec.afterShow) spec.afterShow(context);

    const bool stop = spec.kind == NodeKind::ReplayStop;
    if (!stop || context.prompts) movie.SetLastAction(spec.status + At(column, row));
    if (context.prompts && spec.hint != nullptr) context.notices.Inform(spec.hint);
    return result;
}

bool ReplayInFirstColumn(const Movie& movie) {
    for (const NodeText& record : movie.nodeStore.Records()) {
        if (record.tag == KindInfo(NodeKind::Replay).tag && record.column == 0) return true;
    }
    return false;
}

bool RefuseReplay(EditContext& context) {
    const Movie& movie = context.movie;
    if (movie.SelCol != 0) {
        context.notices.Inform(
            ReplayInFirstColumn(movie)
                ? "There appears to be a replay already set, Kinoloop only supports one replay "
                  "at the moment"
                : "There appears to be no replay at the first column in the timeline. Please add "
                  "one there first");
        return true;
    }
    if (ReplayInFirstColumn(movie)) {
        context.notices.Inform(
            "There is already a replay at this point on the timeline. Please add your replay somewhere else");
        return true;
    }
    return false;
}

// The replay span question: the replay runs to the end of the movie, or up to the first cell of its track
// that another node holds (its cells are never written over).
void AskReplaySpan(EditContext& context) {
    if (!context.notices.AskYes("Would you like Kinoloop to extend the replay span over the length of the "
                                "timeline. (This is recommended) ?")) {
        return;
    }
    Movie& movie = context.movie;
    const int last = movie.strTimeline.ColumnCount() - 5;
    int end = movie.SelCol;
    for (int c = movie.SelCol + 1; c <= last; ++c) {
        if (!movie.strTimeline.Code(c, movie.SelRow).Empty()) break;
        movie.strTimeline.SetCell(c, movie.SelRow, "r");
        end = c;
    }
    // The length counts the continuation cells, as the replay has always stored it.
    movie.txtRecords.SetLine(field::Length, std::to_string(std::max(1, end - movie.SelCol)));
    movie.StoreNodeText(movie.txtRecords.FieldText(), movie.SelCol, movie.SelRow);
}

}  // namespace

EditResult AddReplay(EditContext& context) {
    return AddNode(context, {NodeKind::Replay,
                             [](Movie& m) { m.AddReplayRecord({}); },
                             RefuseReplay,
                             AskReplaySpan,
                             {},
                             "Added new replay node at cell ",
                             "Please select a replay from the list in the properties panel below"});
}

EditResult AddCamera(EditContext& context) {
    return AddNode(context, {NodeKind::Camera,
                             [](Movie& m) { m.AddCameraRecord({}); },
                             {},
                             {},
                             [](EditContext& c) { c.hooks.RequestCamera(); },
                             "Added new camera node at cell ",
                             "Adjust the camera using the options in the properties panel below"});
}

EditResult AddScript(EditContext& context) {
    return AddNode(context, {NodeKind::Script,
                             [](Movie& m) { m.AddScriptRecord({}); },
                             {},
                             {},
                             {},
                             "Added new script node at cell ",
                             "Please select a script from the list in the properties panel below"});
}

EditResult AddEffect(EditContext& context) {
    return AddNode(context,
                   {NodeKind::Effect,
                    [](Movie& m) { m.AddEffectRecord({}); },
                    {},
                    {},
                    {},
                    "Added new effect node at cell ",
                    "Please select an effect from the list in the properties panel below. Configure the "
                    "effect using the effects panel on the right"});
}

EditResult AddSound(EditContext& context) {
    return AddNode(context, {NodeKind::Sound,
                             [](Movie& m) { m.AddSoundRecord({}); },
                             {},
                             {},
                             {},
                             "Added new sound node at cell ",
                             "Please browse for a sound using the properties panel below"});
}

EditResult AddReplayStart(EditContext& context) {
    return AddNode(context, {NodeKind::ReplayStart,
                             [](Movie& m) { m.AddStartRecord({}); },
                             {},
                             {},
                             {},
                             "Added new start node at cell ",
                             "Please select a replay from the list in the properties panel below"});
}

EditResult AddReplayStop(EditContext& context) {
    return AddNode(context, {NodeKind::ReplayStop,
                             [](Movie& m) { m.AddStopRecord({}); },
                             {},
                             {},
                             {},
                             "Added new stop node at cell ",
                             nullptr});
}

EditResult AddTimeMarker(Movie& movie) {
    EditResult result;
    int row = movie.strTracks.FindTrack(TrackGrid::kTimeMarkersTrack);
    if (row == 0) {
        row = AppendTrack(movie, TrackGrid::kTimeMarkersTrack);
        movie.SetLastAction("Added new track");
        result.changed = true;
        result.tracksChanged = true;
    }
    const std::int64_t column = RoundHalfEven(movie.CurrentFrame);
    if (column < 0 || column >= movie.strTimeline.ColumnCount()) return result;
    const int c = static_cast<int>(column);
    if (!movie.strTimeline.Code(c, row).Empty()) return result;

    movie.strTimeline.SetCell(c, row, "M");
    BasicNode marker;
    marker.column = c;
    marker.row = row;
    result.added.push_back(movie.AddMarkerRecord(marker));
    movie.nodeStore.ShowFirst(result.added.back());
    result.changed = true;
    return result;
}

EditResult AddNote(EditContext& context, NoteEditor& noteEditor) {
    Movie& movie = context.movie;
    if (movie.SelRow < 1 || movie.strTimeline.Code(movie.SelCol, movie.SelRow).Empty()) {
        return EditResult::Unchanged();
    }
    const int row = movie.SelRow;
    int headColumn = -1;
    std::int32_t id = 0;
    for (int c = movie.SelCol; c >= 0; --c) {
        const CellCode code = movie.strTimeline.Code(c, row);
        if (code.Empty() || !IsHeadCode(code.First())) continue;
        if (const NodeText* record = movie.nodeStore.Find(c, row)) {
            headColumn = c;
            id = record->id;
            break;
        }
    }
    if (headColumn < 0) return EditResult::Unchanged();

    const std::string stored = noteEditor.EditNote(StoredToNote(movie.nodeStore.FindById(id)->note));
    // The program kept running while the note was typed: the node may have gone meanwhile.
    NodeText* record = movie.nodeStore.FindById(id);
    if (record == nullptr) return EditResult::Unchanged();
    record->note = stored.substr(0, NodeText::kNoteMax);
    const CellCode head = movie.strTimeline.Code(record->column, record->row);
    if (!head.Empty() && IsHeadCode(head.First())) {
        movie.strTimeline.SetCell(record->column, record->row, std::string{head.First(), kNoteMark});
    }
    context.hooks.RepaintTimeline();
    context.hooks.ShowNoteTooltip(StoredToNote(record->note));
    EditResult result;
    result.changed = true;
    return result;
}

}  // namespace kinoloop
