#include "audio/wave_recorder.h"

#include <pulse/pulseaudio.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "audio/pulse_connection.h"

namespace kinoloop {
namespace {

constexpr pa_sample_spec kSpec{PA_SAMPLE_S16LE, WaveRecorder::kFormat.sampleRate,
                               WaveRecorder::kFormat.channels};
// Fragments of 20 ms keep the last samples before Stop from being lost in the server's buffer.
constexpr std::uint32_t kFragmentBytes = kSpec.rate * 4 / 50;
// How long Prepare waits for the first samples before it gives up.
constexpr auto kFirstSamplesTimeout = std::chrono::seconds(3);
// How long Stop waits for samples that were recorded before it but not yet delivered.
constexpr auto kLastSamplesWait = std::chrono::milliseconds(150);

struct SourceAnswer {
    const PulseConnection* connection;
    bool found = false;
    std::string name;
    std::uint32_t monitorOfSink = PA_INVALID_INDEX;
};

}  // namespace

struct WaveRecorder::Streams {
    pa_stream* record = nullptr;
    pa_stream* keepAwake = nullptr;
};

WaveRecorder::WaveRecorder() = default;

WaveRecorder::~WaveRecorder() {
    Stop();
}

void WaveRecorder::OnRead(pa_stream* stream, std::size_t, void* self) {
    auto* recorder = static_cast<WaveRecorder*>(self);
    const void* data = nullptr;
    std::size_t bytes = 0;
    while (pa_stream_readable_size(stream) > 0) {
        if (pa_stream_peek(stream, &data, &bytes) < 0 || bytes == 0) return;
        {
            std::lock_guard lock(recorder->mutex_);
            recorder->flowing_ = true;
            if (recorder->keeping_) {
                // A hole in the server's buffer is time that passed: it becomes silence, never a gap.
                if (data == nullptr) {
                    recorder->store_.insert(recorder->store_.end(), bytes, 0);
                } else {
                    const auto* begin = static_cast<const std::uint8_t*>(data);
                    recorder->store_.insert(recorder->store_.end(), begin, begin + bytes);
                }
            }
        }
        pa_stream_drop(stream);
    }
}

void WaveRecorder::OnWrite(pa_stream* stream, std::size_t bytes, void*) {
    void* buffer = nullptr;
    std::size_t size = bytes;
    if (pa_stream_begin_write(stream, &buffer, &size) < 0 || buffer == nullptr) return;
    std::memset(buffer, 0, size);
    pa_stream_write(stream, buffer, size, nullptr, 0, PA_SEEK_RELATIVE);
}

namespace {

// The source to record and, when it is a monitor, the name of the sink it watches ("" otherwise).
bool FindSource(const PulseConnection& connection, const std::string& wanted, std::string& name,
                std::string& sink) {
    SourceAnswer answer{&connection};
    const char* sourceName = wanted.empty() ? "@DEFAULT_SOURCE@" : wanted.c_str();
    connection.Wait(pa_context_get_source_info_by_name(
        connection.Context(), sourceName,
        [](pa_context*, const pa_source_info* info, int eol, void* userdata) {
            auto* answer = static_cast<SourceAnswer*>(userdata);
            if (eol == 0 && info != nullptr) {
                answer->found = true;
                answer->name = info->name;
                answer->monitorOfSink = info->monitor_of_sink;
            }
            if (eol != 0) answer->connection->Signal();
        },
        &answer));
    if (!answer.found) return false;
    name = answer.name;
    sink.clear();
    if (answer.monitorOfSink == PA_INVALID_INDEX) return true;
    struct SinkAnswer {
        const PulseConnection* connection;
        std::string* name;
    } sinkAnswer{&connection, &sink};
    connection.Wait(pa_context_get_sink_info_by_index(
        connection.Context(), answer.monitorOfSink,
        [](pa_context*, const pa_sink_info* info, int eol, void* userdata) {
            auto* sinkAnswer = static_cast<SinkAnswer*>(userdata);
            if (eol == 0 && info != nullptr) *sinkAnswer->name = info->name;
            if (eol != 0) sinkAnswer->connection->Signal();
        },
        &sinkAnswer));
    return true;
}

}  // namespace

std::string WaveRecorder::Prepare() {
    if (std::string error = OpenStreams(); !error.empty()) return error;
    return WaitForFirstSamples();
}

std::string WaveRecorder::WaitForFirstSamples() {
    // A sink that was idle sends its first block to the monitor only after a while (about 1.8 s for a null
    // sink); the recording's clock starts with the first samples.
    const auto deadline = std::chrono::steady_clock::now() + kFirstSamplesTimeout;
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (flowing_) return {};
        }
        if (std::chrono::steady_clock::now() > deadline) {
            CloseStreams();
            return "The recording device \"" + (source_.empty() ? std::string("default") : source_) +
                   "\" sends no sound.";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

std::string WaveRecorder::OpenStreams() {
    if (streams_) return {};
    if (!connection_ || !connection_->Alive()) {
        connection_.reset();
        std::string error;
        connection_ = PulseConnection::Connect("Kinoloop recorder", error);
        if (!connection_) return error;
    }
    PulseConnection& connection = *connection_;
    PulseConnection::Lock lock(connection);

    std::string sourceName;
    std::string sinkName;
    if (!FindSource(connection, source_, sourceName, sinkName)) {
        return "There is no recording device \"" + (source_.empty() ? std::string("default") : source_) +
               "\".";
    }
    {
        std::lock_guard storeLock(mutex_);
        flowing_ = false;
    }
    streams_ = std::make_unique<Streams>();

    streams_->record = pa_stream_new(connection.Context(), "Kinoloop recording", &kSpec, nullptr);
    if (streams_->record == nullptr) {
        streams_.reset();
        return "Cannot open a recording stream: " + connection.LastError() + ".";
    }
    pa_stream_set_read_callback(streams_->record, &WaveRecorder::OnRead, this);
    pa_buffer_attr attributes;
    attributes.maxlength = attributes.tlength = attributes.prebuf = attributes.minreq =
        static_cast<std::uint32_t>(-1);
    attributes.fragsize = kFragmentBytes;
    if (pa_stream_connect_record(streams_->record, sourceName.c_str(), &attributes,
                                 PA_STREAM_ADJUST_LATENCY) < 0) {
        const std::string error =
            "Cannot record from \"" + sourceName + "\": " + connection.LastError() + ".";
        CloseStreamsLocked();
        return error;
    }

    if (!sinkName.empty()) {
        // A short buffer keeps the sink rendering in small blocks, so that its monitor delivers steadily and
        // nothing recorded waits in a large block when the recording stops.
        streams_->keepAwake =
            pa_stream_new(connection.Context(), "Kinoloop recording (silence)", &kSpec, nullptr);
        if (streams_->keepAwake != nullptr) {
            pa_stream_set_write_callback(streams_->keepAwake, &WaveRecorder::OnWrite, this);
            pa_buffer_attr silence;
            silence.maxlength = silence.prebuf = silence.minreq = silence.fragsize =
                static_cast<std::uint32_t>(-1);
            silence.tlength = kFragmentBytes;
            pa_stream_connect_playback(streams_->keepAwake, sinkName.c_str(), &silence,
                                       PA_STREAM_ADJUST_LATENCY, nullptr, nullptr);
        }
    }
    return {};
}

std::string WaveRecorder::Start() {
    if (std::string error = Prepare(); !error.empty()) return error;
    std::lock_guard lock(mutex_);
    store_.clear();
    keeping_ = true;
    startedAt_ = std::chrono::steady_clock::now();
    return {};
}

void WaveRecorder::CloseStreamsLocked() {
    if (!streams_) return;
    for (pa_stream* stream : {streams_->record, streams_->keepAwake}) {
        if (stream == nullptr) continue;
        pa_stream_set_read_callback(stream, nullptr, nullptr);
        pa_stream_set_write_callback(stream, nullptr, nullptr);
        pa_stream_disconnect(stream);
        pa_stream_unref(stream);
    }
    streams_.reset();
}

void WaveRecorder::CloseStreams() {
    if (!streams_ || !connection_) return;
    PulseConnection::Lock lock(*connection_);
    CloseStreamsLocked();
}

void WaveRecorder::Stop() {
    bool wasKeeping = false;
    {
        std::lock_guard lock(mutex_);
        wasKeeping = keeping_;
    }
    if (wasKeeping && streams_) {
        // The samples of the last moments before Stop are still on their way from the server: wait for them,
        // up to the time the server may hold them.
        const auto wanted = std::chrono::steady_clock::now() - startedAt_;
        const auto deadline = std::chrono::steady_clock::now() + kLastSamplesWait;
        const auto wantedFrames = std::chrono::duration<double>(wanted).count() * kFormat.sampleRate;
        while (std::chrono::steady_clock::now() < deadline &&
               static_cast<double>(FrameCount()) < wantedFrames) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    {
        std::lock_guard lock(mutex_);
        keeping_ = false;
    }
    CloseStreams();
}

bool WaveRecorder::Recording() const {
    std::lock_guard lock(mutex_);
    return keeping_;
}

std::int64_t WaveRecorder::FrameCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<std::int64_t>(store_.size() / kFormat.BytesPerFrame());
}

std::int64_t WaveRecorder::LengthMs() const {
    return FrameCount() * 1000 / kFormat.sampleRate;
}

std::vector<std::uint8_t> WaveRecorder::Samples() const {
    std::lock_guard lock(mutex_);
    return store_;
}

std::string WaveRecorder::SaveWav(const std::filesystem::path& file) const {
    return WriteWaveFile(file, kFormat, Samples());
}

void WaveRecorder::Clear() {
    std::lock_guard lock(mutex_);
    store_.clear();
    store_.shrink_to_fit();
}

}  // namespace kinoloop
