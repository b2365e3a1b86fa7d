#pragma once
// Replay control: the replay list, applying a replay to the movie's replay node, loading a replay in the
// simulator and moving it to a frame, and letting its time run again.
#include <atomic>
#include <string>
#include <vector>

#include "link/link_handler.h"
#include "shell/notices.h"

namespace kinoloop {

enum class MoveResult {
    Moved,          // the move ran to its end; the frame clock is on
    Started,        // loaded from the beginning; playback starts with the simulator's report
    FileMissing,    // the replay file does not exist (the user was told)
    Stopped,        // the user stopped playback while the move waited for the simulator
    Busy,           // another command waits: nothing was done
    Refused,        // the user was told why nothing was done, or cancelled
};

class ReplayControl {
public:
    ReplayControl(LinkHandler& link, Notices& notices);

    // The lines of `cmbReplay` for the simulator folder setting.
    std::vector<std::string> FillReplayList() const;
    std::string ReadReplayTrackName(const std::string& name, bool singlePlayer) const;

    // "Apply" and "Scan" of the replay panel with `cmbReplay`'s text.
    void btnApplyReplayClick(const std::string& name);
    void btnScanClick(const std::string& name);

    void LoadReplay(const std::string& name, bool endFirst);
    MoveResult LoadReplayAndMove(const std::string& name, bool play, bool fromBeginning, double target);
    MoveResult MoveForward(bool play, bool pressPauseFirst, double from, double to);
    // "Move LFS Here And..." with the target `CurrentFrame`, `cmbReplay`'s text and playback's `LastPlayedFrame`.
    MoveResult MoveLfsHere(bool play, const std::string& replayName, double lastPlayedFrame);
    // "Un-Freeze": "TMS" 0 and the properties label, nothing else.
    void UnFreeze();

    // Stop Playback calls this: a move that waits for the simulator gives up.
    void StopWaiting() { stopRequested_ = true; }

    static constexpr int kStepPauseMs = 20;
    static constexpr int kEndSettleMs = 1000;
    static constexpr int kPauseSettleMs = 25;

private:
    MoveResult DoLoadReplayAndMove(const std::string& name, bool play, bool fromBeginning, double target);
    MoveResult DoMoveForward(bool play, bool pressPauseFirst, double from, double to);
    // Steps of both moves from the repaint at X - 2 on.
    void FinishMove(bool play, double target);
    void StepFrames(std::int64_t count);
    void ScrollToFirstColumn();

    LinkHandler& link_;
    Notices& notices_;
    std::atomic<bool> stopRequested_ = false;
};

}  // namespace kinoloop
