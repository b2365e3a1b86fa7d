#pragma once
// The main window's parts as the simulator link sees them, and the link as the timeline editor sees it.
#include "link/link_ports.h"
#include "link/udp_link.h"
#include "model/camera_markers.h"
#include "model/ui/simulator_port.h"

namespace kinoloop {

class NodePropertiesPanel;
class TimelineGridView;

// The properties panel for the link: which panel shows, the label, the replay's track.
class PanelForLink : public PropertiesPanel {
public:
    explicit PanelForLink(NodePropertiesPanel& panel) : panel_(panel) {}
    bool CameraPanelVisible() const override;
    bool ReplayPanelVisible() const override;
    void ShowNodeProperties(char kind) override;
    void SetPropertiesLabel(const std::string& text) override;
    void ShowTrackName(const std::string& track, const std::string& picturePath) override;
    void RefreshReplayStarts() override;

private:
    NodePropertiesPanel& panel_;
};

// The timeline grid for replay moves.
class TimelineForLink : public TimelineView {
public:
    explicit TimelineForLink(TimelineGridView& view) : view_(view) {}
    void Repaint() override;
    void ScrollToColumn(int column) override;
    int VisibleColumns() const override;

private:
    TimelineGridView& view_;
};

// The link for the timeline editor: camera sends, state requests, `tmrGetCamera`.
class LinkForEditor : public SimulatorPort {
public:
    explicit LinkForEditor(UdpLink& link) : link_(link) {}
    bool WindowFound() const override { return link_.state().SimulatorWindow != 0; }
    void SendCamera() override { link_.handler().SendCameraPacket(); }
    void RequestState() override { link_.handler().SendValuePacket("SST", 0); }
    void StartCameraPolling() override { link_.Start(); }
    void StopCameraPolling() override { link_.Stop(); }
    bool CameraPolling() const override { return link_.IsActive(); }

private:
    UdpLink& link_;
};

// The camera markers' wait: asks for the simulator's camera and serves events until the reply handler has
// written it into the node in the buffer, at most kCameraWaitSeconds.
class LinkCameraWait : public CameraWait {
public:
    explicit LinkCameraWait(UdpLink& link) : link_(link) {}
    bool WaitForCamera() override;

private:
    UdpLink& link_;
};

}  // namespace kinoloop
