#include "scripting/memory_simulator.h"

#include <cmath>

namespace kinoloop {

MemorySimulator::MemorySimulator(int fps) : fps_(fps < 1 ? 1 : fps) {
    // The camera a simulator shows before anybody moved it: the default viewed player, 90 degrees of view.
    std::span<std::uint8_t> c(camera_.data(), camera_.size());
    camera_[0] = 'C';
    camera_[1] = 'P';
    camera_[2] = 'P';
    camera_[packet::cpp::ViewPlayer] = 255;
    WriteFloat(c, packet::cpp::Fov, 90.0f);
}

void MemorySimulator::SendValuePacket(std::string_view tag, std::int32_t value) {
    sent_.push_back(std::string(tag) + " " + std::to_string(value));
    if (tag == "SSP") {
        outsimOn_ = value != 0;
        if (outsimOn_) MoveOutSim();
    }
}

void MemorySimulator::SendLastCameraPacket() {
    sent_.push_back("CPP");
    camerasSent_.push_back(camera_);
}

void MemorySimulator::StepSimulator(int hundredths) {
    sent_.push_back("STP " + std::to_string(hundredths));
    timeHundredths_ += hundredths;
    if (outsimOn_) MoveOutSim();
}

void MemorySimulator::AdvanceFrameTo(float frame) {
    currentFrame_ = frame;
    framesCarriedOut_.push_back(static_cast<int>(std::nearbyint(frame)));
}

// A car driving a circle of 50 m radius at 20 m/s: enough motion for a script to follow.
void MemorySimulator::MoveOutSim() {
    std::span<std::uint8_t> o(outsim_.data(), outsim_.size());
    double t = static_cast<double>(timeHundredths_) / 100.0;
    double angle = t * 20.0 / 50.0;
    WriteInt(o, 0, static_cast<std::int32_t>(timeHundredths_ * 10));
    WriteFloat(o, 12, 0.4f);                                                       // angular velocity z
    WriteFloat(o, 16, static_cast<float>(angle));                                  // heading
    WriteFloat(o, 28, static_cast<float>(-8.0 * std::cos(angle)));                 // acceleration x
    WriteFloat(o, 32, static_cast<float>(-8.0 * std::sin(angle)));                 // acceleration y
    WriteFloat(o, 40, static_cast<float>(-20.0 * std::sin(angle)));                // velocity x
    WriteFloat(o, 44, static_cast<float>(20.0 * std::cos(angle)));                 // velocity y
    WriteInt(o, 52, static_cast<std::int32_t>(50.0 * std::cos(angle) * 65536.0));  // position x
    WriteInt(o, 56, static_cast<std::int32_t>(50.0 * std::sin(angle) * 65536.0));  // position y
}

}  // namespace kinoloop
