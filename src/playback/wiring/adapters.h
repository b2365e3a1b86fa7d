#pragma once
// Adapters from playback's ports to the program's real parts: the link, replay control, the script runner and
// bridge, the audio object, the recorder, the render capture and the film assembly. Each holds a pointer that
// may be null until the part exists; a missing part is inert.
#include <functional>
#include <vector>

#include "audio/audio_engine.h"
#include "audio/wave_recorder.h"
#include "link/link_ports.h"
#include "link/replay_control.h"
#include "link/udp_link.h"
#include "playback/playback_clock.h"
#include "playback/ports.h"
#include "playback/transport.h"
#include "render/assemble_film.h"
#include "render/capture_session.h"
#include "scripting/script_runner.h"
#include "scripting/script_simulator.h"

namespace kinoloop {

class LinkPackets : public SimulatorPackets {
public:
    explicit LinkPackets(LinkHandler& link) : link_(link) {}
    void SendValuePacket(const std::string& tag, int value) override { link_.SendValuePacket(tag, value); }
    void SendMessagePacket(const std::string& text) override { link_.SendMessagePacket("MST", text); }
    void SendKeyPacket(char key, int flags) override {
        link_.SendKeyPacket(static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(flags));
    }
    void SendStateFlagPacket(int flag, int value) override {
        link_.SendStateFlagPacket("SFP", static_cast<std::uint16_t>(flag), static_cast<std::uint8_t>(value));
    }
    void SendCameraPacket(const FieldBuffer& fields) override { link_.SendCamera(fields); }

private:
    LinkHandler& link_;
};

class LinkReplays : public ReplayLink {
public:
    LinkReplays(LinkHandler& link, ReplayControl& replays) : link_(link), replays_(replays) {}
    bool SimulatorFound() const override { return link_.state.SimulatorWindow != 0; }
    bool Playing() const override { return link_.state.Playing; }
    bool ReplayRequested() const override { return link_.state.ReplayRequested; }
    bool ReplayFileExists(const std::string& replayName) const override;
    void LoadReplay(const std::string& replayName, bool endFirst) override { replays_.LoadReplay(replayName, endFirst); }

private:
    LinkHandler& link_;
    ReplayControl& replays_;
};

// The link starts and stops playback's clock (`ResumePlayback`, `HaltPlayback`, the state handling), and its
// replay moves carry out the frames they pass through the transport; the sound stops when the simulator pauses.
class LinkSideOfPlayback : public FrameClock, public FrameRunner, public SoundStopper {
public:
    LinkSideOfPlayback(PlaybackClock& clock, Transport& transport) : clock_(clock), transport_(transport) {}
    void Start() override { clock_.Start(); }
    void Stop() override { clock_.Stop(); }
    bool IsActive() const override { return clock_.IsActive(); }
    void RunFrame(int frame) override { transport_.SeekFrame(frame); }
    void StopSound() override {
        if (sound) sound->Stop();
    }
    // Sets the clock, the frame runner and the sound stopper of the link's ports.
    void Fill(LinkPorts& ports) {
        ports.frameClock = this;
        ports.frameRunner = this;
        ports.sound = this;
    }
    SoundPlayer* sound = nullptr;

private:
    PlaybackClock& clock_;
    Transport& transport_;
};

class ScriptRunnerPort : public ScriptNodeRunner {
public:
    void Run(const std::vector<std::string>& programLines) override;
    bool HoldsProgram() const override { return runner != nullptr && runner->interpreter().HasText(); }
    bool Running() const override { return runner != nullptr && runner->Running(); }
    void KillScript() override {
        if (runner != nullptr) runner->KillScript();
    }
    ScriptRunner* runner = nullptr;
};

// The script host bridge's view of the simulator during playback: its steps and frame advances go through the
// transport (and so through the render's frame gate); its captures are the gate's to make.
class PlaybackScriptSimulator : public ScriptSimulator {
public:
    PlaybackScriptSimulator(LinkHandler& link, Transport& transport, PlaybackClock& clock, Movie& movie,
                            const PlaybackModes& modes)
        : link_(link), transport_(transport), clock_(clock), movie_(movie), modes_(modes) {}
    CameraRecord& LastCameraPacket() override { return link_.state.LastCameraPacket; }
    const OutSimRecord& OutSimData() const override { return link_.state.OutSimData; }
    void SendValuePacket(std::string_view tag, std::int32_t value) override;
    void SendLastCameraPacket() override;
    void StepSimulator(int hundredths) override { transport_.ScriptStep(hundredths); }
    int Fps() const override { return transport_.FramesPerSecond(); }
    bool FrameClockOn() const override { return clock_.IsActive(); }
    void SetFrameClock(bool on) override;
    float CurrentFrame() const override { return movie_.CurrentFrame; }
    void AdvanceFrameTo(float frame) override { transport_.ScriptAdvance(frame); }
    bool Rendering() const override { return modes_.Rendering; }
    void CaptureFrame() override {}  // the frame gate captures each step's picture before the next change

private:
    LinkHandler& link_;
    Transport& transport_;
    PlaybackClock& clock_;
    Movie& movie_;
    const PlaybackModes& modes_;
};

class AudioPort : public SoundPlayer {
public:
    void Stop() override;
    void PreparePlaylist(Movie& movie) override;
    bool StartSoundNode(const std::string& fieldText) override;
    TAudioObject* audio = nullptr;
};

class RecorderPort : public SoundRecorder {
public:
    std::string Prepare() override { return recorder ? recorder->Prepare() : "no sound recorder"; }
    std::string Start() override { return recorder ? recorder->Start() : "no sound recorder"; }
    void Stop() override {
        if (recorder) recorder->Stop();
    }
    bool Recording() const override { return recorder && recorder->Recording(); }
    std::int64_t LengthMs() const override { return recorder ? recorder->LengthMs() : 0; }
    std::string SaveWav(const std::filesystem::path& file) const override {
        return recorder ? recorder->SaveWav(file) : "no sound recorder";
    }
    void Clear() override {
        if (recorder) recorder->Clear();
    }
    int PlayToRecordDelayMs() const override { return delayMs; }
    WaveRecorder* recorder = nullptr;
    int delayMs = 0;
};

class CapturePort : public RenderCapture {
public:
    std::string Start(const std::filesystem::path& movFolder) override;
    bool CaptureFrame() override;
    void Stop() override;
    std::int64_t CapturedFrameSize() const override { return session ? session->CapturedFrameSize() : 0; }
    std::int64_t CapturedFrameCount() const override { return session ? session->CapturedFrameCount() : 0; }
    std::int64_t WallClockMilliseconds() const override { return session ? session->WallClockMilliseconds() : 0; }
    CaptureSession* session = nullptr;
    // With the session's panel capture the port can look at a picture before appending it: a picture equal to
    // the last one means the simulator has not drawn the step yet (a busy machine delays its repaint), so the
    // port looks again for up to `redrawWaitMs` before it takes the picture as it is.
    PanelCapture* panelCapture = nullptr;
    int redrawWaitMs = 250;
    std::function<PanelPlacement()> placement;  // where the simulator panel is on the screen now
    std::string lastError;
    std::int64_t redrawWaits = 0;     // pictures that had to be taken again
    std::int64_t unchangedFrames = 0;  // pictures still equal to the one before after the wait

private:
    std::vector<std::uint8_t> lastPixels_;
};

class AssemblyPort : public FilmAssembler {
public:
    FilmResult Assemble(const FilmJob& job) override;
    const NodeStore* nodes = nullptr;
    const std::vector<TPlugin>* plugins = nullptr;
    bool watermark = false;
    const FrameImage* watermarkImage = nullptr;
    FilmReporting reporting;
};

}  // namespace kinoloop
