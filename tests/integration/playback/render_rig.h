#pragma once
// What a render with the demo simulator's window needs around a DemoSession: the window placed at the
// screen's corner at the format's size (no window manager runs), the interface lock recorded, X11 capture of
// the window, the sound recorder when PulseAudio runs, and ffmpeg/ffprobe to read the film back.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "../../../tools/demosim/camera_bar.h"
#include "audio/wave_recorder.h"
#include "demo_session.h"
#include "render/capture_session.h"
#include "render/x11_frame_grabber.h"

namespace kinoloop::testing {

// Runs a program to its end (up to two minutes) and returns what it printed on its standard output.
std::string RunTool(const QString& program, const QStringList& arguments);

class DemoWindowPanel : public RenderPanel {
public:
    void SetRenderSize(int width, int height) override;
    void RestoreSize() override { restored = true; }
    QString window;
    PanelPlacement placement;
    bool restored = false;
};

class RecordedControls : public InterfaceLock {
public:
    void SetControlsEnabled(bool enabled) override { states.push_back(enabled); }
    std::vector<bool> states;
};

// Wires the session's playback for a render of the demo window in `format`; sound is recorded when
// `withSound` (the recorder's play-to-record delay is the program's own).
class DemoRender {
public:
    DemoRender(DemoSession& session, const std::string& format, bool withSound);
    // Answers the render's questions (the window is not embedded: go on; audio as asked; not the simulator's
    // sound) and starts it.
    RenderOutcome Start();

    DemoSession& session;
    bool withSound;
    DemoWindowPanel panel;
    RecordedControls controls;
    X11FrameGrabber grabber;
    PanelCapture panelCapture;
    CaptureSession captureSession;
    WaveRecorder recorder;
};

// "codec_type,width,height,nb_read_frames" lines of every stream.
std::string ProbeFilm(const std::filesystem::path& film);

// Decodes the film with ffmpeg and hands each picture (BGR, 3 bytes a pixel, top-down rows) to `visit` in
// turn.
void ForEachFilmPicture(const std::filesystem::path& film, int width, int height,
                        const std::function<void(const std::uint8_t* pixels)>& visit);

// Each decoded frame's time bar and camera bar (nothing where a bar cannot be read).
struct FilmPictures {
    std::vector<std::optional<std::uint32_t>> times;
    std::vector<std::optional<demosim::CameraReading>> cameras;
};
FilmPictures ReadFilmPictures(const std::filesystem::path& film, int width, int height);

// The film's sound stream decoded to 16-bit samples of its first channel at 22050 Hz, the recorder's rate.
std::vector<std::int16_t> ReadFilmSound(const std::filesystem::path& film);

// The index of the first sample whose magnitude reaches `threshold`; nothing when none does.
std::optional<std::size_t> FirstLoudSample(const std::vector<std::int16_t>& samples, int threshold);

}  // namespace kinoloop::testing
