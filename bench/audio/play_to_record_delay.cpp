// Measured run (not a timed test): how long after TAudioEngine::Play a sound shows up in a recording of the
// sink's monitor. The playback of a render can shift its sound starts by this much. Run it under
// scripts/test-env.sh (KINOLOOP_PULSE=1); it plays a 1 kHz burst several times and prints the delays.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "audio/audio_engine.h"
#include "audio/wave_recorder.h"

namespace {

void Spin(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const char* pulse = std::getenv("KINOLOOP_PULSE");
    if (pulse == nullptr || std::string(pulse) != "1") {
        std::fprintf(stderr, "Run this under scripts/test-env.sh: it needs the PulseAudio null sink.\n");
        return 2;
    }
    setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
    QCoreApplication app(argc, argv);
    const int trials = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    const auto burst = std::filesystem::temp_directory_path() / "kinoloop-delay-burst.wav";
    const std::string make =
        "sox -n -r 44100 -c 2 -b 16 '" + burst.string() + "' synth 0.2 sine 1000 vol 0.8";
    if (std::system(make.c_str()) != 0) {
        std::fprintf(stderr, "sox could not make the test sound.\n");
        return 1;
    }

    kinoloop::TAudioObject audio;
    kinoloop::WaveRecorder recorder;
    recorder.SetSource("kl_sink.monitor");
    if (const std::string error = recorder.Start(); !error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    QElapsedTimer sinceStart;
    sinceStart.start();

    struct Trial {
        double playedAtMs;          // wall time since the recorder started
        std::int64_t framesAtPlay;  // samples the recorder held at that moment
    };
    std::vector<Trial> played;
    for (int i = 0; i < trials; ++i) {
        Spin(400);
        played.push_back({static_cast<double>(sinceStart.nsecsElapsed()) / 1e6, recorder.FrameCount()});
        audio.Play(burst.string());
        Spin(300);
    }
    Spin(400);
    recorder.Stop();
    const std::vector<std::uint8_t> samples = recorder.Samples();
    std::filesystem::remove(burst);

    const auto left = [&](std::int64_t frame) {
        return static_cast<std::int16_t>(samples[frame * 4] | (samples[frame * 4 + 1] << 8));
    };
    const std::int64_t frames = static_cast<std::int64_t>(samples.size() / 4);
    std::vector<double> byWall, byFrames;
    for (const Trial& trial : played) {
        const auto from =
            static_cast<std::int64_t>(trial.playedAtMs * 22.05) - 2205;  // 100 ms early: any clock skew
        std::int64_t onset = -1;
        for (std::int64_t f = std::max<std::int64_t>(0, from); f < frames; ++f) {
            if (std::abs(left(f)) > 3000) {
                onset = f;
                break;
            }
        }
        if (onset < 0) continue;
        byWall.push_back(onset / 22.05 - trial.playedAtMs);
        byFrames.push_back((onset - trial.framesAtPlay) / 22.05);
    }
    if (byWall.empty()) {
        std::fprintf(stderr, "No burst reached the recording.\n");
        return 1;
    }
    std::printf(
        "play-to-record delay over %zu bursts (ms): against the recorder's wall clock median %.1f min %.1f "
        "max %.1f; against its sample count at Play median %.1f min %.1f max %.1f\n",
        byWall.size(), Median(byWall), *std::min_element(byWall.begin(), byWall.end()),
        *std::max_element(byWall.begin(), byWall.end()), Median(byFrames),
        *std::min_element(byFrames.begin(), byFrames.end()),
        *std::max_element(byFrames.begin(), byFrames.end()));
    std::printf("recording: %.1f ms of samples over %.1f ms of wall time\n", frames / 22.05,
                static_cast<double>(sinceStart.elapsed()));
    return 0;
}
