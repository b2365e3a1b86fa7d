#pragma once
// The editing commands of the timeline's context menu: delete, cut, copy, paste and the two distributes.
// Delete, cut and distribute over a range act on the grid's selection (`Movie::selection`) through the
// pending grid operation; the others on the selected cell (`SelCol`, `SelRow`).
#include "model/edit_command.h"

namespace kinoloop {

// Delete (`Delete1`, Delete key): removes the selected node, or shortens it when continuation cells are
// selected; after deleting a replay asks whether to send the simulator back to its main screen
// (hooks.ResetSimulator).
EditResult DeleteSelection(EditContext& context);

// Cut (`Cut1`): empties the node's cells but keeps its record hidden in the store for Paste.
EditResult CutNode(EditContext& context);

// Copy (`Copy1`): remembers the node at the selected cell in `CopiedNodeID`.
EditResult CopyNode(EditContext& context);

// Paste (`Paste1`): a new node from the copied record at the selected cell, with the checks and messages for
// an occupied cell and for too little room. The selection and the properties panel stay as they were.
EditResult PasteNode(EditContext& context);

// Distribute Over Selected Range (`DistributeOverSelectedRange1`): stretches the node at the selected cell
// over the selection's width, or for an effect makes one effect node per selected column.
EditResult DistributeOverSelectedRange(EditContext& context);

// Distribute to End or Next Node (`DistributetoEndorNextNode1`): repeats the selected effect in every free
// column to its right up to the first occupied cell or the end of the movie.
EditResult DistributeToEndOrNextNode(EditContext& context);

}  // namespace kinoloop
