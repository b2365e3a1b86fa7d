#pragma once
// "Render Movie": the questions, the panel fixed at the video format's size, the interface lock, a Preview Movie
// kind of playback with every frame captured into Mov/temp.tmp, the sound recorder started with the film's first
// frame, and at the stop the sound track, the simulator's sound and size given back, and the film assembled.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "playback/playback_modes.h"
#include "playback/ports.h"
#include "playback/transport.h"
#include "shell/notices.h"

namespace kinoloop {

class Movie;

struct PanelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PanelSize&) const = default;
};
// STD 320 x 240, PAL 352 x 288, NTSC 352 x 240, LRG 512 x 384; any other value (compared exactly): nothing.
std::optional<PanelSize> FormatPanelSize(const std::string& format);

struct RenderPorts {
    SimulatorPackets* packets = nullptr;  // the transport's gated packets
    ReplayLink* link = nullptr;
    SoundPlayer* sound = nullptr;
    PlaybackPump* pump = nullptr;
    Notices* notices = nullptr;
    FrameClockControl* clock = nullptr;
    RenderCapture* capture = nullptr;
    SoundRecorder* recorder = nullptr;
    FilmAssembler* assembler = nullptr;
    RenderPanel* panel = nullptr;
    InterfaceLock* controls = nullptr;
};

struct RenderOutcome {
    enum class State { Declined, Failed, Recording, Finished };
    State state = State::Declined;
    std::filesystem::path film;  // when Finished and saved
    std::string failure;         // when Failed, or Finished without a film
    std::int64_t capturedFrames = 0;
    std::int64_t recordedMs = 0;
    std::int64_t assemblyMs = 0;  // how long the film's assembly took
};

class RenderSession : public RenderHooks {
public:
    RenderSession(Movie& movie, PlaybackModes& modes, Transport& transport, RenderPorts ports);
    ~RenderSession() override;

    void SetVideoFormat(const std::string& format) { format_ = format; }
    void SetMovFolder(std::filesystem::path folder) { movFolder_ = std::move(folder); }

    // The menu command. Returns with recording under way (Recording), or Declined / Failed; a render that cannot
    // start gives the interface back and says why.
    RenderOutcome RenderMovie();
    const RenderOutcome& Outcome() const { return outcome_; }
    // Called once a render has finished (the film assembled or not).
    std::function<void(const RenderOutcome&)> onFinished;

    // RenderHooks
    void BeforeFrame() override;
    void FinishRecording() override;

private:
    RenderOutcome GiveBack(const std::string& reason);
    void FitSound(const std::filesystem::path& track);

    Movie& movie_;
    PlaybackModes& modes_;
    Transport& transport_;
    RenderPorts ports_;
    std::string format_ = "STD";
    std::filesystem::path movFolder_;
    bool recorderStarted_ = false;
    std::string recorderError_;
    RenderOutcome outcome_;
};

}  // namespace kinoloop
