#pragma once
// The buttons under the track list and clicks in the track grid. Each keeps the timeline rows, the track-grid
// rows and the rows of the node records (record and field 2 of its text) in step.
#include "model/edit_command.h"

namespace kinoloop {

// Adds a track with the name at the bottom of both grids, its cells empty; returns its row. No status text.
int AppendTrack(Movie& movie, const std::string& name);

// Add New Track (`btnAddRow`): an empty "Untitled Track" at the bottom; "Added new track".
EditResult AddTrack(Movie& movie);

// Delete Track (`btnDeleteRow`): asks "Delete Track: <name>?"; removes the track's records and row (the only
// track is emptied instead), moves the records below up one row; `SelTrack` and `SelRow` := 0.
EditResult DeleteTrack(Movie& movie, Notices& notices);

// Move Track Up / Down (`btnMoveUp`, `btnMoveDown`): swaps the selected track with its neighbour.
EditResult MoveTrackUp(Movie& movie);
EditResult MoveTrackDown(Movie& movie);

// Lock Track (`btnLock`): toggles the selected track's lock mark "L".
EditResult ToggleTrackLock(Movie& movie);

// `strTracksSelectCell`: selects the clicked track; a click on the lock column of a track toggles its lock.
// Returns whether the click may make the cell current (only column 0 may).
struct TrackClickResult {
    EditResult edit;
    bool acceptSelection = false;
};
TrackClickResult ClickTrackGrid(Movie& movie, int row, int column);

}  // namespace kinoloop
