#include "playback/wiring/adapters.h"

#include <system_error>

#include <QElapsedTimer>
#include <QThread>

#include "audio/sound_playlist.h"
#include "link/replay_files.h"

namespace kinoloop {

bool LinkReplays::ReplayFileExists(const std::string& replayName) const {
    std::error_code error;
    return !replayName.empty() &&
           std::filesystem::is_regular_file(
               ReplayFolder(link_.settings().lfspath, IsSinglePlayerReplay(replayName)) / replayName, error);
}

void ScriptRunnerPort::Run(const std::vector<std::string>& programLines) {
    if (runner == nullptr || programLines.empty()) return;  // a missing or empty script runs nothing
    std::string text;
    for (const std::string& line : programLines) text += line + "\n";
    runner->RunText(text, "script node");
}

void PlaybackScriptSimulator::SendValuePacket(std::string_view tag, std::int32_t value) {
    transport_.Packets().SendValuePacket(std::string(tag), value);
}

void PlaybackScriptSimulator::SendLastCameraPacket() {
    link_.SendLastCameraPacket();
    transport_.Gate().Changed();
}

void PlaybackScriptSimulator::SetFrameClock(bool on) { transport_.StopInternalTime(!on); }

void AudioPort::Stop() {
    if (audio) audio->Stop();
}

void AudioPort::PreparePlaylist(Movie& movie) {
    if (audio) PrepareSoundPlaylist(movie, *audio);
}

bool AudioPort::StartSoundNode(const std::string& fieldText) {
    return audio != nullptr && kinoloop::StartSoundNode(*audio, fieldText);
}

std::string CapturePort::Start(const std::filesystem::path& movFolder) {
    if (session == nullptr) return "no screen capture";
    lastPixels_.clear();
    const render::Status started = session->Start(movFolder);
    return started ? std::string() : started.error();
}

bool CapturePort::CaptureFrame() {
    if (session == nullptr || !placement) return false;
    if (panelCapture == nullptr) {
        const render::Status captured = session->CaptureFrame(placement());
        if (!captured) lastError = captured.error();
        return captured.ok();
    }
    QElapsedTimer waited;
    waited.start();
    bool retried = false;
    for (;;) {
        const render::Status grabbed = panelCapture->CaptureSimulatorFrame(placement());
        const FrameImage* image = panelCapture->CaptureBitmap();
        if (!grabbed || image == nullptr) {
            lastError = grabbed ? std::string("no picture was captured") : grabbed.error();
            return false;
        }
        if (image->pixels != lastPixels_) break;
        if (waited.elapsed() >= redrawWaitMs) {
            ++unchangedFrames;
            break;
        }
        retried = true;
        QThread::msleep(2);
    }
    if (retried) ++redrawWaits;
    lastPixels_ = panelCapture->CaptureBitmap()->pixels;
    const render::Status appended = session->AppendCaptured();
    if (!appended) lastError = appended.error();
    return appended.ok();
}

void CapturePort::Stop() {
    if (session != nullptr) session->Stop();
}

FilmResult AssemblyPort::Assemble(const FilmJob& job) {
    FilmRequest request;
    request.movFolder = job.movFolder;
    request.CapturedFrameSize = job.CapturedFrameSize;
    request.CapturedFrameCount = job.CapturedFrameCount;
    request.RecordedSeconds = job.RecordedSeconds;
    request.wallClockMilliseconds = job.wallClockMilliseconds;
    request.RecordAudio = job.RecordAudio;
    request.movieFramesPerSecond = job.framesPerSecond;
    request.MovieFileName = job.MovieFileName;
    request.nodes = nodes;
    request.plugins = plugins;
    request.watermark = watermark;
    request.watermarkImage = watermarkImage;
    const FilmOutcome outcome = AssembleFilm(request, reporting);
    return FilmResult{outcome.saved, outcome.film, outcome.failure};
}

}  // namespace kinoloop
