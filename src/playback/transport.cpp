#include "playback/transport.h"

#include <cmath>

#include "model/movie.h"
#include "model/node_records.h"
#include "playback/playback_texts.h"

namespace kinoloop {

namespace {

int Rounded(float frame) { return static_cast<int>(RoundHalfEven(static_cast<double>(frame))); }

// Restores a flag when the scope ends, however it ends.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

Transport::Transport(Movie& movie, PlaybackModes& modes, TransportPorts ports, int framesPerSecond)
    : movie_(movie),
      modes_(modes),
      ports_(ports),
      gate_(*ports.pump),
      gatedPackets_(*ports.packets, gate_),
      executor_(movie, modes, FramePorts{&gatedPackets_, ports.scripts, ports.sound, ports.debug, ports.pump}),
      fps_(framesPerSecond < 1 ? 1 : framesPerSecond) {}

void Transport::SetFramesPerSecond(int framesPerSecond) { fps_ = framesPerSecond < 1 ? 1 : framesPerSecond; }

void Transport::FrameChanged() {
    if (onFrameChanged) onFrameChanged();
}

bool Transport::HasStopNode() const {
    for (const NodeText& record : movie_.nodeStore.Records()) {
        if (record.tag == "STP") return true;
    }
    return false;
}

std::optional<ReplayStart> Transport::FindReplayAndStart() {
    const NodeText* replay = nullptr;
    for (const NodeText& record : movie_.nodeStore.Records()) {
        if (record.tag == "REP" && record.column == 0) {
            replay = &record;
            break;
        }
    }
    if (replay == nullptr) return std::nullopt;
    ReplayStart start;
    start.replayColumn = replay->column;
    start.replayRow = replay->row;
    movie_.CurrentFrame = -1;
    movie_.txtRecords.Load(movie_.FindNodeText(true, start.replayColumn, start.replayRow));
    start.replayName = movie_.txtRecords.Line(field::ReplayFile);

    // Copies: FindNodeText may be handed a store that changes while we walk it.
    const std::vector<NodeText> records = movie_.nodeStore.Records();
    for (const NodeText& record : records) {
        if (record.tag != "STT") continue;
        movie_.txtRecords.Load(movie_.FindNodeText(true, record.column, record.row));
        if (movie_.txtRecords.Line(field::StartReplayFile) == start.replayName &&
            movie_.txtRecords.Line(field::StartReplayColumn) == std::to_string(start.replayColumn) &&
            movie_.txtRecords.Line(field::StartReplayRow) == std::to_string(start.replayRow)) {
            start.startFrame = record.column;
            break;
        }
    }
    return start;
}

void Transport::QuickPreview1Click() {
    if (!ports_.link->SimulatorFound() && !ports_.notices->AskYes(playback_text::kNotLoaded)) return;
    modes_.QuickPreviewMode = true;
    modes_.PreviewMode = false;
    ports_.notices->Progress(playback_text::kLoadingReplay);
    ports_.pump->ProcessEvents();
    const std::optional<ReplayStart> start = FindReplayAndStart();
    if (!start) return;
    StartFrom(*start);
}

void Transport::PreviewMovie1Click() {
    if (!ports_.link->SimulatorFound() && !ports_.notices->AskYes(playback_text::kNotLoaded)) return;
    if (!HasStopNode() && !ports_.notices->AskYes(playback_text::kNoStopNodePreview)) return;
    modes_.QuickPreviewMode = false;
    modes_.PreviewMode = true;
    ports_.notices->Progress(playback_text::kLoadingReplay);
    ports_.pump->ProcessEvents();
    const std::optional<ReplayStart> start = FindReplayAndStart();
    if (!start) return;
    ports_.packets->SendMessagePacket("/end");
    ports_.pump->ProcessEvents();
    ports_.pump->Sleep(1000);
    if (ports_.sound != nullptr) ports_.sound->PreparePlaylist(movie_);
    StartFrom(*start);
}

void Transport::StartFrom(const ReplayStart& start) {
    if (start.startFrame == 0) {
        LoadReplayAndMove(start.replayName, true, 0);
        movie_.CurrentFrame = -1;
    } else if (ports_.notices->AskYes(playback_text::kStartFromStartNode)) {
        LoadReplayAndMove(start.replayName, false, start.startFrame);
    } else {
        LoadReplayAndMove(start.replayName, true, start.startFrame);
        movie_.CurrentFrame = -1;
    }
}

void Transport::BeginPlayback() {
    needsStep_ = false;
    advancePending_ = false;
    lastCarriedOut_ = INT_MIN;
}

bool Transport::LoadReplayAndMove(const std::string& replayName, bool fromBeginning, int target) {
    lastError_.clear();
    if (!ports_.link->ReplayFileExists(replayName)) {
        lastError_ = "Replay file '" + replayName + "' was not found";
        ports_.notices->ShowBalloon(kBalloonTitle, std::string(playback_text::kErrorLoadingReplay) + "\n" + lastError_,
                                    BalloonKind::Error, kBalloonShortMs);
        return false;
    }
    ports_.clock->Stop();
    movie_.CurrentFrame = -1;
    BeginPlayback();
    ports_.link->LoadReplay(replayName, true);
    ports_.pump->ProcessEvents();
    ports_.notices->Progress(playback_text::kMovingToPosition);
    ports_.pump->ProcessEvents();
    FrameChanged();
    if (fromBeginning) return true;  // the simulator's report of the running replay starts the clock

    FrameClockControl& clock = *ports_.clock;
    if (!ports_.pump->WaitUntil([&clock] { return clock.IsActive(); }, replayStartTimeoutMs_)) {
        lastError_ = playback_text::kReplayNeverStarted;
        return false;
    }
    // Until the move ends, ticks of a clock that a state report switches on again play nothing.
    FlagScope moving(moving_);
    clock.Stop();
    ports_.packets->SendValuePacket("TMS", 1);
    // A freshly started replay brings a burst of traffic (the player requests after its race start); a step
    // lost in it would put the replay one frame off for the whole playback. Let it pass, then freeze again in
    // case the first freeze was the packet lost, and only then step.
    ports_.pump->Sleep(kMoveSettleMs);
    clock.Stop();
    ports_.packets->SendValuePacket("TMS", 1);
    const int step = StepHundredths(fps_);
    for (int passed = 0; passed < target; ++passed) {
        StepSimulator(step);
        movie_.CurrentFrame += 1;
        SeekFrame(Rounded(movie_.CurrentFrame));
        // No event is served during the move: the simulator's state reports would start the clock under it.
        ports_.pump->Block(20);
    }
    // The simulator now shows the target's replay time with its time frozen. Unlike a move that leaves the
    // replay running on its own ("TMS" 0), playback keeps it frozen: only the clock's steps move it on.
    movie_.CurrentFrame = static_cast<float>(target - 1);
    if (target > 0) lastCarriedOut_ = target - 1;
    FrameChanged();
    ports_.pump->ProcessEvents();
    clock.Stop();
    clock.Start();
    return true;
}

void Transport::SeekFrame(int frame) {
    if (frame <= lastCarriedOut_) return;
    lastCarriedOut_ = frame;
    if (ports_.link->Playing()) modes_.LastPlayedFrame = frame;
    executor_.CarryOutFrame(frame, FrameVisit::Seek);
    FrameChanged();
}

void Transport::StepSimulator(int hundredths) { gatedPackets_.SendValuePacket("STP", hundredths); }

void Transport::ResumePlayback() {
    ports_.packets->SendValuePacket("TMS", 1);
    FrameChanged();
    ports_.clock->Start();
}

void Transport::HaltPlayback() {
    ports_.clock->Stop();
    ports_.packets->SendValuePacket("TMS", 0);
}

void Transport::CarryOutUpTo(int frame, FrameVisit visit) {
    if (!ports_.link->Playing()) return;
    modes_.LastPlayedFrame = frame;
    const int first = lastCarriedOut_ == INT_MIN ? frame : lastCarriedOut_ + 1;
    for (int f = first; f <= frame; ++f) {
        lastCarriedOut_ = f;
        const FrameOutcome outcome = executor_.CarryOutFrame(f, visit);
        if (outcome.stopReached) {
            // The stop node's frame is not part of the film: the film ends with the frame before it.
            gate_.Discard();
            btnStopMovieClick();
            return;
        }
    }
}

void Transport::tmrPlayTimer() {
    if (!ports_.link->ReplayRequested() || moving_) return;
    movie_.CurrentFrame += 1;
    const int frame = Rounded(movie_.CurrentFrame);
    if (modes_.Rendering && render_ != nullptr) render_->BeforeFrame();
    if (needsStep_) {
        StepSimulator(StepHundredths(fps_));
    } else {
        gate_.Changed();  // the first frame is what the simulator shows already
    }
    needsStep_ = true;
    FrameChanged();
    CarryOutUpTo(frame, FrameVisit::Tick);
}

void Transport::StepTime(int hundredths) {
    if (ports_.clock->IsActive()) return;
    stepRemainder_ += static_cast<float>(hundredths);
    const float frameStep = FrameStepHundredths(fps_);
    if (stepRemainder_ >= frameStep) {
        ScriptAdvance(movie_.CurrentFrame + stepRemainder_ / frameStep);
        stepRemainder_ = 0;
    }
    ScriptStep(hundredths);
}

void Transport::ScriptAdvance(float frame) {
    movie_.CurrentFrame = frame;
    advancePending_ = true;
    FrameChanged();
}

void Transport::ScriptStep(int hundredths) {
    StepSimulator(hundredths);
    needsStep_ = true;
    if (advancePending_) {
        advancePending_ = false;
        CarryOutUpTo(Rounded(movie_.CurrentFrame), FrameVisit::Tick);
    }
}

void Transport::StopInternalTime(bool stop) {
    if (stop) {
        ports_.clock->Stop();
    } else {
        ports_.clock->Start();
    }
    stepRemainder_ = 0;
}

void Transport::btnStopMovieClick() {
    if (stopping_) return;
    FlagScope guard(stopping_);
    // The clock stops first, so that no frame is played past the stop while the script is asked to end.
    ports_.clock->Stop();
    if (ports_.scripts != nullptr && ports_.scripts->HoldsProgram()) {
        ports_.scripts->KillScript();
        ports_.pump->ProcessEvents();
        ports_.pump->Sleep(500);
    }
    if (ports_.sound != nullptr) ports_.sound->Stop();
    if (modes_.Rendering && render_ != nullptr) {
        render_->FinishRecording();
        return;
    }
    HaltPlayback();
    ports_.packets->SendKeyPacket('p', 0);
}

void Transport::DebugMovie1Click() {
    modes_.DebugMode = !modes_.DebugMode;
    if (ports_.debug != nullptr) ports_.debug->SetShown(modes_.DebugMode);
}

}  // namespace kinoloop
