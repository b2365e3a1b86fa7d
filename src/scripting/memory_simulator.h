#pragma once
// The simulator's side in memory, for knloop-script and the tests: a camera that COM_set_camera "sends" and
// the
// "_camera_" names read, a frozen time that COM_step_time advances, OutSim data that moves with that time, a
// frame clock switch and a current frame. Every packet it would send is recorded as text ("STP 4", "CPP").
#include <string>
#include <vector>

#include "scripting/script_simulator.h"

namespace kinoloop {

class MemorySimulator : public ScriptSimulator {
public:
    explicit MemorySimulator(int fps = 25);

    CameraRecord& LastCameraPacket() override { return camera_; }
    const OutSimRecord& OutSimData() const override { return outsim_; }
    void SendValuePacket(std::string_view tag, std::int32_t value) override;
    void SendLastCameraPacket() override;
    void StepSimulator(int hundredths) override;
    int Fps() const override { return fps_; }
    bool FrameClockOn() const override { return clockOn_; }
    void SetFrameClock(bool on) override { clockOn_ = on; }
    float CurrentFrame() const override { return currentFrame_; }
    void AdvanceFrameTo(float frame) override;
    bool Rendering() const override { return rendering_; }
    void CaptureFrame() override { ++captures_; }

    void SetRendering(bool on) { rendering_ = on; }
    void SetCurrentFrame(float frame) { currentFrame_ = frame; }

    // What was sent, in order; the cameras sent; the simulator's time in hundredths; frames carried out
    // (round(CurrentFrame) at each repaint); captured pictures.
    const std::vector<std::string>& Sent() const { return sent_; }
    const std::vector<CameraRecord>& CamerasSent() const { return camerasSent_; }
    long long SimulatorTime() const { return timeHundredths_; }
    const std::vector<int>& FramesCarriedOut() const { return framesCarriedOut_; }
    int Captures() const { return captures_; }

private:
    void MoveOutSim();

    int fps_;
    CameraRecord camera_{};
    OutSimRecord outsim_{};
    bool outsimOn_ = false;
    bool clockOn_ = false;
    bool rendering_ = false;
    float currentFrame_ = 0;
    long long timeHundredths_ = 0;
    int captures_ = 0;
    std::vector<std::string> sent_;
    std::vector<CameraRecord> camerasSent_;
    std::vector<int> framesCarriedOut_;
};

}  // namespace kinoloop
