#pragma once
// A real playback set-up around the demo simulator: the simulator as a process on loopback with its packet log,
// the UDP link, replay control, the script runner and bridge, the audio object and the playback system, and the
// test movie of the previews (replay, start node at 250, cameras at 300 and 400, a script at 350 that takes the
// time over with COM_step_time, a sound at 260 and the stop node at 500).
#include <QCoreApplication>
#include <QProcess>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "audio/audio_engine.h"
#include "link/replay_control.h"
#include "link/udp_link.h"
#include "model/movie.h"
#include "playback/wiring/playback_system.h"
#include "scripted_notices.h"
#include "scripting/script_bridge.h"
#include "scripting/script_runner.h"
#include "shell/settings.h"
#include "temp_folder.h"

namespace kinoloop::testing {

// One line of the demo simulator's log: "<wall ms> <replay time> <IN|OUT|NOTE> <TAG> <details>".
struct SimLogLine {
    long long wallMs = 0;
    long long replayTime = 0;
    std::string direction, tag, details;
};

class DemoSession {
public:
    // With a window (under X), the simulator shows its picture with the time and camera bars; headless
    // otherwise. The demo replays are `replaySeconds` long.
    explicit DemoSession(bool withWindow = false, int replaySeconds = 70);
    ~DemoSession();

    // Empty when everything started; otherwise why not.
    const std::string& Problem() const { return problem_; }
    void BuildPreviewMovie();
    // Serves events until the frame clock is off (playback stopped) or the time runs out.
    bool WaitForStop(int timeoutMs);
    std::vector<SimLogLine> Log() const;
    std::vector<SimLogLine> Received(const std::string& tag) const;

    std::filesystem::path simFolder() const { return simData_.Path(); }

    TempProgramFolder home;
    TempFolder simData_;
    TSettings settings;
    Movie movie;
    ScriptedNotices notices;
    std::unique_ptr<UdpLink> link;
    std::unique_ptr<ReplayControl> replays;
    std::unique_ptr<PlaybackSystem> playback;
    std::unique_ptr<ScriptBridge> bridge;
    std::unique_ptr<ScriptRunner> scripts;
    std::unique_ptr<TAudioObject> audio;

private:
    std::string problem_;
    QProcess simulator_;
public:
    static constexpr const char* kTitle = "Kinoloop Demo Simulator";
};

}  // namespace kinoloop::testing
