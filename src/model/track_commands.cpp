#include "model/track_commands.h"

#include <map>

#include "model/field_text.h"

namespace kinoloop {

namespace {

bool IsTrack(const Movie& movie, int row) {
    return row >= 1 && row < movie.strTracks.RowCount();
}

// Gives records new rows, in the record and in field 2 of its text, and keeps the node field buffer pointing
// at the node it shows, so that a property edit after the move still reaches that node.
void RenumberRows(Movie& movie, const std::map<int, int>& newRows) {
    for (NodeText& record : movie.nodeStore.MutableRecords()) {
        const auto moved = newRows.find(record.row);
        if (moved == newRows.end()) continue;
        record.row = moved->second;
        std::vector<std::string> fields = SplitFields(record.fieldText);
        if (fields.size() > static_cast<std::size_t>(field::Row)) {
            fields[field::Row] = std::to_string(record.row);
            record.fieldText = JoinFields(fields).substr(0, NodeText::kFieldTextMax);
        }
    }
    if (const auto bufferRow = ParseInt(movie.txtRecords.Line(field::Row))) {
        const auto moved = newRows.find(*bufferRow);
        if (moved != newRows.end()) movie.txtRecords.SetLine(field::Row, std::to_string(moved->second));
    }
}

EditResult Changed() {
    EditResult result;
    result.changed = true;
    result.tracksChanged = true;
    return result;
}

EditResult SwapWith(Movie& movie, int other, const char* direction) {
    const int track = movie.SelTrack;
    const std::string name = movie.strTracks.At(track).name;
    movie.strTimeline.SwapTracks(track, other);
    movie.strTracks.SwapRows(track, other);
    RenumberRows(movie, {{track, other}, {other, track}});
    movie.SelTrack = other;
    movie.SetLastAction("Moved track " + name + " " + direction);
    return Changed();
}

}  // namespace

int AppendTrack(Movie& movie, const std::string& name) {
    const int row = movie.strTracks.RowCount();
    movie.strTimeline.SetRowCount(row + 1);  // the grids' rows are kept in step
    movie.strTimeline.ClearTrack(row);
    movie.strTracks.InsertRow(row, TrackGrid::Row{name, "", ""});
    return row;
}

EditResult AddTrack(Movie& movie) {
    AppendTrack(movie, TrackGrid::kNewTrackName);
    movie.SetLastAction("Added new track");
    return Changed();
}

EditResult DeleteTrack(Movie& movie, Notices& notices) {
    const int track = movie.SelTrack;
    if (!IsTrack(movie, track)) return EditResult::Unchanged();
    const std::string name = movie.strTracks.At(track).name;
    if (!notices.AskYes("Delete Track: " + name + "?")) return EditResult::Unchanged();

    EditResult result = Changed();
    auto& records = movie.nodeStore.MutableRecords();
    for (auto it = records.begin(); it != records.end();) {
        if (it->row == track) {
            result.removed.push_back(it->id);
            it = records.erase(it);
        } else {
            ++it;
        }
    }
    std::map<int, int> up;
    for (int row = track + 1; row < movie.strTracks.RowCount(); ++row) up[row] = row - 1;
    RenumberRows(movie, up);

    if (movie.strTracks.RowCount() > 2) {
        movie.strTimeline.RemoveTrack(track);
        movie.strTracks.RemoveRow(track);
    } else {
        movie.strTimeline.ClearTrack(track);
        movie.strTracks.At(track) = TrackGrid::Row{};
    }
    movie.SelTrack = 0;
    movie.SelRow = 0;
    movie.SetLastAction("Deleted track " + name);
    return result;
}

EditResult MoveTrackUp(Movie& movie) {
    if (movie.SelTrack <= 1 || !IsTrack(movie, movie.SelTrack)) return EditResult::Unchanged();
    return SwapWith(movie, movie.SelTrack - 1, "up");
}

EditResult MoveTrackDown(Movie& movie) {
    if (movie.SelTrack <= 0 || movie.SelTrack >= movie.strTracks.RowCount() - 1)
        return EditResult::Unchanged();
    return SwapWith(movie, movie.SelTrack + 1, "down");
}

EditResult ToggleTrackLock(Movie& movie) {
    if (!IsTrack(movie, movie.SelTrack)) return EditResult::Unchanged();
    TrackGrid::Row& row = movie.strTracks.At(movie.SelTrack);
    if (row.lock == "L") {
        row.lock.clear();
    } else {
        row.lock = "L";
    }
    movie.SetLastAction("Locked track " + row.name);
    return Changed();
}

TrackClickResult ClickTrackGrid(Movie& movie, int row, int column) {
    TrackClickResult click;
    movie.SelTrack = row;
    movie.SelTrackColumn = column;
    movie.SelRow = row;
    click.edit.changed = true;
    if (row != 0 && column == 2) click.edit = ToggleTrackLock(movie);
    click.acceptSelection = column == 0;
    return click;
}

}  // namespace kinoloop
