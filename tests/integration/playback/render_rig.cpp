#include "render_rig.h"

#include <QProcess>
#include <QThread>
#include <cstdlib>

#include "playback/wiring/playback_system.h"

namespace kinoloop::testing {

std::string RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(120000);
    return process.readAllStandardOutput().toStdString();
}

void DemoWindowPanel::SetRenderSize(int width, int height) {
    const std::string id = RunTool("xdotool", {"search", "--sync", "--name", DemoSession::kTitle});
    window = QString::fromStdString(id).split('\n', Qt::SkipEmptyParts).value(0);
    RunTool("xdotool", {"windowmove", "--sync", window, "0", "0"});
    RunTool("xdotool", {"windowsize", "--sync", window, QString::number(width), QString::number(height)});
    placement = PanelPlacement{0, 0, width, height, 0, 0};
    QThread::msleep(200);
}

DemoRender::DemoRender(DemoSession& s, const std::string& format, bool sound)
    : session(s), withSound(sound), panelCapture(grabber), captureSession(panelCapture) {
    PlaybackSystem& playback = *session.playback;
    playback.panel.target = &panel;
    playback.controls.target = &controls;
    playback.capture.session = &captureSession;
    playback.capture.panelCapture = &panelCapture;
    playback.capture.placement = [this] { return panel.placement; };
    if (withSound) {
        playback.recorder.recorder = &recorder;
        playback.recorder.delayMs = PlaybackEngines::kPlayToRecordDelayMs;
    }
    playback.render.SetVideoFormat(format);
}

RenderOutcome DemoRender::Start() {
    session.notices.Answer('Y');                    // the window is not embedded: go on
    session.notices.Answer(withSound ? 'Y' : 'N');  // record audio
    if (withSound) session.notices.Answer('N');     // not the simulator's own sound
    return session.playback->render.RenderMovie();
}

std::string ProbeFilm(const std::filesystem::path& film) {
    return RunTool("ffprobe", {"-v", "error", "-count_frames", "-show_entries",
                               "stream=codec_type,width,height,nb_read_frames", "-of", "csv=p=0",
                               QString::fromStdString(film.string())});
}

void ForEachFilmPicture(const std::filesystem::path& film, int width, int height,
                        const std::function<void(const std::uint8_t* pixels)>& visit) {
    QProcess decoder;
    decoder.start("ffmpeg", {"-v", "error", "-i", QString::fromStdString(film.string()), "-f", "rawvideo",
                             "-pix_fmt", "bgr24", "-"});
    const auto frameBytes = static_cast<qsizetype>(width) * 3 * height;
    QByteArray pending;
    // Frame by frame, so that a long film never sits in memory whole.
    for (;;) {
        const bool running = decoder.state() != QProcess::NotRunning;
        if (running) decoder.waitForReadyRead(1000);
        pending += decoder.readAllStandardOutput();
        qsizetype used = 0;
        for (; used + frameBytes <= pending.size(); used += frameBytes) {
            visit(reinterpret_cast<const std::uint8_t*>(pending.constData()) + used);
        }
        pending.remove(0, used);
        if (!running && decoder.bytesAvailable() == 0) break;
    }
}

FilmPictures ReadFilmPictures(const std::filesystem::path& film, int width, int height) {
    FilmPictures pictures;
    const auto stride = static_cast<std::size_t>(width) * 3;
    ForEachFilmPicture(film, width, height, [&](const std::uint8_t* pixels) {
        const auto time = demosim::ReadTimeBar(pixels, width, height, stride, 3);
        pictures.times.push_back(time ? std::optional<std::uint32_t>(time->hundredths) : std::nullopt);
        pictures.cameras.push_back(demosim::ReadCameraBar(pixels, width, height, stride, 3));
    });
    return pictures;
}

std::vector<std::int16_t> ReadFilmSound(const std::filesystem::path& film) {
    QProcess decoder;
    decoder.start("ffmpeg", {"-v", "error", "-i", QString::fromStdString(film.string()), "-map", "0:a:0",
                             "-ac", "2", "-ar", "22050", "-f", "s16le", "-acodec", "pcm_s16le", "-"});
    decoder.waitForFinished(120000);
    const QByteArray raw = decoder.readAllStandardOutput();
    std::vector<std::int16_t> first;
    // Decoded as stereo: every other sample is the first channel's.
    for (qsizetype i = 0; i + 3 < raw.size(); i += 4) {
        const auto low = static_cast<std::uint8_t>(raw[i]);
        const auto high = static_cast<std::uint8_t>(raw[i + 1]);
        first.push_back(static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8))));
    }
    return first;
}

std::optional<std::size_t> FirstLoudSample(const std::vector<std::int16_t>& samples, int threshold) {
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(static_cast<int>(samples[i])) >= threshold) return i;
    }
    return std::nullopt;
}

}  // namespace kinoloop::testing
