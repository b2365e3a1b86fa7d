#include "audio/audio_engine.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>

#include "audio/sound_channel.h"
#include "audio/sound_formats.h"

namespace kinoloop {
namespace {

// SDL2_mixer reports the decoder's position, which runs ahead of what is heard by the output buffer: a short
// buffer keeps positions and the end timer close to the ear.
constexpr int kOutputFrames = 1024;

int ToMs(double seconds) {
    const double ms = std::trunc(seconds * 1000.0);
    return ms < 0 ? 0 : static_cast<int>(std::min(ms, 2147483647.0));
}

bool OpenOutput(int frequency) {
    return Mix_OpenAudio(frequency, AUDIO_S16SYS, 2, kOutputFrames) == 0;
}

}  // namespace

TAudioEngine::TAudioEngine(QObject* parent) : QObject(parent) {
    Init(-1);
    SetBufferLength(500);
    endTimer_.setInterval(1);
    endTimer_.setTimerType(Qt::PreciseTimer);
    connect(&endTimer_, &QTimer::timeout, this, &TAudioEngine::EndTimerTick);
}

TAudioEngine::~TAudioEngine() {
    endTimer_.stop();
    FreeChannel();
    CloseOutput();
}

std::string TAudioEngine::FileFilter() const {
    return kEngineFileFilter;
}

void TAudioEngine::CloseOutput() {
    if (outputOpen_) Mix_CloseAudio();
    if (SDL_WasInit(SDL_INIT_AUDIO) != 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    outputOpen_ = false;
    silentOutput_ = false;
}

void TAudioEngine::Init(int device) {
    Stop();
    FreeChannel();
    CloseOutput();
    device_ = device;
    // Results are not reported: without sound the program goes on, playing into a silent output.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        if (OpenOutput(frequency_)) {
            outputOpen_ = true;
            return;
        }
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        outputOpen_ = OpenOutput(frequency_);
        silentOutput_ = outputOpen_;
    }
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);  // the next Init tries the real output again
}

std::string TAudioEngine::OutputDriver() const {
    const char* driver = outputOpen_ ? SDL_GetCurrentAudioDriver() : nullptr;
    return driver != nullptr ? driver : "";
}

int TAudioEngine::SetBufferLength(int ms) {
    bufferMs_ = std::clamp(ms, 150, 2000);
    return bufferMs_;
}

void TAudioEngine::FreeChannel() {
    if (channel_) channel_->Stop();
    channel_.reset();
}

bool TAudioEngine::Play(const std::string& name) {
    fileName_ = name;
    if (IsInternetAddress(name)) return PlayAddress(name);
    FreeChannel();
    lengthMs_ = 0;
    channel_ = outputOpen_ ? OpenSoundChannel(name) : nullptr;
    if (channel_ && channel_->Start()) {
        lengthMs_ = ToMs(channel_->LengthSeconds());
        state_ = kPlaying;
        endTimer_.start();
        return true;
    }
    channel_.reset();
    // The previous sound has been cut off: "playing" would now be untrue.
    if (state_ == kPlaying) state_ = kStopped;
    return false;
}

bool TAudioEngine::PlayAddress(const std::string& address) {
    fileName_ = address;
    FreeChannel();
    lengthMs_ = 0;
    if (state_ == kPlaying) state_ = kStopped;
    return false;
}

void TAudioEngine::Stop() {
    if (channel_) channel_->Stop();
    state_ = kStopped;
    endTimer_.stop();
}

int TAudioEngine::PositionMs() {
    return channel_ ? ToMs(channel_->PositionSeconds()) : 0;
}

int TAudioEngine::LengthMs() const {
    return lengthMs_;
}

int TAudioEngine::FileLengthMs(const std::string& path) {
    if (!outputOpen_) return -1;
    const double seconds = MeasureSoundFile(path);
    return seconds < 0 ? -1 : ToMs(seconds);
}

bool TAudioEngine::IsKnownSoundFile(const std::string& path) {
    return kinoloop::IsKnownSoundFile(path);
}

void TAudioEngine::EndTimerTick() {
    // The timer only runs while a sound plays; internet streams are never ended by it.
    if (state_ == kStopped || IsInternetAddress(fileName_)) return;
    const bool finished = channel_ && channel_->Finished();
    const int position = PositionMs();
    if (finished || position >= LengthMs() - kEndMarginMs) {
        Stop();
        state_ = kEnded;
        emit SoundEnded(position);
    }
}

std::string TAudioObject::FileFilter() const {
    return TAudioEngine::FileFilter() + kPlaylistFilterSuffix;
}

void TAudioObject::AddItem(const std::string& path, const std::string& title) {
    if (IsInternetAddress(path) || IsKnownSoundFile(path)) {
        playlist_.Add(path, title);
    } else {
        LoadPlaylistFile(path, false);
    }
}

bool TAudioObject::LoadPlaylistFile(const std::string& path, bool clear) {
    const std::string extension = UpperExtension(path);
    if (extension == ".PLS") return playlist_.ReadPls(path, clear);
    if (extension == ".M3U") return playlist_.ReadM3u(path, clear);
    return false;
}

void TAudioObject::PlayItem(int index) {
    if (index < 0 || index >= ItemCount()) return;
    lastItem_ = index;
    Play(playlist_.Item(index));
}

}  // namespace kinoloop
