#pragma once
// What the timeline editor asks of the simulator link. The window adapts the link to it, so that the editor's
// widgets never reach UDP code and tests can watch the requests.
namespace kinoloop {

class SimulatorPort {
public:
    virtual ~SimulatorPort() = default;
    // The simulator's window was found (and embedded).
    virtual bool WindowFound() const = 0;
    // "CPP" with the camera in the node field buffer.
    virtual void SendCamera() = 0;
    // "SST": ask the simulator for its state; the reply also brings its camera while polling runs.
    virtual void RequestState() = 0;
    // The camera polling timer `tmrGetCamera`.
    virtual void StartCameraPolling() = 0;
    virtual void StopCameraPolling() = 0;
    virtual bool CameraPolling() const = 0;
};

}  // namespace kinoloop
