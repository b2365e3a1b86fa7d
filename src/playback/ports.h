#pragma once
// What playback needs from the rest of the program, as narrow interfaces. The engine is written against these
// only, so that it can be driven from a test with fakes and wired to the real link, scripting, audio and render
// classes by small adapters.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kinoloop {

class FieldBuffer;
class Movie;

// Packets to the simulator.
class SimulatorPackets {
public:
    virtual ~SimulatorPackets() = default;
    virtual void SendValuePacket(const std::string& tag, int value) = 0;  // "TMS", "STP", "SST", ...
    virtual void SendMessagePacket(const std::string& text) = 0;           // "MST"
    virtual void SendKeyPacket(char key, int flags) = 0;
    virtual void SendStateFlagPacket(int flag, int value) = 0;
    // The camera held in a camera node's fields ("CPP").
    virtual void SendCameraPacket(const FieldBuffer& fields) = 0;
};

// The link's state and its replay commands.
class ReplayLink {
public:
    virtual ~ReplayLink() = default;
    virtual bool SimulatorFound() const = 0;  // `SimulatorWindow` <> 0
    virtual bool Playing() const = 0;
    virtual bool ReplayRequested() const = 0;
    // The replay file in the simulator's data/spr or data/mpr folder.
    virtual bool ReplayFileExists(const std::string& replayName) const = 0;
    // `LoadReplay`: "/end" first when asked, `CurrentFrame` := -1, `ReplayRequested` on, "/spr " or "/mpr ".
    virtual void LoadReplay(const std::string& replayName, bool endFirst) = 0;
};

// The script interpreter as playback uses it; errors of a run are the runner's to swallow.
class ScriptNodeRunner {
public:
    virtual ~ScriptNodeRunner() = default;
    virtual void Run(const std::vector<std::string>& programLines) = 0;
    virtual bool HoldsProgram() const = 0;  // a program text has been given
    virtual bool Running() const = 0;       // a script's Main has not returned yet (it waits in a pause)
    virtual void KillScript() = 0;
};

// The audio object as playback uses it.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void Stop() = 0;
    // Stops the sound and fills the playlist with the file of every sound node.
    virtual void PreparePlaylist(Movie& movie) = 0;
    // Starts the playlist item of the sound node with this field text; false when its file is not listed.
    virtual bool StartSoundNode(const std::string& fieldText) = 0;
};

// The "Timeline Debug" window's list.
class DebugLog {
public:
    virtual ~DebugLog() = default;
    virtual void AddRow(const std::string& action, const std::string& track, int frame) = 0;
    virtual void SetShown(bool shown) = 0;
};

// Waiting on the user-interface thread while timers, packets and clicks go on being served.
class PlaybackPump {
public:
    virtual ~PlaybackPump() = default;
    virtual void ProcessEvents() = 0;
    virtual void Sleep(int milliseconds) = 0;  // serves events meanwhile
    virtual void Block(int milliseconds) = 0;  // serves nothing meanwhile
    // True when the condition came to hold within the time (timeoutMs < 0: no limit).
    virtual bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) = 0;
    virtual std::int64_t NowMs() const = 0;  // a monotonic clock
};

// The render's capture of the simulator panel into Mov/temp.tmp.
class RenderCapture {
public:
    virtual ~RenderCapture() = default;
    virtual std::string Start(const std::filesystem::path& movFolder) = 0;  // "" or what failed
    virtual bool CaptureFrame() = 0;  // captured and appended (counted)
    virtual void Stop() = 0;
    virtual std::int64_t CapturedFrameSize() const = 0;
    virtual std::int64_t CapturedFrameCount() const = 0;
    virtual std::int64_t WallClockMilliseconds() const = 0;
};

// The sound-input recorder.
class SoundRecorder {
public:
    virtual ~SoundRecorder() = default;
    virtual std::string Prepare() = 0;  // opens the streams ahead of Start; "" or what failed
    virtual std::string Start() = 0;
    virtual void Stop() = 0;
    virtual bool Recording() const = 0;
    virtual std::int64_t LengthMs() const = 0;
    virtual std::string SaveWav(const std::filesystem::path& file) const = 0;
    virtual void Clear() = 0;
    // How long a sound played now takes to reach the recording (measured by the audio side).
    virtual int PlayToRecordDelayMs() const = 0;
};

struct FilmJob {
    std::filesystem::path movFolder;
    std::int64_t CapturedFrameSize = 0;
    std::int64_t CapturedFrameCount = 0;
    std::int64_t RecordedSeconds = 0;
    std::int64_t wallClockMilliseconds = 0;
    int framesPerSecond = 25;  // the film's rate: the movie's frame rate
    bool RecordAudio = false;
    std::string MovieFileName;
};

struct FilmResult {
    bool saved = false;
    std::filesystem::path film;
    std::string failure;
};

class FilmAssembler {
public:
    virtual ~FilmAssembler() = default;
    virtual FilmResult Assemble(const FilmJob& job) = 0;
};

// The simulator panel of the main window, fixed at the video format's size while a render runs.
class RenderPanel {
public:
    virtual ~RenderPanel() = default;
    virtual void SetRenderSize(int width, int height) = 0;  // sets `RenderSizeLock`
    virtual void RestoreSize() = 0;                         // clears it and sizes the panel back
};

// The frame clock as the transport and the link's state handling drive it.
class FrameClockControl {
public:
    virtual ~FrameClockControl() = default;
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;
    virtual void SetExactPeriod(bool exact) = 0;
};

// `SetControlsEnabled`.
class InterfaceLock {
public:
    virtual ~InterfaceLock() = default;
    virtual void SetControlsEnabled(bool enabled) = 0;
};

}  // namespace kinoloop
