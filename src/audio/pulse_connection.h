#pragma once
// A connection to the PulseAudio server on a thread of its own, with a way to run a request and wait for its
// answer. The recorder and the recording mixer share this; nothing of it reaches callers outside src/audio.
#include <pulse/pulseaudio.h>

#include <memory>
#include <string>

namespace kinoloop {

class PulseConnection {
public:
    // Connects without starting a server; nothing and a message in error when no server answers.
    static std::unique_ptr<PulseConnection> Connect(const char* clientName, std::string& error);
    ~PulseConnection();
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    pa_threaded_mainloop* Loop() const { return loop_; }
    pa_context* Context() const { return context_; }
    bool Alive() const;

    // Waits, with the loop locked, until the operation is done; false when it was cancelled (server gone).
    bool Wait(pa_operation* operation) const;
    // Wakes a waiting caller; callbacks call it when they have their answer.
    void Signal() const { pa_threaded_mainloop_signal(loop_, 0); }
    std::string LastError() const { return pa_strerror(pa_context_errno(context_)); }

    class Lock {
    public:
        explicit Lock(const PulseConnection& connection) : loop_(connection.loop_) {
            pa_threaded_mainloop_lock(loop_);
        }
        ~Lock() { pa_threaded_mainloop_unlock(loop_); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        pa_threaded_mainloop* loop_;
    };

private:
    PulseConnection() = default;
    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
};

}  // namespace kinoloop
