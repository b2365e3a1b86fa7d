#include "link/link_ports.h"

#include "link/window_host.h"

namespace kinoloop {

namespace {

class InertPanel : public PropertiesPanel {
public:
    bool CameraPanelVisible() const override { return false; }
    bool ReplayPanelVisible() const override { return false; }
    void ShowNodeProperties(char) override {}
    void SetPropertiesLabel(const std::string&) override {}
    void ShowTrackName(const std::string&, const std::string&) override {}
    void RefreshReplayStarts() override {}
};

class InertTimeline : public TimelineView, public FrameRunner, public SoundStopper, public EventPump {
public:
    void Repaint() override {}
    void ScrollToColumn(int) override {}
    int VisibleColumns() const override { return 0; }
    void RunFrame(int) override {}
    void StopSound() override {}
    void ProcessEvents() override {}
    void Sleep(int) override {}
};

class InertHotMoments : public HotMomentsWindow, public CarDataSink {
public:
    bool IsVisible() const override { return false; }
    bool ScanRunning() const override { return false; }
    void ShowRaceInfo(const StateReport&) override {}
    void StoreRst(const std::array<std::uint8_t, packet::kRstSize>&) override {}
    void ShowScanCount(const std::string&) override {}
    void StopScan() override {}
    void SetupScan(const std::string&) override {}
    std::size_t AddCarData(int, const CarRecords&) override { return 0; }
    void AddPlayer(const PlayerRecord&) override {}
};

}  // namespace

LinkPorts LinkPorts::WithDefaults(OnOffSwitch& clock, OnOffSwitch& poller) const {
    static InertPanel panel;
    static InertTimeline timeline;
    static InertHotMoments hot;
    LinkPorts p = *this;
    if (p.frameClock == nullptr) p.frameClock = &clock;
    if (p.cameraPoller == nullptr) p.cameraPoller = &poller;
    if (p.panel == nullptr) p.panel = &panel;
    if (p.timeline == nullptr) p.timeline = &timeline;
    if (p.frameRunner == nullptr) p.frameRunner = &timeline;
    if (p.sound == nullptr) p.sound = &timeline;
    if (p.pump == nullptr) p.pump = &timeline;
    if (p.hotMoments == nullptr) p.hotMoments = &hot;
    if (p.carData == nullptr) p.carData = &hot;
    return p;
}

WindowRect SimulatorPlacement(int panelWidth, int panelHeight, int frameExtraWidth, int frameExtraHeight) {
    WindowRect r;
    r.x = -(frameExtraWidth / 2);
    r.y = 3 * frameExtraWidth - frameExtraHeight;
    r.width = panelWidth + frameExtraWidth;
    r.height = panelHeight + frameExtraHeight - 2 * frameExtraWidth;
    return r;
}

}  // namespace kinoloop
