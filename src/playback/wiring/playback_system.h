#pragma once
// Playback as the program holds it: the frame clock `tmrPlay`, the modes, the transport and the render session,
// wired to the link, replay control and (once they are attached) the script runner, the audio object, the
// recorder, the screen capture, the film assembly, the main window's panel and lock and the debug window.
#include "playback/playback_clock.h"
#include "playback/qt_playback_pump.h"
#include "playback/render_session.h"
#include "playback/transport.h"
#include "playback/wiring/adapters.h"
#include "render/frame_image.h"
#include "render/plugin_host.h"
#include "render/x11_frame_grabber.h"
#include "scripting/script_bridge.h"
#include "shell/settings.h"

#include <memory>
#include <optional>

namespace kinoloop {

// Forwarders to parts that the main window creates after playback.
class DebugPort : public DebugLog {
public:
    void AddRow(const std::string& action, const std::string& track, int frame) override {
        if (target) target->AddRow(action, track, frame);
    }
    void SetShown(bool shown) override {
        if (target) target->SetShown(shown);
    }
    DebugLog* target = nullptr;
};

class PanelPort : public RenderPanel {
public:
    void SetRenderSize(int width, int height) override {
        if (target) target->SetRenderSize(width, height);
    }
    void RestoreSize() override {
        if (target) target->RestoreSize();
    }
    RenderPanel* target = nullptr;
};

class ControlsPort : public InterfaceLock {
public:
    void SetControlsEnabled(bool enabled) override {
        if (target) target->SetControlsEnabled(enabled);
    }
    InterfaceLock* target = nullptr;
};

class PlaybackSystem {
public:
    PlaybackSystem(Movie& movie, const TSettings& settings, Notices& notices, UdpLink& link, ReplayControl& replays);
    PlaybackSystem(const PlaybackSystem&) = delete;
    PlaybackSystem& operator=(const PlaybackSystem&) = delete;

    // Frame rate, video format and the Mov folder from the settings (at start and after Setup's "Apply").
    void ApplySettings();
    // The link's clock, frame runner and sound stopper; call before handing the ports to the link.
    void FillLinkPorts(LinkPorts& ports) { linkSide.Fill(ports); }

    PlaybackModes modes;
    PlaybackClock tmrPlay;
    QtPlaybackPump pump;
    LinkPackets packets;
    LinkReplays replayLink;
    ScriptRunnerPort scripts;  // set scripts.runner
    AudioPort audio;           // set audio.audio
    RecorderPort recorder;     // set recorder.recorder and recorder.delayMs
    CapturePort capture;       // set capture.session and capture.placement
    AssemblyPort assembly;     // set plugins, watermark, reporting
    DebugPort debug;           // set debug.target
    PanelPort panel;           // set panel.target
    ControlsPort controls;     // set controls.target
    Transport transport;
    RenderSession render;
    LinkSideOfPlayback linkSide;
    PlaybackScriptSimulator scriptSimulator;  // give it to the ScriptBridge

private:
    Movie& movie_;
    const TSettings& settings_;
};

// The engines behind the playback system's ports, one set for the program (the main window or the batch
// render): the script bridge and runner, the audio object, the recorder, the screen capture of the simulator
// panel, the effect plug-ins of the Eff folder and the watermark picture of the Img folder. Constructing it
// attaches them all; `placement` says where the simulator panel is on the screen at each captured frame.
// The plug-in scan's problems are left in `plugins.problems` for the caller to report (ReportPluginProblems).
class PlaybackEngines {
public:
    // The sound server's play-to-record delay measured on the null sink (median of ten bursts, docs/audio.md);
    // the sound track is moved earlier by it so a sound lands on the frame that played it.
    static constexpr int kPlayToRecordDelayMs = 32;

    PlaybackEngines(PlaybackSystem& playback, std::function<PanelPlacement()> placement);
    ~PlaybackEngines();
    PlaybackEngines(const PlaybackEngines&) = delete;
    PlaybackEngines& operator=(const PlaybackEngines&) = delete;

    ScriptBridge bridge;
    ScriptRunner scripts;
    TAudioObject audio;
    WaveRecorder recorder;
    X11FrameGrabber grabber;
    PanelCapture panelCapture;
    CaptureSession session;
    PluginScan plugins;                      // `PluginList` and the libraries that were skipped
    std::optional<FrameImage> watermark;     // Img/watermark.bmp; none when missing or unreadable

private:
    PlaybackSystem& playback_;
};

}  // namespace kinoloop
