#include "playback/wiring/playback_system.h"

#include "render/watermark.h"
#include "shell/program_folder.h"

namespace kinoloop {

PlaybackSystem::PlaybackSystem(Movie& movie, const TSettings& settings, Notices& notices, UdpLink& link,
                               ReplayControl& replays)
    : packets(link.handler()),
      replayLink(link.handler(), replays),
      transport(movie, modes,
                TransportPorts{&packets, &replayLink, &scripts, &audio, &debug, &pump, &notices, &tmrPlay},
                settings.fps),
      render(movie, modes, transport,
             RenderPorts{&transport.Packets(), &replayLink, &audio, &pump, &notices, &tmrPlay, &capture, &recorder,
                         &assembly, &panel, &controls}),
      linkSide(tmrPlay, transport),
      scriptSimulator(link.handler(), transport, tmrPlay, movie, modes),
      movie_(movie),
      settings_(settings) {
    tmrPlay.onTick = [this] { transport.tmrPlayTimer(); };
    linkSide.sound = &audio;
    assembly.nodes = &movie_.nodeStore;
    assembly.reporting.notices = &notices;
    assembly.reporting.SetLastAction = [this](const std::string& text) { movie_.SetLastAction(text); };
    assembly.reporting.HandlePendingMessages = [this] { pump.ProcessEvents(); };
    ApplySettings();
}

void PlaybackSystem::ApplySettings() {
    tmrPlay.SetFramesPerSecond(settings_.fps);
    transport.SetFramesPerSecond(settings_.fps);
    render.SetVideoFormat(settings_.format);
    render.SetMovFolder(MovFolder());
    assembly.watermark = settings_.watermark == 1;
}

PlaybackEngines::PlaybackEngines(PlaybackSystem& playback, std::function<PanelPlacement()> placement)
    : bridge(playback.scriptSimulator),
      scripts(bridge, bridge),
      panelCapture(grabber),
      session(panelCapture),
      plugins(ScanPlugins(EffFolder())),
      playback_(playback) {
    audio.Init(-1);
    if (render::Result<FrameImage> mark = ReadBmpFile(ImgFolder() / kWatermarkFileName); mark.ok()) {
        watermark = std::move(mark).value();
    }
    playback.scripts.runner = &scripts;
    playback.audio.audio = &audio;
    playback.recorder.recorder = &recorder;
    playback.recorder.delayMs = kPlayToRecordDelayMs;
    playback.capture.session = &session;
    playback.capture.panelCapture = &panelCapture;
    playback.capture.placement = std::move(placement);
    playback.assembly.plugins = &plugins.plugins;
    playback.assembly.watermarkImage = watermark ? &*watermark : nullptr;
}

PlaybackEngines::~PlaybackEngines() {
    // The playback system may outlive the engines: leave its ports inert rather than dangling.
    playback_.scripts.runner = nullptr;
    playback_.audio.audio = nullptr;
    playback_.recorder.recorder = nullptr;
    playback_.capture.session = nullptr;
    playback_.capture.panelCapture = nullptr;
    playback_.capture.placement = nullptr;
    playback_.assembly.plugins = nullptr;
    playback_.assembly.watermarkImage = nullptr;
}

}  // namespace kinoloop
