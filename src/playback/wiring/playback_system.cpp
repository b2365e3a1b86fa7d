#include "playback/wiring/playback_system.h"

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
}

}  // namespace kinoloop
