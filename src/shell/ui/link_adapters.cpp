#include "shell/ui/link_adapters.h"

#include <QScrollBar>
#include <chrono>

#include "link/event_wait.h"
#include "model/ui/node_properties_panel.h"
#include "model/ui/timeline_grid_view.h"

namespace kinoloop {

bool PanelForLink::CameraPanelVisible() const { return panel_.ShownKind() == 'C'; }
bool PanelForLink::ReplayPanelVisible() const { return panel_.ShownKind() == 'R'; }
void PanelForLink::ShowNodeProperties(char kind) { panel_.ShowNodeProperties(kind); }
void PanelForLink::SetPropertiesLabel(const std::string& text) { panel_.SetPropertiesLabel(QString::fromStdString(text)); }
void PanelForLink::ShowTrackName(const std::string& track, const std::string& picturePath) {
    panel_.ShowTrackName(QString::fromStdString(track), QString::fromStdString(picturePath));
}
void PanelForLink::RefreshReplayStarts() { panel_.RefreshReplayStarts(); }

void TimelineForLink::Repaint() { view_.viewport()->repaint(); }
void TimelineForLink::ScrollToColumn(int column) { view_.horizontalScrollBar()->setValue(column); }
int TimelineForLink::VisibleColumns() const { return view_.WholeVisibleColumns(); }

bool LinkCameraWait::WaitForCamera() {
    LinkState& state = link_.state();
    state.AwaitingCamera = true;
    link_.handler().SendValuePacket("SST", 0);
    if (!link_.IsActive()) link_.Start();
    const WaitOutcome outcome = ServeEventsUntil([&state] { return !state.AwaitingCamera; }, {},
                                          std::chrono::seconds(kCameraWaitSeconds));
    state.AwaitingCamera = false;
    return outcome == WaitOutcome::Done;
}

}  // namespace kinoloop
