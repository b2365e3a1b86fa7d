#include "model/ui/timeline_editor.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QSplitter>

#include "model/field_text.h"
#include "model/movie.h"
#include "model/node_kind.h"
#include "model/timeline_layout.h"
#include "model/ui/node_properties_panel.h"
#include "model/ui/simulator_port.h"
#include "model/ui/timeline_context_menu.h"
#include "model/ui/timeline_grid_view.h"
#include "model/ui/track_grid_view.h"
#include "shell/notices.h"
#include "link/event_wait.h"

namespace kinoloop {

TimelineEditor::TimelineEditor(TimelineEditorContext context, QWidget* parent)
    : QWidget(parent), ctx_(std::move(context)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* splitter = new QSplitter(Qt::Horizontal);
    tracks_ = new TrackGridView;
    timeline_ = new TimelineGridView;
    splitter->addWidget(tracks_);
    splitter->addWidget(timeline_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({170, 800});
    layout->addWidget(splitter);
    menu_ = new TimelineContextMenu(this);
    TrackGridView::LinkScrolling(timeline_, tracks_);

    connect(timeline_, &TimelineGridView::cellSelected, this, &TimelineEditor::SelectCell);
    connect(timeline_, &TimelineGridView::contextMenuAt, this, &TimelineEditor::OpenContextMenu);
    connect(timeline_, &TimelineGridView::selectionDragged, this, [this](int width) {
        if (ctx_.showReadout) ctx_.showReadout(QString::fromStdString(SelectionReadout(width, ctx_.fps ? ctx_.fps() : 25)));
    });
    Reload();
}

void TimelineEditor::Reload() {
    timeline_->SetMovie(ctx_.movie);
    tracks_->SetMovie(ctx_.movie);
}

void TimelineEditor::RefreshGrids() {
    timeline_->GridResized();
    tracks_->Refresh();
}

void TimelineEditor::SelectCell(int column, int row) {
    Movie& m = *ctx_.movie;
    m.SelRow = row;
    m.SelCol = column;
    m.SelTrack = row;
    m.CurrentFrame = static_cast<float>(column);
    timeline_->viewport()->update();
    tracks_->RefreshPictures();
    if (ctx_.frameChanged) ctx_.frameChanged();
    if (row >= 1 && row - 1 < tracks_->rowCount()) tracks_->setCurrentCell(row - 1, 0);

    if (m.strTimeline.Code(column, row).Empty()) {
        timeline_->SetNoteHint(QString(), false);
        m.txtRecords.Clear();
        if (ctx_.simulator != nullptr) ctx_.simulator->StopCameraPolling();
        ctx_.properties->ShowNodeProperties('N');
        QCoreApplication::processEvents();
        return;
    }
    int head = 0;
    if (!m.FindHeadCell(column, row, head)) return;
    m.txtRecords.Load(m.FindNodeText(true, head, row));
    const CellCode code = m.strTimeline.Code(head, row);
    const char letter = code.First();
    ctx_.properties->ShowNodeProperties(letter == 'X' ? 'N' : letter);
    if (letter == 'C' && ctx_.simulator != nullptr) {
        ctx_.simulator->SendCamera();
        QCoreApplication::processEvents();
        // Give the simulator a moment to take the camera before its state is asked for.
        ServeEventsFor(std::chrono::milliseconds(50));
        ctx_.simulator->RequestState();
        if (!ctx_.simulator->CameraPolling()) ctx_.simulator->StartCameraPolling();
    }
    if (code.Length() == 2 && code.Text()[1] == kNoteMark) {
        const NodeText* record = m.nodeStore.Find(head, row);
        if (record == nullptr) {
            QCoreApplication::processEvents();
            return;
        }
        timeline_->SetNoteHint(QString::fromStdString(StoredToNote(record->note)), true);
    }
    QCoreApplication::processEvents();
}

void TimelineEditor::OpenContextMenu(const QPoint& globalPos) {
    if (ctx_.simulator != nullptr && !ctx_.simulator->WindowFound()) {
        ctx_.notices->Inform("Live for Speed doesn't appear to be loaded, some functions of Kinoloop may not work "
                             "properly");
    }
    menu_->ApplyLock(ctx_.movie->strTracks.IsLocked(ctx_.movie->SelTrack));
    menu_->popup(globalPos);
}

}  // namespace kinoloop
