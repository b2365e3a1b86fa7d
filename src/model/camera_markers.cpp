#include "model/camera_markers.h"

#include "model/editing_commands.h"
#include "model/field_text.h"
#include "model/pending_grid_op.h"

namespace kinoloop {
namespace {

constexpr const char* kOnlyCamera = "You can only add a marker to a camera";

bool IsPlainCamera(const Movie& movie) {
    return movie.SelRow != 0 && movie.strTimeline.Cell(movie.SelCol, movie.SelRow) == "C";
}

std::string Cell(int column, int row) { return std::to_string(column) + ":" + std::to_string(row); }

void LoadNode(Movie& movie, int column, int row) {
    movie.txtRecords.Load(movie.FindNodeText(true, column, row));
}

}  // namespace

EditResult AddCameraStartMarker(EditContext& context, CameraMarkers& markers, CameraWait& wait) {
    Movie& movie = context.movie;
    if (!IsPlainCamera(movie)) {
        context.notices.Inform(kOnlyCamera);
        return EditResult::Unchanged();
    }
    LoadNode(movie, movie.SelCol, movie.SelRow);
    markers.startColumn = movie.SelCol + 1;
    markers.startRow = movie.SelRow;
    markers.endColumn = markers.endRow = -1;

    if (const auto id = ParseInt(movie.txtRecords.Line(0))) movie.CopiedNodeID = *id;
    movie.SelCol = markers.startColumn;
    movie.SelRow = markers.startRow;
    EditResult result = PasteNode(context);

    LoadNode(movie, markers.startColumn, markers.startRow);
    if (!wait.WaitForCamera()) {
        context.notices.Inform(kCameraNoReply);
        return result;
    }
    movie.SetLastAction("Added camera start marker " + Cell(markers.startColumn, markers.startRow));
    context.notices.Inform("Start marker set, you can now resume LFS");
    result.changed = true;
    return result;
}

EditResult AddCameraEndMarker(EditContext& context, CameraMarkers& markers, CameraWait& wait) {
    Movie& movie = context.movie;
    if (!IsPlainCamera(movie)) {
        context.notices.Inform(kOnlyCamera);
        return EditResult::Unchanged();
    }
    if (!markers.HasStart()) {
        context.notices.Inform("You must add a start marker first");
        return EditResult::Unchanged();
    }
    if (movie.SelRow != markers.startRow) {
        context.notices.Inform("You must add the stop marker on the same row as the start marker");
        return EditResult::Unchanged();
    }
    markers.endColumn = movie.SelCol;
    markers.endRow = movie.SelRow;
    context.hooks.ShowNodeProperties('C');

    LoadNode(movie, markers.startColumn, markers.startRow);
    if (!wait.WaitForCamera()) {
        // The move is not built: the start marker stays for another try.
        markers.endColumn = markers.endRow = -1;
        context.notices.Inform(kCameraNoReply);
        return EditResult::Unchanged();
    }
    movie.SetLastAction("Added camera stop marker " + Cell(movie.SelCol, movie.SelRow));

    const std::string frames = std::to_string(markers.endColumn - markers.startColumn);
    movie.txtRecords.SetLine(field::Length, frames);
    movie.txtRecords.SetLine(field::CamTime, frames);
    movie.StoreNodeText(movie.txtRecords.FieldText(), markers.startColumn, markers.startRow);
    context.hooks.ShowNodeProperties('N');

    EditResult result = HandToTimeline(movie, PendingGridOp::Delete);
    movie.txtRecords.Clear();
    for (int column = markers.startColumn + 1; column <= markers.endColumn; ++column) {
        movie.strTimeline.SetCell(column, markers.startRow, "c");
    }
    context.hooks.RepaintTimeline();
    markers.Clear();
    result.changed = true;
    return result;
}

}  // namespace kinoloop
