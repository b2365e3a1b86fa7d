#include "demo_session.h"

#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "audio/wave_file.h"
#include "shell/program_folder.h"
#include "test_machine.h"

namespace kinoloop::testing {

namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "playback_integration_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app =
        QCoreApplication::instance() != nullptr ? QCoreApplication::instance() : new QCoreApplication(argc, argv);
    return *app;
}

const char* kStepScript =
    "unit StepTest;\n"
    "procedure KillScript;\n"
    "begin\n"
    "end;\n"
    "procedure Main;\n"
    "var i: Integer;\n"
    "begin\n"
    "  COM_stop_internal_time(True);\n"
    "  for i := 1 to 8 do\n"
    "    COM_step_time(1);\n"
    "  COM_stop_internal_time(False);\n"
    "end;\n"
    "end.\n";

}  // namespace

DemoSession::DemoSession(bool withWindow, int replaySeconds) {
    App();
    if (std::getenv("KINOLOOP_PULSE") == nullptr) setenv("SDL_AUDIODRIVER", "dummy", 1);
    const std::filesystem::path demosim = BuildFolder() / "bin" / "demosim";
    if (!std::filesystem::exists(demosim)) {
        problem_ = "no demo simulator at " + demosim.string();
        return;
    }
    QProcess writer;
    writer.start(QString::fromStdString(demosim.string()),
                 {"--write-demo-replays", QString::fromStdString(simData_.Path().string()), "--replay-seconds",
                  QString::number(replaySeconds)});
    writer.waitForFinished(10000);

    const int simPort = FreeUdpPort();
    settings.lfspath = simData_.Path().string() + "/";
    settings.remoteport = simPort;
    settings.localport = FreeUdpPort();
    settings.host = "127.0.0.1";
    settings.fps = 25;
    simulator_.start(QString::fromStdString(demosim.string()),
                     {withWindow ? "--title" : "--headless", withWindow ? kTitle : "--headless", "--insim",
                      QString::number(simPort), "--data",
                      QString::fromStdString(simData_.Path().string()), "--log",
                      QString::fromStdString((simData_.Path() / "demosim.log").string())});
    if (!simulator_.waitForStarted(5000)) {
        problem_ = "the demo simulator did not start";
        return;
    }
    link = std::make_unique<UdpLink>(movie, settings);
    if (std::string error = link->Open(); !error.empty()) {
        problem_ = error;
        return;
    }
    replays = std::make_unique<ReplayControl>(link->handler(), notices);
    playback = std::make_unique<PlaybackSystem>(movie, settings, notices, *link, *replays);
    LinkPorts ports;
    playback->FillLinkPorts(ports);
    link->SetPorts(ports);
    bridge = std::make_unique<ScriptBridge>(playback->scriptSimulator);
    scripts = std::make_unique<ScriptRunner>(*bridge, *bridge, [](const std::string& line) { std::fprintf(stderr, "script: %s\n", line.c_str()); });
    playback->scripts.runner = scripts.get();
    audio = std::make_unique<TAudioObject>();
    audio->Init(-1);
    playback->audio.audio = audio.get();

    // The demo simulator answers on the port that "ISI" names once its socket is bound.
    for (int i = 0; i < 50 && !std::filesystem::exists(simData_.Path() / "demosim.log"); ++i) QThread::msleep(20);
    QThread::msleep(100);
    link->handler().SendInSimInit();
    playback->pump.Sleep(200);
}

DemoSession::~DemoSession() {
    // For looking into a failure: KINOLOOP_KEEP_SIM_LOG names where the simulator's packet log is kept.
    if (const char* keep = std::getenv("KINOLOOP_KEEP_SIM_LOG")) {
        std::error_code ignored;
        std::filesystem::copy_file(simData_.Path() / "demosim.log", keep,
                                   std::filesystem::copy_options::overwrite_existing, ignored);
    }
    if (simulator_.state() != QProcess::NotRunning) {
        simulator_.terminate();
        if (!simulator_.waitForFinished(3000)) simulator_.kill();
        simulator_.waitForFinished(3000);
    }
}

void DemoSession::BuildPreviewMovie() {
    movie.ResetTimeline(60, 25);
    movie.strTimeline.SetRowCount(5);
    movie.strTracks.SetRowCount(5);
    for (int row = 1; row < 5; ++row) movie.strTracks.At(row).name = "Track " + std::to_string(row);
    auto add = [this](const std::string& tag, char head, int column, int row, const std::string& fields) {
        const int id = movie.NextNodeID;
        movie.AppendRecord(tag, column, row,
                           std::to_string(id) + ":" + std::to_string(column) + ":" + std::to_string(row) + ":" + fields);
        movie.strTimeline.SetCell(column, row, std::string(1, head));
    };
    add("REP", 'R', 0, 1, "1:demo.spr:-1");
    add("STT", 'G', 250, 2, "1:demo.spr:0:1");
    add("CAM", 'C', 300, 3, "1:3000000:-1000000:500000:0:5461:0:255:4:90:0:8192");
    add("CAM", 'C', 400, 3, "1:4000000:-2000000:600000:16384:5461:0:255:4:60:0:8192");
    add("SCR", 'S', 350, 4, "1:step.pas");
    std::ofstream(ScrFolder() / "step.pas") << kStepScript;
    const std::filesystem::path tone = simData_.Path() / "tone.wav";
    WaveFormat format;
    std::vector<std::uint8_t> samples(22050 * 4 / 2, 0);  // half a second
    for (std::size_t i = 0; i + 3 < samples.size(); i += 4) {
        const auto v = static_cast<std::int16_t>((i / 4) % 25 < 12 ? 8000 : -8000);
        for (int c = 0; c < 2; ++c) {
            samples[i + 2 * c] = static_cast<std::uint8_t>(v & 0xFF);
            samples[i + 2 * c + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
        }
    }
    WriteWaveFile(tone, format, samples);
    add("SND", 'T', 260, 1, "1:" + tone.string() + ":1");
    add("STP", 'X', 500, 2, "1");
}

bool DemoSession::WaitForStop(int timeoutMs) {
    PlaybackClock& clock = playback->tmrPlay;
    const bool stopped = playback->pump.WaitUntil([&clock] { return !clock.IsActive(); }, timeoutMs);
    playback->pump.Sleep(300);  // the last packets reach the simulator's log
    return stopped;
}

std::vector<SimLogLine> DemoSession::Log() const {
    std::vector<SimLogLine> lines;
    std::ifstream in(simData_.Path() / "demosim.log");
    std::string text;
    while (std::getline(in, text)) {
        std::istringstream fields(text);
        SimLogLine line;
        fields >> line.wallMs >> line.replayTime >> line.direction >> line.tag;
        std::getline(fields, line.details);
        if (!line.details.empty() && line.details.front() == ' ') line.details.erase(0, 1);
        lines.push_back(line);
    }
    return lines;
}

std::vector<SimLogLine> DemoSession::Received(const std::string& tag) const {
    std::vector<SimLogLine> found;
    for (const SimLogLine& line : Log()) {
        if (line.direction == "IN" && line.tag == tag) found.push_back(line);
    }
    return found;
}

}  // namespace kinoloop::testing
