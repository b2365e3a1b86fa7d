#pragma once
// The one-repaint grid operations "TWEEN", "CUT" and "DELETE". Older designs carried them out while painting
// the visible cells; here they are applied to the model at once over the whole selection, visible or not, so
// that a long selection is never half edited.
#include "model/edit_command.h"

namespace kinoloop {

// Carries out `movie.pendingGridOp` over `movie.selection` for the node at (`SelCol`, `SelRow`), reading and
// clearing `AdjustLength`, and sets the operation back to Null. The node's fields are taken from the store
// (and left in `txtRecords`), so a stale buffer cannot be stored into the node.
EditResult CarryOutPendingGridOp(Movie& movie);

// Hands an operation to the timeline as the editing commands do: sets `AdjustLength` for "DELETE" and
// "TWEEN", sets the operation, carries it out and sets it back to Null. Delete Node of the node library and
// the camera end marker use it with PendingGridOp::Delete.
EditResult HandToTimeline(Movie& movie, PendingGridOp op);

}  // namespace kinoloop
