#pragma once
// Kinoloop's side of the conversation with the simulator, without sockets or timers: the send operations, the
// receive handler `UdpServerRead` and the playback hand-offs. The engine feeds it datagrams and gives it a
// sender; tests and the fuzzer drive it directly.
#include <array>
#include <cstdint>
#include <string>

#include "link/link_ports.h"
#include "link/packets.h"
#include "link/window_host.h"
#include "model/movie.h"
#include "shell/settings.h"

namespace kinoloop {

// The link state shared with replay control and playback.
struct LinkState {
    NativeWindow SimulatorWindow = 0;
    bool Playing = false;
    bool ReplayRequested = false;
    bool AwaitingCamera = false;
    std::array<std::uint8_t, packet::kOutSimSize> OutSimData{};
    std::array<std::uint8_t, packet::kCppSize> LastCameraPacket{};
};

inline constexpr const char* kPropertiesLabel = "Properties";

// round((1 / fps) x 100) in single precision: 4 at 25 fps, 3 at 30 fps.
int StepHundredthsFor(int fps);

class LinkHandler : public CameraSender {
public:
    // The movie's camera sender becomes this handler. Settings are read at each use (fps, local port, admin).
    LinkHandler(Movie& movie, const TSettings& settings, DatagramSender& sender, const LinkPorts& ports = {});
    ~LinkHandler() override;
    LinkHandler(const LinkHandler&) = delete;
    LinkHandler& operator=(const LinkHandler&) = delete;

    void SetPorts(const LinkPorts& ports);
    const LinkPorts& Ports() const { return ports_; }

    LinkState state;
    Movie& movie() { return movie_; }
    const TSettings& settings() const { return settings_; }

    // Senders.
    void SendValuePacket(std::string_view tag, std::int32_t value);
    void SendInSimInit();
    // "CPP" from the camera node in txtRecords; abandoned silently when a line does not convert.
    void SendCameraPacket();
    void SendMessagePacket(std::string_view tag, std::string_view text);
    void SendKeyPacket(std::uint8_t key, std::uint8_t flags);
    void SendStateFlagPacket(std::string_view tag, std::uint16_t flag, std::uint8_t onOff);
    // Scripts send the last camera unchanged.
    void SendLastCameraPacket();
    void SendCamera(const FieldBuffer& fields) override;

    // "ACK" with the value; one "NPL" request for each player id 0 to 255.
    void AckPacket(std::uint16_t value);
    void RequestPlayers();

    // The receive handler. Returns the kind the datagram was taken as (Dropped when it was dropped). It never
    // waits or spins the event loop, so it can run inside any wait.
    Received UdpServerRead(ByteView datagram);

    void ResumePlayback();
    void HaltPlayback();
    // `StepSimulator`: "STP" with the hundredths and the properties label.
    void StepSimulator(int hundredths);
    // `tmrGetCameraTimer`.
    void PollCamera();
    // "Reconnect": "ISI" again, nothing else.
    void Reconnect() { SendInSimInit(); }

private:
    void HandleState(ByteView record);
    void HandleCamera(ByteView record);
    void Send(const Datagram& bytes) { sender_.SendDatagram(bytes); }
    bool FrameIsRequested() const { return movie_.CurrentFrame == -1.0f; }

    Movie& movie_;
    const TSettings& settings_;
    DatagramSender& sender_;
    OnOffSwitch ownClock_;
    OnOffSwitch ownPoller_;
    LinkPorts ports_;
    ReceivedRecords records_;
};

}  // namespace kinoloop
