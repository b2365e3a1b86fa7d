#include "link/replay_control.h"

#include <filesystem>

#include "link/event_wait.h"
#include "link/replay_files.h"
#include "model/field_text.h"
#include "model/node_records.h"
#include "shell/program_folder.h"

namespace kinoloop {

namespace {
constexpr const char* kLoadingReplay = "Loading Replay, Please Wait";
constexpr const char* kMoving = "Moving to New Position, Please Wait";
constexpr const char* kMovingForward = "Movie to New Position, Please Wait";
}  // namespace

ReplayControl::ReplayControl(LinkHandler& link, Notices& notices) : link_(link), notices_(notices) {}

std::vector<std::string> ReplayControl::FillReplayList() const {
    return ReplayListLines(link_.settings().lfspath);
}

std::string ReplayControl::ReadReplayTrackName(const std::string& name, bool singlePlayer) const {
    return kinoloop::ReadReplayTrackName(link_.settings().lfspath, name, singlePlayer);
}

void ReplayControl::btnApplyReplayClick(const std::string& name) {
    if (!HasReplayExtension(name)) return;
    const LinkPorts& ports = link_.Ports();
    const bool single = IsSinglePlayerReplay(name);
    const std::string track = ReadReplayTrackName(name, single);
    const std::filesystem::path picture = ImgFolder() / (track + ".jpg");
    std::error_code ec;
    const bool hasPicture = !track.empty() && std::filesystem::is_regular_file(picture, ec);
    ports.panel->ShowTrackName(track, hasPicture ? picture.string() : std::string());
    Movie& movie = link_.movie();
    movie.header.MovieTrackName = track;

    FieldBuffer& lines = movie.txtRecords;
    lines.SetLine(field::ReplayFile, name);
    lines.SetLine(field::ReplaySinglePlayer, single ? "-1" : "0");
    const std::optional<std::int32_t> column = ParseInt(lines.Line(field::Column));
    const std::optional<std::int32_t> row = ParseInt(lines.Line(field::Row));
    if (column && row) movie.StoreNodeText(lines.FieldText(), *column, *row);
    ports.panel->ShowNodeProperties('N');

    if (notices_.AskYes("Do you want to scan this replay for Hot Moments now?")) {
        ports.hotMoments->SetupScan(name);
    } else if (notices_.AskYes("Do you want start the replay now?")) {
        LoadReplay(name, true);
    }
    ports.panel->RefreshReplayStarts();
}

void ReplayControl::btnScanClick(const std::string& name) {
    if (!HasReplayExtension(name)) {
        notices_.Inform("Please select a replay to scan and try again");
    } else if (link_.movie().txtRecords.Line(field::ReplayFile) != name) {
        notices_.Inform("Apply the replay and try again");
    } else if (link_.movie().CurrentFrame == -1.0f) {
        notices_.Inform("Please wait until Live for Speed has loaded the replay");
    } else {
        link_.Ports().hotMoments->SetupScan(name);
    }
}

void ReplayControl::ScrollToFirstColumn() { link_.Ports().timeline->ScrollToColumn(0); }

void ReplayControl::LoadReplay(const std::string& name, bool endFirst) {
    notices_.Progress(kLoadingReplay);
    if (endFirst) {
        link_.SendMessagePacket("MST", "/end");
        ProcessPendingEvents();
        ServeEventsFor(std::chrono::milliseconds(kEndSettleMs));
    }
    ScrollToFirstColumn();
    link_.Ports().timeline->Repaint();
    ProcessPendingEvents();
    link_.movie().CurrentFrame = -1;
    link_.state.ReplayRequested = true;
    link_.SendMessagePacket("MST", ReplayLoadCommand(name));
}

MoveResult ReplayControl::LoadReplayAndMove(const std::string& name, bool play, bool fromBeginning, double target) {
    CommandScope command;
    if (!command.acquired()) return MoveResult::Busy;
    return DoLoadReplayAndMove(name, play, fromBeginning, target);
}

MoveResult ReplayControl::DoLoadReplayAndMove(const std::string& name, bool play, bool fromBeginning,
                                              double target) {
    const LinkPorts& ports = link_.Ports();
    const bool single = IsSinglePlayerReplay(name);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(ReplayFolder(link_.settings().lfspath, single) / name, ec)) {
        notices_.ShowBalloon(kBalloonTitle, "Error Loading Replay\nReplay file '" + name + "' was not found",
                             BalloonKind::Error, kBalloonShortMs);
        return MoveResult::FileMissing;
    }
    ports.frameClock->Stop();
    link_.movie().CurrentFrame = -1;
    link_.state.ReplayRequested = true;
    stopRequested_ = false;

    LoadReplay(name, true);
    // A report handled while "/end" settled was about the replay before; only one that follows the load
    // command may end the wait below.
    ports.frameClock->Stop();
    ProcessPendingEvents();
    notices_.Progress(kMoving);
    ProcessPendingEvents();
    if (fromBeginning) {
        ScrollToFirstColumn();
        return MoveResult::Started;
    }

    // The state handler starts the frame clock when the simulator reports the replay running. Waiting does not
    // end on its own; Stop Playback ends it.
    const WaitOutcome outcome =
        ServeEventsUntil([&] { return ports.frameClock->IsActive(); }, [&] { return stopRequested_.load(); });
    if (outcome != WaitOutcome::Done) return MoveResult::Stopped;

    ports.frameClock->Stop();
    link_.SendValuePacket("TMS", 1);
    ports.panel->SetPropertiesLabel(kPropertiesLabel);
    StepFrames(RoundHalfEven(target));
    FinishMove(play, target);
    return MoveResult::Moved;
}

void ReplayControl::StepFrames(std::int64_t count) {
    const LinkPorts& ports = link_.Ports();
    Movie& movie = link_.movie();
    const int step = StepHundredthsFor(link_.settings().fps);
    for (std::int64_t i = 0; i < count; ++i) {
        link_.StepSimulator(step);
        movie.CurrentFrame += 1;
        ports.timeline->Repaint();
        if (link_.state.Playing) ports.frameRunner->RunFrame(static_cast<int>(RoundHalfEven(movie.CurrentFrame)));
        // A blocking pause, as the simulator needs it to show each step; serving events here could start the
        // frame clock in the middle of the steps.
        ports.pump->Sleep(kStepPauseMs);
    }
}

void ReplayControl::FinishMove(bool play, double target) {
    const LinkPorts& ports = link_.Ports();
    Movie& movie = link_.movie();
    movie.CurrentFrame = static_cast<float>(target - 2);
    ports.timeline->Repaint();
    const int half = ports.timeline->VisibleColumns() / 2;
    const std::int64_t current = RoundHalfEven(movie.CurrentFrame);
    if (current > half) ports.timeline->ScrollToColumn(static_cast<int>(current - half));
    ProcessPendingEvents();
    link_.SendValuePacket("TMS", 0);
    ports.panel->SetPropertiesLabel(kPropertiesLabel);
    if (!play) link_.SendKeyPacket(packet::kKeyPause, 0);
    ports.frameClock->Start();
}

MoveResult ReplayControl::MoveForward(bool play, bool pressPauseFirst, double from, double to) {
    CommandScope command;
    if (!command.acquired()) return MoveResult::Busy;
    return DoMoveForward(play, pressPauseFirst, from, to);
}

MoveResult ReplayControl::DoMoveForward(bool play, bool pressPauseFirst, double from, double to) {
    const LinkPorts& ports = link_.Ports();
    Movie& movie = link_.movie();
    notices_.Progress(kMovingForward);
    if (pressPauseFirst) {
        link_.SendKeyPacket(packet::kKeyPause, 0);
        ProcessPendingEvents();
        ports.pump->Sleep(kPauseSettleMs);
    }
    ports.frameClock->Stop();
    link_.SendValuePacket("TMS", 1);
    ports.panel->SetPropertiesLabel(kPropertiesLabel);
    movie.CurrentFrame = static_cast<float>(from);
    const int half = ports.timeline->VisibleColumns() / 2;
    ports.timeline->ScrollToColumn(std::max<int>(0, static_cast<int>(RoundHalfEven(from)) - half));
    ProcessPendingEvents();
    link_.state.Playing = true;
    StepFrames(RoundHalfEven(to) - 2 - RoundHalfEven(from) + 1);
    FinishMove(play, to);
    return MoveResult::Moved;
}

MoveResult ReplayControl::MoveLfsHere(bool play, const std::string& replayName, double lastPlayedFrame) {
    CommandScope command;
    if (!command.acquired()) return MoveResult::Busy;
    if (!link_.Ports().panel->ReplayPanelVisible()) {
        notices_.Inform("You can only change the replay position while a replay is selected");
        return MoveResult::Refused;
    }
    if (notices_.ShowMsgBox(icon::Information, buttons::OkCancel, kProductName,
                            "LFS must be paused before you move forward. Click ok when you are ready to "
                            "continue?") != 'O') {
        return MoveResult::Refused;
    }
    const double target = link_.movie().CurrentFrame;
    if (lastPlayedFrame >= target) return DoLoadReplayAndMove(replayName, play, false, target);
    return DoMoveForward(play, true, lastPlayedFrame, target);
}

void ReplayControl::UnFreeze() {
    link_.SendValuePacket("TMS", 0);
    link_.Ports().panel->SetPropertiesLabel(kPropertiesLabel);
}

}  // namespace kinoloop
