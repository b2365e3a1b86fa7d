#pragma once
// Frame exactness of a render. The simulator draws a new picture some milliseconds after it is stepped ("STP") or
// given a camera ("CPP"). Every change of what the simulator shows leaves one picture pending; the gate captures
// a pending picture exactly once, before the next change goes out (and so before the next step or camera), and
// never sooner than the settle time after the change that made it. The film so holds each replay step once, in
// order, with the camera that was in force at that step.
#include <cstdint>

#include "playback/ports.h"

namespace kinoloop {

class FrameGate {
public:
    explicit FrameGate(PlaybackPump& pump) : pump_(pump) {}

    // While a sink is set (a render records), pending pictures are captured into it.
    void SetSink(RenderCapture* sink) { sink_ = sink; pending_ = false; }
    void SetSettleMs(int ms) { settleMs_ = ms; }
    int SettleMs() const { return settleMs_; }

    // A step or camera has just gone to the simulator.
    void Changed();
    // Call before sending a step or a camera: captures the picture of the last change if it is still pending.
    void CapturePending();
    // The pending picture is not wanted (the frame of a replay stop node ends the film before it).
    void Discard() { pending_ = false; }
    bool Pending() const { return pending_; }

    std::int64_t Captured() const { return captured_; }
    std::int64_t Failed() const { return failed_; }
    std::int64_t SettleWaits() const { return settleWaits_; }

private:
    PlaybackPump& pump_;
    RenderCapture* sink_ = nullptr;
    int settleMs_ = 25;
    bool pending_ = false;
    std::int64_t changedAtMs_ = 0;
    std::int64_t captured_ = 0;
    std::int64_t failed_ = 0;
    std::int64_t settleWaits_ = 0;
};

}  // namespace kinoloop

namespace kinoloop {

// The packets of playback pass through the gate: a step first has the pending picture captured and then leaves
// its own picture pending; a camera leaves the picture pending again from the moment it is sent.
class FrameExactPackets : public SimulatorPackets {
public:
    FrameExactPackets(SimulatorPackets& inner, FrameGate& gate) : inner_(inner), gate_(gate) {}
    void SendValuePacket(const std::string& tag, int value) override;
    void SendMessagePacket(const std::string& text) override { inner_.SendMessagePacket(text); }
    void SendKeyPacket(char key, int flags) override { inner_.SendKeyPacket(key, flags); }
    void SendStateFlagPacket(int flag, int value) override { inner_.SendStateFlagPacket(flag, value); }
    void SendCameraPacket(const FieldBuffer& fields) override;

private:
    SimulatorPackets& inner_;
    FrameGate& gate_;
};

}  // namespace kinoloop
