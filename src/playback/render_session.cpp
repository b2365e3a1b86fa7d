#include "playback/render_session.h"

#include <algorithm>
#include <cctype>

#include "model/movie.h"
#include "playback/playback_texts.h"
#include "playback/sound_track_fit.h"

namespace kinoloop {

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

constexpr int kSoundMuteFlag = 4096;

}  // namespace

std::optional<PanelSize> FormatPanelSize(const std::string& format) {
    if (format == "STD") return PanelSize{320, 240};
    if (format == "PAL") return PanelSize{352, 288};
    if (format == "NTSC") return PanelSize{352, 240};
    if (format == "LRG") return PanelSize{512, 384};
    return std::nullopt;
}

RenderSession::RenderSession(Movie& movie, PlaybackModes& modes, Transport& transport, RenderPorts ports)
    : movie_(movie), modes_(modes), transport_(transport), ports_(ports) {
    transport_.SetRenderHooks(this);
}

RenderSession::~RenderSession() { transport_.SetRenderHooks(nullptr); }

RenderOutcome RenderSession::GiveBack(const std::string& reason) {
    ports_.clock->SetExactPeriod(false);
    if (ports_.panel != nullptr) ports_.panel->RestoreSize();
    if (ports_.controls != nullptr) ports_.controls->SetControlsEnabled(true);
    ports_.notices->Inform(reason);
    outcome_ = RenderOutcome{};
    outcome_.state = RenderOutcome::State::Failed;
    outcome_.failure = reason;
    return outcome_;
}

RenderOutcome RenderSession::RenderMovie() {
    outcome_ = RenderOutcome{};
    Notices& notices = *ports_.notices;
    if (!ports_.link->SimulatorFound() && !notices.AskYes(playback_text::kNotLoaded)) return outcome_;
    if (SameIgnoringCase(movie_.header.MovieFileName, MovieHeader::kUnsavedName) &&
        !notices.AskYes(playback_text::kSaveBeforeRender)) {
        return outcome_;
    }
    const bool hasStop = std::any_of(movie_.nodeStore.Records().begin(), movie_.nodeStore.Records().end(),
                                     [](const NodeText& record) { return record.tag == "STP"; });
    if (!hasStop && !notices.AskYes(playback_text::kNoStopNodeRender)) return outcome_;

    if (const std::optional<PanelSize> size = FormatPanelSize(format_); size && ports_.panel != nullptr) {
        ports_.panel->SetRenderSize(size->width, size->height);
    }
    ports_.pump->ProcessEvents();
    modes_.RecordAudio = notices.AskYes(playback_text::kRecordAudio);
    modes_.RecordSimSound = modes_.RecordAudio && notices.AskYes(playback_text::kRecordSimSound);

    if (ports_.controls != nullptr) ports_.controls->SetControlsEnabled(false);
    modes_.QuickPreviewMode = false;
    modes_.PreviewMode = true;
    notices.Progress(playback_text::kPreparingMovie);

    const std::optional<ReplayStart> start = transport_.FindReplayAndStart();
    if (!start) return GiveBack(playback_text::kRenderNoReplay);
    movie_.CurrentFrame = -1;
    ports_.packets->SendMessagePacket("/end");
    ports_.pump->ProcessEvents();
    ports_.pump->Sleep(1000);
    if (ports_.sound != nullptr) ports_.sound->PreparePlaylist(movie_);
    // The recorder's streams are opened now, so that its first sample flows as soon as the first frame starts it.
    recorderStarted_ = false;
    recorderError_.clear();
    if (ports_.recorder != nullptr) recorderError_ = ports_.recorder->Prepare();

    ports_.clock->SetExactPeriod(true);
    if (!transport_.LoadReplayAndMove(start->replayName, false, start->startFrame)) {
        return GiveBack(playback_text::kRenderCannotStart + transport_.LastError());
    }

    // Start recording; no event is served between the clock starting above and the flag below.
    if (std::string error = ports_.capture->Start(movFolder_); !error.empty()) {
        transport_.HaltPlayback();
        return GiveBack(playback_text::kRenderCannotStart + error);
    }
    modes_.Rendering = true;
    transport_.Gate().SetSink(ports_.capture);
    if (!modes_.RecordSimSound) ports_.packets->SendStateFlagPacket(kSoundMuteFlag, 1);
    outcome_.state = RenderOutcome::State::Recording;
    return outcome_;
}

void RenderSession::BeforeFrame() {
    if (recorderStarted_ || ports_.recorder == nullptr) return;
    recorderStarted_ = true;
    std::string error = ports_.recorder->Start();
    if (!error.empty()) recorderError_ = error;
}

void RenderSession::FitSound(const std::filesystem::path& track) {
    const int delay = ports_.recorder != nullptr ? ports_.recorder->PlayToRecordDelayMs() : 0;
    if (std::string error =
            FitSoundTrackFile(track, delay, ports_.capture->CapturedFrameCount(), transport_.FramesPerSecond());
        !error.empty()) {
        recorderError_ = error;
    }
}

void RenderSession::FinishRecording() {
    // The picture of the frame playing when the user stopped is part of the film.
    transport_.Gate().CapturePending();
    transport_.Gate().SetSink(nullptr);
    ports_.capture->Stop();

    std::int64_t recordedMs = 0;
    if (ports_.recorder != nullptr) {
        ports_.recorder->Stop();
        recordedMs = ports_.recorder->LengthMs();
    }
    const std::filesystem::path track = movFolder_ / (movie_.header.MovieFileName + ".wav");
    bool trackSaved = false;
    if (modes_.RecordAudio && ports_.recorder != nullptr && recorderStarted_) {
        if (std::string error = ports_.recorder->SaveWav(track); error.empty()) {
            trackSaved = true;
            FitSound(track);
        } else {
            recorderError_ = error;
        }
    }
    if (ports_.recorder != nullptr) ports_.recorder->Clear();
    if (!modes_.RecordSimSound) ports_.packets->SendStateFlagPacket(kSoundMuteFlag, 0);
    modes_.Rendering = false;

    ports_.packets->SendMessagePacket("/end");
    ports_.pump->ProcessEvents();
    ports_.pump->Sleep(1000);
    ports_.clock->SetExactPeriod(false);
    if (ports_.panel != nullptr) ports_.panel->RestoreSize();
    ports_.pump->ProcessEvents();
    transport_.HaltPlayback();
    ports_.packets->SendKeyPacket('p', 0);

    FilmJob job;
    job.movFolder = movFolder_;
    job.CapturedFrameSize = ports_.capture->CapturedFrameSize();
    job.CapturedFrameCount = ports_.capture->CapturedFrameCount();
    job.RecordedSeconds = recordedMs / 1000;
    job.wallClockMilliseconds = ports_.capture->WallClockMilliseconds();
    job.framesPerSecond = transport_.FramesPerSecond();
    job.RecordAudio = modes_.RecordAudio && trackSaved;
    job.MovieFileName = movie_.header.MovieFileName;
    outcome_.state = RenderOutcome::State::Finished;
    outcome_.capturedFrames = job.CapturedFrameCount;
    outcome_.recordedMs = recordedMs;
    if (job.CapturedFrameCount == 0) {
        outcome_.failure = "No frame was captured, so no film was made.";
        ports_.notices->Inform(outcome_.failure);
    } else if (ports_.assembler != nullptr) {
        const std::int64_t assemblyStart = ports_.pump->NowMs();
        const FilmResult film = ports_.assembler->Assemble(job);
        outcome_.assemblyMs = ports_.pump->NowMs() - assemblyStart;
        if (film.saved) {
            outcome_.film = film.film;
        } else {
            outcome_.failure = film.failure;
        }
    }
    if (modes_.RecordAudio && !recorderError_.empty() && outcome_.failure.empty()) {
        outcome_.failure = "The sound track could not be recorded: " + recorderError_;
        ports_.notices->ShowBalloon(kBalloonTitle, outcome_.failure, BalloonKind::Error, kBalloonShortMs);
    }
    if (ports_.controls != nullptr) ports_.controls->SetControlsEnabled(true);
    if (onFinished) onFinished(outcome_);
}

}  // namespace kinoloop
