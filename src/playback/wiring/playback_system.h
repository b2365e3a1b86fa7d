#pragma once
// Playback as the program holds it: the frame clock `tmrPlay`, the modes, the transport and the render session,
// wired to the link, replay control and (once they are attached) the script runner, the audio object, the
// recorder, the screen capture, the film assembly, the main window's panel and lock and the debug window.
#include "playback/playback_clock.h"
#include "playback/qt_playback_pump.h"
#include "playback/render_session.h"
#include "playback/transport.h"
#include "playback/wiring/adapters.h"
#include "shell/settings.h"

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

}  // namespace kinoloop
