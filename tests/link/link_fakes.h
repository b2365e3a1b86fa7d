#pragma once
// Recording stand-ins for the ports of the link: what the handler sent and called, without a window.
#include <filesystem>
#include <string>
#include <vector>

#include "link/link_handler.h"
#include "link/packets.h"

namespace kinoloop::testing {

class RecordingSender : public DatagramSender {
public:
    void SendDatagram(ByteView bytes) override { sent.emplace_back(bytes.begin(), bytes.end()); }
    // "TAG value" for value packets, "SCH p 0", "MST /spr x", "CPP flags=..."; for reading tests at a glance.
    std::vector<std::string> Lines() const;
    std::vector<Datagram> sent;
};

class CountingClock : public FrameClock {
public:
    void Start() override {
        active = true;
        ++starts;
    }
    void Stop() override {
        active = false;
        ++stops;
    }
    bool IsActive() const override { return active; }
    bool active = false;
    int starts = 0;
    int stops = 0;
};

class FakePanel : public PropertiesPanel {
public:
    bool CameraPanelVisible() const override { return cameraVisible; }
    bool ReplayPanelVisible() const override { return replayVisible; }
    void ShowNodeProperties(char kind) override {
        shown.push_back(kind);
        cameraVisible = kind == 'C';
    }
    void SetPropertiesLabel(const std::string& text) override { label = text; }
    void ShowTrackName(const std::string& t, const std::string& picture) override {
        track = t;
        trackPicture = picture;
    }
    void RefreshReplayStarts() override { ++refreshes; }

    bool cameraVisible = false;
    bool replayVisible = false;
    std::string shown;
    std::string label;
    std::string track = "?";
    std::string trackPicture;
    int refreshes = 0;
};

class FakeTimeline : public TimelineView, public FrameRunner, public SoundStopper, public EventPump {
public:
    void Repaint() override { ++repaints; }
    void ScrollToColumn(int column) override { scrolledTo = column; }
    int VisibleColumns() const override { return visibleColumns; }
    void RunFrame(int frame) override { framesRun.push_back(frame); }
    void StopSound() override { ++soundStops; }
    void ProcessEvents() override {}
    void Sleep(int) override {}
    int repaints = 0;
    int scrolledTo = -1;
    int visibleColumns = 20;
    std::vector<int> framesRun;
    int soundStops = 0;
};

class FakeHotMoments : public HotMomentsWindow, public CarDataSink {
public:
    bool IsVisible() const override { return visible; }
    bool ScanRunning() const override { return scanning; }
    void ShowRaceInfo(const StateReport& s) override { states.push_back(s); }
    void StoreRst(const std::array<std::uint8_t, packet::kRstSize>& r) override { rst = r; ++rstCount; }
    void ShowScanCount(const std::string& text) override { scanLabel = text; }
    void StopScan() override { ++stopScans; }
    void SetupScan(const std::string& name) override { setups.push_back(name); }
    std::size_t AddCarData(int frame, const CarRecords& cars) override {
        carFrames.push_back(frame);
        lastCars = cars;
        return carFrames.size();
    }
    void AddPlayer(const PlayerRecord& p) override { players.push_back(p); }

    bool visible = false;
    bool scanning = false;
    std::vector<StateReport> states;
    std::array<std::uint8_t, packet::kRstSize> rst{};
    int rstCount = 0;
    std::string scanLabel;
    int stopScans = 0;
    std::vector<std::string> setups;
    std::vector<int> carFrames;
    CarRecords lastCars{};
    std::vector<PlayerRecord> players;
};

// All the fakes wired into one set of ports.
struct FakePorts {
    CountingClock clock;
    OnOffSwitch poller;
    FakePanel panel;
    FakeTimeline timeline;
    FakeHotMoments hot;
    LinkPorts Ports() {
        LinkPorts p;
        p.frameClock = &clock;
        p.cameraPoller = &poller;
        p.panel = &panel;
        p.timeline = &timeline;
        p.frameRunner = &timeline;
        p.sound = &timeline;
        p.pump = &timeline;
        p.hotMoments = &hot;
        p.carData = &hot;
        return p;
    }
};

// A datagram of `size` bytes beginning with `tag` (up to 4 characters, not zero-terminated when 4).
Datagram Tagged(const std::string& tag, std::size_t size);
Datagram StatePacket(std::uint16_t flags);

// A replay file of `size` bytes with the track name at the given offset.
void WriteReplayFile(const std::filesystem::path& file, std::size_t trackOffset, const std::string& track,
                     std::size_t size = 200);

}  // namespace kinoloop::testing
