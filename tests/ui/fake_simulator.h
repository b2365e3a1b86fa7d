#pragma once
// A SimulatorPort that records what the editor asked of the simulator.
#include <string>
#include <vector>

#include "model/ui/simulator_port.h"

namespace kinoloop::testing {

class FakeSimulator : public SimulatorPort {
public:
    bool windowFound = true;
    bool polling = false;
    std::vector<std::string> calls;

    bool WindowFound() const override { return windowFound; }
    void SendCamera() override { calls.push_back("CPP"); }
    void RequestState() override { calls.push_back("SST"); }
    void StartCameraPolling() override {
        polling = true;
        calls.push_back("poll on");
    }
    void StopCameraPolling() override {
        polling = false;
        calls.push_back("poll off");
    }
    bool CameraPolling() const override { return polling; }
};

}  // namespace kinoloop::testing
