#pragma once
// What the engine and recorder tests share: the Qt event loop, the sound output the tests use, and sound
// files made once for the whole test program with sox, ffmpeg and the module writers.
#include <QCoreApplication>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "temp_folder.h"

namespace kinoloop::testing {

// SDL plays into the test's PulseAudio daemon when test-env started one, else into SDL's silent driver.
void UseTestAudioDriver();
bool PulseAvailable();  // KINOLOOP_PULSE=1
QCoreApplication& TestApp();

// Runs the event loop until the condition holds; false after the timeout.
bool SpinUntil(const std::function<bool()>& condition, int timeoutMs);
void SpinFor(int ms);

// Runs a shell command; true when it exits with 0.
bool Shell(const std::string& command);
// Duration as ffprobe reports it, -1 when it cannot.
double FfprobeSeconds(const std::filesystem::path& file);

// Sound files of known lengths, made once per test program.
struct SoundFiles {
    std::filesystem::path wav, ogg, mp3, mp3NoHeader, mp2, mod, xm, tone1k, garbage;
    static const SoundFiles& Get();

private:
    std::unique_ptr<TempFolder> folder_;
};

}  // namespace kinoloop::testing
