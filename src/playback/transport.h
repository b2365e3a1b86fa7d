#pragma once
// The playback transport: finding the movie's replay and its start, Quick Preview, Preview Movie, Debug Movie,
// Stop Playback, the frame clock's tick and the script's own steps of time (`COM_step_time`).
//
// One tick plays one frame F: the simulator is stepped to F's replay time (except on the first frame, which the
// simulator already shows), then the nodes of column F are carried out (so a camera node's camera goes with the
// step of its own frame). Each frame is carried out exactly once, whatever repaints the timeline.
#include <climits>
#include <functional>
#include <optional>
#include <string>

#include "playback/frame_execution.h"
#include "playback/frame_gate.h"
#include "playback/playback_modes.h"
#include "playback/ports.h"
#include "shell/notices.h"

namespace kinoloop {

class Movie;

struct TransportPorts {
    SimulatorPackets* packets = nullptr;  // the simulator as the link sends to it
    ReplayLink* link = nullptr;
    ScriptNodeRunner* scripts = nullptr;
    SoundPlayer* sound = nullptr;
    DebugLog* debug = nullptr;
    PlaybackPump* pump = nullptr;
    Notices* notices = nullptr;
    FrameClockControl* clock = nullptr;
};

// What a running render adds to playback.
class RenderHooks {
public:
    virtual ~RenderHooks() = default;
    virtual void BeforeFrame() = 0;      // a tick is about to play a frame of the film
    virtual void FinishRecording() = 0;  // Stop Playback while rendering
};

struct ReplayStart {
    std::string replayName;
    int replayColumn = 0;
    int replayRow = 0;
    int startFrame = 0;  // S: the column of the replay's start node, 0 without one
};

class Transport {
public:
    static constexpr int kMoveSettleMs = 300;

    Transport(Movie& movie, PlaybackModes& modes, TransportPorts ports, int framesPerSecond);

    void SetFramesPerSecond(int framesPerSecond);
    int FramesPerSecond() const { return fps_; }
    void SetRenderHooks(RenderHooks* hooks) { render_ = hooks; }
    FrameGate& Gate() { return gate_; }
    // The packets every sender during playback should use, so that a render stays frame-exact.
    SimulatorPackets& Packets() { return gatedPackets_; }

    // Commands.
    void QuickPreview1Click();
    void PreviewMovie1Click();
    void DebugMovie1Click();
    void btnStopMovieClick();
    void tmrPlayTimer();

    // Script host: `COM_step_time` and `COM_stop_internal_time`.
    void StepTime(int hundredths);
    void StopInternalTime(bool stop);
    // The two halves of a script's step, for a script host that keeps the step arithmetic itself: the movie's
    // frame moves on (its nodes wait), then the simulator is stepped and the frames reached are carried out, so
    // that a camera node goes with the step of its own frame as on a tick.
    void ScriptAdvance(float frame);
    void ScriptStep(int hundredths);
    float StepRemainder() const { return stepRemainder_; }

    void StepSimulator(int hundredths);
    void ResumePlayback();  // "TMS" 1 and the clock on
    void HaltPlayback();    // the clock off and "TMS" 0

    // The first replay node in column 0 and its start; nothing without a replay node. Each record looked at
    // becomes the selected node, as the search has always shown it.
    std::optional<ReplayStart> FindReplayAndStart();

    // Loads the replay; unless it starts from the beginning, waits until the simulator runs it, freezes its time
    // and steps it to `target` (carrying out the cameras of the frames passed), leaving the time frozen and the
    // clock on, with `CurrentFrame` = target - 1 so that the first tick plays the target frame. False (and
    // LastError) when the replay file is missing or the simulator never reported the replay running.
    bool LoadReplayAndMove(const std::string& replayName, bool fromBeginning, int target);
    const std::string& LastError() const { return lastError_; }
    void SetReplayStartTimeoutMs(int ms) { replayStartTimeoutMs_ = ms; }

    // A frame passed while a replay move steps the simulator (the link's moves call this too).
    void SeekFrame(int frame);

    // Called whenever `CurrentFrame` changes, so that the timeline can repaint and keep it in view.
    std::function<void()> onFrameChanged;

private:
    void StartFrom(const ReplayStart& start);
    void BeginPlayback();
    // Carries out every frame after the last one carried out, up to `frame`; stops playback at a stop node.
    void CarryOutUpTo(int frame, FrameVisit visit);
    void FrameChanged();
    bool HasStopNode() const;

    Movie& movie_;
    PlaybackModes& modes_;
    TransportPorts ports_;
    FrameGate gate_;
    FrameExactPackets gatedPackets_;
    FrameExecutor executor_;
    RenderHooks* render_ = nullptr;
    int fps_ = 25;
    float stepRemainder_ = 0;
    bool needsStep_ = false;
    bool advancePending_ = false;  // the next frame needs a step ("STP") first
    int lastCarriedOut_ = INT_MIN;
    bool stopping_ = false;
    bool moving_ = false;
    int replayStartTimeoutMs_ = 60000;
    std::string lastError_;
};

}  // namespace kinoloop
