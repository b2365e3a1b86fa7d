#pragma once
// Wires the timeline's context menu, its shortcuts and the track buttons to the editing commands of the model,
// and does the screen and link work the commands ask for (properties panel, repaints, camera requests, note
// window).
#include <QObject>
#include <functional>

#include "model/camera_markers.h"
#include "model/edit_command.h"

namespace kinoloop {

class Notices;
class NodePropertiesPanel;
class SimulatorPort;
class StatusButtons;
class TfrmNote;
class TimelineEditor;

// The five buttons under the track list.
struct TrackButtons {
    QObject* btnAddRow = nullptr;
    QObject* btnDeleteRow = nullptr;
    QObject* btnMoveUp = nullptr;
    QObject* btnMoveDown = nullptr;
    QObject* btnLock = nullptr;
};

struct TimelineCommandsContext {
    Movie* movie = nullptr;
    Notices* notices = nullptr;
    TimelineEditor* editor = nullptr;
    NodePropertiesPanel* properties = nullptr;
    SimulatorPort* simulator = nullptr;
    TfrmNote* note = nullptr;
    CameraWait* cameraWait = nullptr;
    std::function<bool()> prompts;
    std::function<void()> resetSimulator;  // "/end" after deleting the replay was confirmed
};

class TimelineCommands : public QObject, public EditorHooks, public NoteEditor {
    Q_OBJECT
public:
    TimelineCommands(TimelineCommandsContext context, const TrackButtons& buttons, QObject* parent = nullptr);

    // F9 and "Add Time Marker".
    void AddTimeMarker();
    const CameraMarkers& Markers() const { return markers_; }

    // EditorHooks
    void ShowNodeProperties(char kind) override;
    void ProcessEvents() override;
    void RepaintTimeline() override;
    void RepaintTracks() override;
    void RequestCamera() override;
    void ResetSimulator() override;
    void ShowNoteTooltip(const std::string& note) override;
    // NoteEditor
    std::string EditNote(const std::string& text) override;

private:
    // Runs one command unless another is running, then brings the grids up to date with what it changed.
    void Run(const std::function<EditResult(EditContext&)>& command);
    void Bind(QObject* sender, const std::function<EditResult(EditContext&)>& command);

    TimelineCommandsContext ctx_;
    CameraMarkers markers_;
};

}  // namespace kinoloop
