#pragma once
// What the script host bridge needs from the link and from playback, as one small interface. Playback
// implements it over the link handler (LinkState, the senders, StepSimulator), the frame clock `tmrPlay`, the
// movie's CurrentFrame with the timeline repaint, and the render capture; knloop-script and the tests
// implement it in memory.
#include <array>
#include <cstdint>
#include <string_view>

#include "link/packets.h"

namespace kinoloop {

using CameraRecord = std::array<std::uint8_t, packet::kCppSize>;     // `LastCameraPacket`, "CPP" layout
using OutSimRecord = std::array<std::uint8_t, packet::kOutSimSize>;  // `OutSimData`

class ScriptSimulator {
public:
    virtual ~ScriptSimulator() = default;

    // The last camera packet, read and changed in place by the "_camera_" names.
    virtual CameraRecord& LastCameraPacket() = 0;
    // The last OutSim packet (zeros before the first).
    virtual const OutSimRecord& OutSimData() const = 0;

    virtual void SendValuePacket(std::string_view tag, std::int32_t value) = 0;
    // Sends the 32 bytes of LastCameraPacket unchanged as one datagram.
    virtual void SendLastCameraPacket() = 0;
    // `StepSimulator`: "STP" with the hundredths.
    virtual void StepSimulator(int hundredths) = 0;

    virtual int Fps() const = 0;  // the frame-rate setting, at least 1

    // The frame clock `tmrPlay`.
    virtual bool FrameClockOn() const = 0;
    virtual void SetFrameClock(bool on) = 0;

    virtual float CurrentFrame() const = 0;
    // CurrentFrame := frame, then the timeline is repainted, which carries out the frame round(frame) while
    // the movie plays.
    virtual void AdvanceFrameTo(float frame) = 0;

    // `Rendering`, and the capture of the simulator's picture into the render's temporary file.
    virtual bool Rendering() const = 0;
    virtual void CaptureFrame() = 0;
};

}  // namespace kinoloop
