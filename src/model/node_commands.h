#pragma once
// The commands that create nodes from the timeline's context menu, the time marker (menu item and F9) and
// notes. Each acts on the selected cell (`SelCol`, `SelRow`) and reports through the status line and
// `Notices`.
#include "model/edit_command.h"

namespace kinoloop {

// Add Replay: only in column 0 and only when no replay stands in column 0 (three refusals with their
// messages); then asks whether the replay shall span the timeline.
EditResult AddReplay(EditContext& context);
// Add Camera: all camera fields 0; asks the hooks to request the simulator's camera.
EditResult AddCamera(EditContext& context);
EditResult AddScript(EditContext& context);
EditResult AddEffect(EditContext& context);
EditResult AddSound(EditContext& context);  // "Add Sound File"
EditResult AddReplayStart(EditContext& context);
EditResult AddReplayStop(EditContext& context);  // status text only with prompts on, no hint

// "Add Time Marker" and F9: a marker at round(CurrentFrame) on the "Time Markers" track, which is added at
// the bottom when missing. Changes neither the selection nor the properties panel; an occupied cell adds
// nothing.
EditResult AddTimeMarker(Movie& movie);

// Add Note: edits the note of the node that covers the selected cell and marks its head cell with "n".
EditResult AddNote(EditContext& context, NoteEditor& noteEditor);

}  // namespace kinoloop
