#pragma once
// The sound-input recorder: PCM 22050 Hz, 16 bit, stereo from a PulseAudio source into memory, saved as a
// WAVE file. While it records from a monitor source it plays silence into that source's sink: a monitor sends
// nothing while its sink is idle, and a recording of N seconds must hold N seconds of samples whatever plays.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio/wave_file.h"

struct pa_stream;

namespace kinoloop {

class PulseConnection;

class WaveRecorder {
public:
    static constexpr WaveFormat kFormat{22050, 2, 16};

    WaveRecorder();
    ~WaveRecorder();
    WaveRecorder(const WaveRecorder&) = delete;
    WaveRecorder& operator=(const WaveRecorder&) = delete;

    // The source to record ("" = the server's default source); taken at the next Prepare.
    void SetSource(std::string name) { source_ = std::move(name); }
    const std::string& Source() const { return source_; }

    // Connects, opens the streams and waits until samples flow (up to 3 s: a monitor of an idle sink takes
    // nearly 2 s), so that Start is immediate. A render calls it while it prepares. Returns "" or what
    // failed.
    std::string Prepare();
    // Empties the store and starts keeping samples (preparing first when needed, which may wait as Prepare
    // does). The recording's clock starts when it returns. Returns "" or what failed.
    std::string Start();
    // Stops keeping samples and closes the streams; the store stays until Clear or the next Start.
    void Stop();
    bool Recording() const;

    // What the store holds.
    std::int64_t LengthMs() const;
    std::int64_t FrameCount() const;
    std::vector<std::uint8_t> Samples() const;
    std::string SaveWav(const std::filesystem::path& file) const;
    void Clear();

private:
    struct Streams;
    static void OnRead(::pa_stream* stream, std::size_t bytes, void* self);
    static void OnWrite(::pa_stream* stream, std::size_t bytes, void* self);
    std::string OpenStreams();
    std::string WaitForFirstSamples();
    void CloseStreams();
    void CloseStreamsLocked();  // with the connection's loop locked

    std::string source_;
    std::unique_ptr<PulseConnection> connection_;
    std::unique_ptr<Streams> streams_;
    mutable std::mutex mutex_;
    std::vector<std::uint8_t> store_;
    bool keeping_ = false;
    bool flowing_ = false;  // the record stream has delivered its first samples
    std::chrono::steady_clock::time_point startedAt_;
};

}  // namespace kinoloop
