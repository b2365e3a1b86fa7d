#include "audio_test_support.h"

#include <QElapsedTimer>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "module_files.h"

namespace kinoloop::testing {

bool PulseAvailable() {
    const char* pulse = std::getenv("KINOLOOP_PULSE");
    return pulse != nullptr && std::string(pulse) == "1";
}

void UseTestAudioDriver() {
    setenv("SDL_AUDIODRIVER", PulseAvailable() ? "pulseaudio" : "dummy", 1);
}

QCoreApplication& TestApp() {
    static int argc = 1;
    static char name[] = "audio_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() != nullptr ? QCoreApplication::instance()
                                                                           : new QCoreApplication(argc, argv);
    return *app;
}

bool SpinUntil(const std::function<bool()>& condition, int timeoutMs) {
    TestApp();
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

void SpinFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    SpinUntil([&] { return timer.elapsed() >= ms; }, ms + 1000);
}

bool Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

double FfprobeSeconds(const std::filesystem::path& file) {
    const std::string command =
        "ffprobe -v error -show_entries format=duration -of default=noprint_wrappers=1:nokey=1 '" +
        file.string() + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return -1;
    std::array<char, 128> line{};
    const bool read = std::fgets(line.data(), line.size(), pipe) != nullptr;
    pclose(pipe);
    return read ? std::atof(line.data()) : -1;
}

const SoundFiles& SoundFiles::Get() {
    static const SoundFiles files = [] {
        SoundFiles made;
        made.folder_ = std::make_unique<TempFolder>();
        const auto& dir = made.folder_->Path();
        made.wav = dir / "tone.wav";
        made.ogg = dir / "tone.ogg";
        made.mp3 = dir / "tone.mp3";
        made.mp3NoHeader = dir / "plain.mp3";
        made.mp2 = dir / "tone.mp2";
        made.mod = dir / "song.mod";
        made.xm = dir / "song.xm";
        made.tone1k = dir / "tone1k.wav";
        made.garbage = dir / "noise.mp3";
        Shell("sox -n -r 44100 -c 2 -b 16 '" + made.wav.string() + "' synth 1.3 sine 440 vol 0.5");
        Shell(
            "ffmpeg -y -v error -f lavfi -i sine=frequency=440:duration=1.7:sample_rate=44100 -ac 2 -c:a "
            "libvorbis '" +
            made.ogg.string() + "'");
        Shell(
            "ffmpeg -y -v error -f lavfi -i sine=frequency=440:duration=2.1:sample_rate=44100 -ac 2 -c:a "
            "libmp3lame '" +
            made.mp3.string() + "'");
        // No Xing/LAME header: the length must come from the frames.
        Shell(
            "ffmpeg -y -v error -f lavfi -i sine=frequency=440:duration=1.2:sample_rate=22050 -ac 1 -c:a "
            "libmp3lame "
            "-b:a 64k -write_xing 0 '" +
            made.mp3NoHeader.string() + "'");
        Shell(
            "ffmpeg -y -v error -f lavfi -i sine=frequency=440:duration=1.1:sample_rate=44100 -ac 2 -c:a mp2 "
            "'" +
            made.mp2.string() + "'");
        Shell("sox -n -r 44100 -c 2 -b 16 '" + made.tone1k.string() + "' synth 3 sine 1000 vol 0.5");
        WriteModFile(made.mod, 16);
        WriteXmFile(made.xm, 20);
        std::ofstream(made.garbage, std::ios::binary) << std::string(5000, '\x5a');
        return made;
    }();
    return files;
}

}  // namespace kinoloop::testing
