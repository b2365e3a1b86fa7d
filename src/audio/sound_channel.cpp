#include "audio/sound_channel.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

#include "audio/sound_formats.h"

namespace kinoloop {
namespace {

// Larger files are not tracker modules worth loading into memory.
constexpr std::uintmax_t kMaxModuleBytes = 64u * 1024u * 1024u;

bool IsTrackerExtension(const std::string& path) {
    static constexpr std::array<std::string_view, 7> kTrackers = {".MOD", ".S3M", ".IT", ".UMX",
                                                                  ".MO3", ".MTM", ".XM"};
    const std::string extension = UpperExtension(path);
    return std::find(kTrackers.begin(), kTrackers.end(), extension) != kTrackers.end();
}

struct ModuleDeleter {
    void operator()(openmpt_module* module) const { openmpt_module_destroy(module); }
};
using ModulePtr = std::unique_ptr<openmpt_module, ModuleDeleter>;

ModulePtr LoadModule(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return nullptr;
    const std::streamoff size = in.tellg();
    if (size <= 0 || static_cast<std::uintmax_t>(size) > kMaxModuleBytes) return nullptr;
    std::vector<char> bytes(static_cast<std::size_t>(size));
    in.seekg(0);
    if (!in.read(bytes.data(), size)) return nullptr;
    const int probe = openmpt_probe_file_header(OPENMPT_PROBE_FILE_HEADER_FLAGS_DEFAULT, bytes.data(),
                                                bytes.size(), bytes.size(), openmpt_log_func_silent, nullptr,
                                                openmpt_error_func_ignore, nullptr, nullptr, nullptr);
    if (probe != OPENMPT_PROBE_FILE_HEADER_RESULT_SUCCESS) return nullptr;
    return ModulePtr(openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent,
                                                        nullptr, openmpt_error_func_ignore, nullptr, nullptr,
                                                        nullptr, nullptr));
}

class StreamChannel : public SoundChannel {
public:
    explicit StreamChannel(Mix_Music* music) : music_(music), length_(Mix_MusicDuration(music)) {}
    ~StreamChannel() override { Mix_FreeMusic(music_); }  // halts it when it is the one playing

    bool Start() override {
        Mix_HookMusic(nullptr, nullptr);
        if (Mix_PlayMusic(music_, 0) != 0) return false;
        started_ = true;
        startTicks_ = SDL_GetTicks64();
        return true;
    }
    void Stop() override {
        if (started_ && !stopped_) Mix_HaltMusic();
        stopped_ = true;
    }
    double PositionSeconds() override {
        if (Finished()) return length_;
        const double position = Mix_GetMusicPosition(music_);
        if (position >= 0) return position;
        // Decoders that cannot tell their position: the time it has played.
        return started_ ? static_cast<double>(SDL_GetTicks64() - startTicks_) / 1000.0 : 0.0;
    }
    double LengthSeconds() const override { return length_; }
    bool Finished() override { return started_ && !stopped_ && Mix_PlayingMusic() == 0; }

private:
    Mix_Music* music_;
    double length_;
    bool started_ = false;
    bool stopped_ = false;
    Uint64 startTicks_ = 0;
};

class ModuleChannel : public SoundChannel {
public:
    explicit ModuleChannel(ModulePtr module)
        : module_(std::move(module)), length_(openmpt_module_get_duration_seconds(module_.get())) {
        openmpt_module_set_repeat_count(module_.get(), 0);
    }
    ~ModuleChannel() override { Stop(); }

    bool Start() override {
        int channels = 0;
        Uint16 format = 0;
        if (Mix_QuerySpec(&rate_, &format, &channels) == 0 || format != AUDIO_S16SYS) return false;
        channels_ = channels;
        Mix_HaltMusic();
        Mix_HookMusic(&ModuleChannel::Render, this);
        hooked_ = true;
        return true;
    }
    void Stop() override {
        // Once the hook is gone the mixer no longer calls Render, so the module may be touched freely.
        if (hooked_) Mix_HookMusic(nullptr, nullptr);
        hooked_ = false;
    }
    double PositionSeconds() override {
        std::lock_guard lock(mutex_);
        return ended_ ? length_ : openmpt_module_get_position_seconds(module_.get());
    }
    double LengthSeconds() const override { return length_; }
    bool Finished() override {
        std::lock_guard lock(mutex_);
        return ended_;
    }

private:
    // Runs on the mixer's audio thread.
    static void SDLCALL Render(void* self, Uint8* stream, int bytes) {
        auto* channel = static_cast<ModuleChannel*>(self);
        std::lock_guard lock(channel->mutex_);
        std::memset(stream, 0, static_cast<std::size_t>(bytes));
        if (channel->ended_) return;
        auto* samples = reinterpret_cast<std::int16_t*>(stream);
        std::size_t frames = 0;
        std::size_t rendered = 0;
        openmpt_module* module = channel->module_.get();
        if (channel->channels_ == 2) {
            frames = static_cast<std::size_t>(bytes) / 4;
            rendered = openmpt_module_read_interleaved_stereo(module, channel->rate_, frames, samples);
        } else if (channel->channels_ == 1) {
            frames = static_cast<std::size_t>(bytes) / 2;
            rendered = openmpt_module_read_mono(module, channel->rate_, frames, samples);
        } else if (channel->channels_ == 4) {
            frames = static_cast<std::size_t>(bytes) / 8;
            rendered = openmpt_module_read_interleaved_quad(module, channel->rate_, frames, samples);
        } else {
            channel->ended_ = true;  // an output layout the module renderer cannot fill
            return;
        }
        if (rendered < frames) channel->ended_ = true;
    }

    ModulePtr module_;
    double length_;
    std::mutex mutex_;
    bool ended_ = false;
    bool hooked_ = false;
    int rate_ = 44100;
    int channels_ = 2;
};

// SDL2_mixer recognises MPEG audio by the frame header of layer III only; its decoder (mpg123) plays layers I
// and II as well when it is told the type.
Mix_Music* LoadStream(const std::string& path) {
    const std::string extension = UpperExtension(path);
    if (extension == ".MP1" || extension == ".MP2" || extension == ".MP3") {
        SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
        if (file == nullptr) return nullptr;
        if (Mix_Music* music = Mix_LoadMUSType_RW(file, MUS_MP3, SDL_TRUE)) return music;
    }
    return Mix_LoadMUS(path.c_str());
}

std::unique_ptr<SoundChannel> OpenStream(const std::string& path) {
    Mix_Music* music = LoadStream(path);
    if (music == nullptr) return nullptr;
    return std::make_unique<StreamChannel>(music);
}

std::unique_ptr<SoundChannel> OpenModule(const std::string& path) {
    ModulePtr module = LoadModule(path);
    if (!module) return nullptr;
    return std::make_unique<ModuleChannel>(std::move(module));
}

}  // namespace

std::unique_ptr<SoundChannel> OpenSoundChannel(const std::string& path) {
    if (IsTrackerExtension(path)) {
        if (auto module = OpenModule(path)) return module;
        return OpenStream(path);
    }
    if (auto stream = OpenStream(path)) return stream;
    return OpenModule(path);
}

double MeasureSoundFile(const std::string& path) {
    const auto measureStream = [&]() -> double {
        Mix_Music* music = LoadStream(path);
        if (music == nullptr) return -1;
        const double seconds = Mix_MusicDuration(music);
        Mix_FreeMusic(music);
        return seconds < 0 ? 0 : seconds;
    };
    const auto measureModule = [&]() -> double {
        ModulePtr module = LoadModule(path);
        return module ? std::max(0.0, openmpt_module_get_duration_seconds(module.get())) : -1;
    };
    if (IsTrackerExtension(path)) {
        const double seconds = measureModule();
        return seconds >= 0 ? seconds : measureStream();
    }
    const double seconds = measureStream();
    return seconds >= 0 ? seconds : measureModule();
}

}  // namespace kinoloop
