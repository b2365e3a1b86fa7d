// Arbitrary datagrams of 0 to 300 bytes into the classifier, the record copier and the whole receive handler,
// with a camera node shown, a scan running and a replay awaited, so that every branch is reached.
#include <cstddef>
#include <cstdint>

#include "link/link_handler.h"

namespace {

using namespace kinoloop;

class NullSender : public DatagramSender {
public:
    void SendDatagram(ByteView bytes) override { sent += bytes.size(); }
    std::size_t sent = 0;
};

class ShownPanel : public PropertiesPanel {
public:
    bool CameraPanelVisible() const override { return visible; }
    bool ReplayPanelVisible() const override { return false; }
    void ShowNodeProperties(char kind) override { visible = kind == 'C'; }
    void SetPropertiesLabel(const std::string&) override {}
    void ShowTrackName(const std::string&, const std::string&) override {}
    void RefreshReplayStarts() override {}
    bool visible = true;
};

class Scanning : public HotMomentsWindow, public CarDataSink {
public:
    bool IsVisible() const override { return true; }
    bool ScanRunning() const override { return true; }
    void ShowRaceInfo(const StateReport& s) override { sum += s.flags; }
    void StoreRst(const std::array<std::uint8_t, packet::kRstSize>& r) override { sum += r[19]; }
    void ShowScanCount(const std::string& text) override { sum += text.size(); }
    void StopScan() override {}
    void SetupScan(const std::string&) override {}
    std::size_t AddCarData(int frame, const CarRecords& cars) override { return sum += frame + cars[7].plid; }
    void AddPlayer(const PlayerRecord& p) override { sum += p.plid; }
    std::size_t sum = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 300) size = 300;
    const ByteView datagram(data, size);

    ReceivedRecords records;
    const Received kind = records.Copy(datagram);
    if (kind != Classify(datagram)) __builtin_trap();
    if (records.Record().size() != RecordSize(kind)) __builtin_trap();

    static TSettings settings;
    Movie movie;
    movie.ResetTimeline(2, 25);
    movie.AddCameraRecord(CameraNode{});
    movie.txtRecords.Load(movie.FindNodeText(false, 0, 1));
    movie.CurrentFrame = (size & 1) ? -1.0f : 12.0f;
    NullSender sender;
    ShownPanel panel;
    Scanning hot;
    LinkPorts ports;
    ports.panel = &panel;
    ports.hotMoments = &hot;
    ports.carData = &hot;
    LinkHandler handler(movie, settings, sender, ports);
    handler.state.ReplayRequested = (size & 2) != 0;
    handler.UdpServerRead(datagram);
    handler.UdpServerRead(datagram);  // twice: records carried over (RST) must stay sound
    return 0;
}
