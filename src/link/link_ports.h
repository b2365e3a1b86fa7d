#pragma once
// What the link needs from the rest of the program, as small interfaces: the main window implements the panel
// and timeline ones, playback the frame clock, the audio engine the sound stop, the hot-moments window its port
// and the recorder the car-data sink. Every port has an inert default, so tests set only what they observe.
#include <cstddef>
#include <string>

#include "link/packets.h"

namespace kinoloop {

// Sends one whole datagram to the simulator.
class DatagramSender {
public:
    virtual ~DatagramSender() = default;
    virtual void SendDatagram(ByteView bytes) = 0;
};

// `tmrPlay`: the frame clock of playback. Start from a stopped clock begins ticking; Stop is idempotent.
class FrameClock {
public:
    virtual ~FrameClock() = default;
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;
};

// `tmrGetCamera`: asks the simulator for its camera every 750 ms while on.
class CameraPoller {
public:
    virtual ~CameraPoller() = default;
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;
};

// The properties panel as the link reads and drives it.
class PropertiesPanel {
public:
    virtual ~PropertiesPanel() = default;
    virtual bool CameraPanelVisible() const = 0;  // `panCamera`
    virtual bool ReplayPanelVisible() const = 0;  // `panReplay`
    // 'N' clears the panel, 'C' shows the camera node in the node field buffer.
    virtual void ShowNodeProperties(char kind) = 0;
    // `lblPropLabel`, repainted at once.
    virtual void SetPropertiesLabel(const std::string& text) = 0;
    // `lblTrackName` and `imgTrackName` of the replay panel; picture is "" when the track has none.
    virtual void ShowTrackName(const std::string& track, const std::string& picturePath) = 0;
    // `RefreshReplayStarts`.
    virtual void RefreshReplayStarts() = 0;
};

// The timeline grid as replay moves drive it.
class TimelineView {
public:
    virtual ~TimelineView() = default;
    virtual void Repaint() = 0;
    // Makes `column` the first visible column.
    virtual void ScrollToColumn(int column) = 0;
    virtual int VisibleColumns() const = 0;
};

// Carries out the nodes of one frame passed during a replay move while the movie plays (the repaint's second
// job in older designs; playback implements it). Stepping the simulator is the link's, not the runner's.
class FrameRunner {
public:
    virtual ~FrameRunner() = default;
    virtual void RunFrame(int frame) = 0;
};

class SoundStopper {
public:
    virtual ~SoundStopper() = default;
    virtual void StopSound() = 0;
};

// The hot-moments window as the link sees it.
class HotMomentsWindow {
public:
    virtual ~HotMomentsWindow() = default;
    virtual bool IsVisible() const = 0;
    // `btnStopScan` enabled: a scan runs.
    virtual bool ScanRunning() const = 0;
    // Stores the state report and shows the race information.
    virtual void ShowRaceInfo(const StateReport& state) = 0;
    // The window's "RST" record, already merged with the earlier one when the packet was short.
    virtual void StoreRst(const std::array<std::uint8_t, packet::kRstSize>& record) = 0;
    // `lblScanNumber`.
    virtual void ShowScanCount(const std::string& text) = 0;
    // `btnStopScanClick`, which also stops playback.
    virtual void StopScan() = 0;
    // Shows the window topmost and prepares it for the replay.
    virtual void SetupScan(const std::string& replayName) = 0;
};

// The hot-moment recorder: receives the decoded car-position and player records.
class CarDataSink {
public:
    virtual ~CarDataSink() = default;
    // Returns the recorder's sample count afterwards.
    virtual std::size_t AddCarData(int frame, const CarRecords& cars) = 0;
    virtual void AddPlayer(const PlayerRecord& player) = 0;
};

// Handles pending events once ("handle pending messages"); the engine's pump spins the Qt loop.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void ProcessEvents() = 0;
    virtual void Sleep(int milliseconds) = 0;
};

// Remembers on or off and nothing else: the default frame clock and camera poller.
class OnOffSwitch : public FrameClock, public CameraPoller {
public:
    void Start() override { active_ = true; }
    void Stop() override { active_ = false; }
    bool IsActive() const override { return active_; }

private:
    bool active_ = false;
};

// The ports of one link; null members are replaced by inert defaults.
struct LinkPorts {
    FrameClock* frameClock = nullptr;
    CameraPoller* cameraPoller = nullptr;
    PropertiesPanel* panel = nullptr;
    TimelineView* timeline = nullptr;
    FrameRunner* frameRunner = nullptr;
    SoundStopper* sound = nullptr;
    HotMomentsWindow* hotMoments = nullptr;
    CarDataSink* carData = nullptr;
    EventPump* pump = nullptr;

    // Fills the null members with inert objects that report "not visible", "not running", zero; a missing clock
    // or poller becomes the given switch.
    LinkPorts WithDefaults(OnOffSwitch& clock, OnOffSwitch& poller) const;
};

}  // namespace kinoloop
