#include "playback/sound_track_fit.h"

#include <algorithm>
#include <cmath>

#include "audio/wave_file.h"

namespace kinoloop {

std::int64_t FilmSampleFrames(std::int64_t frames, int fps, std::uint32_t sampleRate) {
    if (fps < 1) fps = 1;
    return static_cast<std::int64_t>(
        std::llround(static_cast<double>(frames) * static_cast<double>(sampleRate) / static_cast<double>(fps)));
}

void FitSamples(std::vector<std::uint8_t>& samples, std::uint32_t bytesPerFrame, std::int64_t dropFrames,
                std::int64_t targetFrames) {
    if (bytesPerFrame == 0) return;
    samples.resize(samples.size() - samples.size() % bytesPerFrame);
    const auto available = static_cast<std::int64_t>(samples.size() / bytesPerFrame);
    const std::int64_t drop = std::clamp<std::int64_t>(dropFrames, 0, available);
    samples.erase(samples.begin(), samples.begin() + drop * bytesPerFrame);
    samples.resize(static_cast<std::size_t>(std::max<std::int64_t>(0, targetFrames)) * bytesPerFrame, 0);
}

std::string FitSoundTrackFile(const std::filesystem::path& file, int delayMs, std::int64_t filmFrames, int fps) {
    WaveData data;
    if (std::string error = ReadWaveFile(file, data); !error.empty()) return error;
    const std::int64_t drop =
        static_cast<std::int64_t>(std::llround(static_cast<double>(delayMs) * data.format.sampleRate / 1000.0));
    FitSamples(data.samples, data.format.BytesPerFrame(), drop, FilmSampleFrames(filmFrames, fps, data.format.sampleRate));
    return WriteWaveFile(file, data.format, data.samples);
}

}  // namespace kinoloop
