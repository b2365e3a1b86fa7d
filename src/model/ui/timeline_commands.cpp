#include "model/ui/timeline_commands.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>

#include "link/event_wait.h"
#include "model/editing_commands.h"
#include "model/node_commands.h"
#include "model/track_commands.h"
#include "model/ui/node_properties_panel.h"
#include "model/ui/simulator_port.h"
#include "model/ui/tfrm_note.h"
#include "model/ui/timeline_context_menu.h"
#include "model/ui/timeline_editor.h"
#include "model/ui/timeline_grid_view.h"
#include "model/ui/track_grid_view.h"

namespace kinoloop {

TimelineCommands::TimelineCommands(TimelineCommandsContext context, const TrackButtons& buttons, QObject* parent)
    : QObject(parent), ctx_(std::move(context)) {
    TimelineContextMenu* menu = ctx_.editor->ContextMenu();
    Bind(menu->AddReplay1, AddReplay);
    Bind(menu->AddCamera1, AddCamera);
    Bind(menu->AddScript1, AddScript);
    Bind(menu->AddEffect1, [this](EditContext& c) {
        // The effect panel starts from nothing chosen and zero parameters, so the new node shows them.
        ctx_.properties->ResetEffectEditors();
        return AddEffect(c);
    });
    Bind(menu->AddSound1, AddSound);
    Bind(menu->AddReplayStart1, AddReplayStart);
    Bind(menu->AddMovieStop1, AddReplayStop);
    Bind(menu->AddNote1, [this](EditContext& c) { return AddNote(c, *this); });
    connect(menu->AddTimeMarker1, &QAction::triggered, this, &TimelineCommands::AddTimeMarker);
    Bind(menu->Cut1, CutNode);
    Bind(menu->Copy1, CopyNode);
    Bind(menu->Paste1, PasteNode);
    Bind(menu->Delete1, DeleteSelection);
    Bind(menu->DistributeOverSelectedRange1, DistributeOverSelectedRange);
    Bind(menu->DistributetoEndorNextNode1, DistributeToEndOrNextNode);
    Bind(menu->AddShiftUCameraStartMarker1,
         [this](EditContext& c) { return AddCameraStartMarker(c, markers_, *ctx_.cameraWait); });
    Bind(menu->AddShiftUCameraEndMarker1,
         [this](EditContext& c) { return AddCameraEndMarker(c, markers_, *ctx_.cameraWait); });

    Bind(buttons.btnAddRow, [](EditContext& c) { return AddTrack(c.movie); });
    Bind(buttons.btnDeleteRow, [](EditContext& c) { return DeleteTrack(c.movie, c.notices); });
    Bind(buttons.btnMoveUp, [](EditContext& c) { return MoveTrackUp(c.movie); });
    Bind(buttons.btnMoveDown, [](EditContext& c) { return MoveTrackDown(c.movie); });
    Bind(buttons.btnLock, [](EditContext& c) { return ToggleTrackLock(c.movie); });
    // A click in the track grid selects the track; on the lock column it toggles the lock.
    QObject::disconnect(ctx_.editor->Tracks(), &TrackGridView::trackClicked, ctx_.editor, nullptr);
    connect(ctx_.editor->Tracks(), &TrackGridView::trackClicked, this, [this](int row, int column) {
        Run([row, column](EditContext& c) { return ClickTrackGrid(c.movie, row, column).edit; });
        ctx_.editor->Tracks()->RefreshPictures();
    });
}

void TimelineCommands::Bind(QObject* sender, const std::function<EditResult(EditContext&)>& command) {
    if (auto* action = qobject_cast<QAction*>(sender)) {
        connect(action, &QAction::triggered, this, [this, command] { Run(command); });
    } else if (auto* button = qobject_cast<QAbstractButton*>(sender)) {
        connect(button, &QAbstractButton::clicked, this, [this, command] { Run(command); });
    }
}

void TimelineCommands::Run(const std::function<EditResult(EditContext&)>& command) {
    // A command whose wait serves events must not be entered again by a click made during that wait.
    const CommandScope scope;
    if (!scope.acquired()) return;
    EditContext context{*ctx_.movie, *ctx_.notices, *this, ctx_.prompts ? ctx_.prompts() : true};
    const EditResult result = command(context);
    if (result.tracksChanged) {
        ctx_.editor->RefreshGrids();
    } else if (result.changed) {
        ctx_.editor->Timeline()->viewport()->update();
        ctx_.editor->Tracks()->RefreshPictures();
    }
}

void TimelineCommands::AddTimeMarker() {
    const EditResult result = kinoloop::AddTimeMarker(*ctx_.movie);
    if (result.tracksChanged) {
        ctx_.editor->RefreshGrids();
    } else if (result.changed) {
        ctx_.editor->Timeline()->viewport()->update();
    }
}

void TimelineCommands::ShowNodeProperties(char kind) { ctx_.properties->ShowNodeProperties(kind); }

void TimelineCommands::ProcessEvents() { QCoreApplication::processEvents(); }

void TimelineCommands::RepaintTimeline() {
    ctx_.editor->Timeline()->GridResized();
    ctx_.editor->Timeline()->viewport()->repaint();
}

void TimelineCommands::RepaintTracks() { ctx_.editor->Tracks()->Refresh(); }

void TimelineCommands::RequestCamera() {
    if (ctx_.simulator == nullptr) return;
    ctx_.simulator->RequestState();
    if (!ctx_.simulator->CameraPolling()) ctx_.simulator->StartCameraPolling();
}

void TimelineCommands::ResetSimulator() {
    if (ctx_.resetSimulator) ctx_.resetSimulator();
}

void TimelineCommands::ShowNoteTooltip(const std::string& note) {
    ctx_.editor->Timeline()->SetNoteHint(QString::fromStdString(note), true);
}

std::string TimelineCommands::EditNote(const std::string& text) {
    return ctx_.note->EditNote(QString::fromStdString(text)).toStdString();
}

}  // namespace kinoloop
