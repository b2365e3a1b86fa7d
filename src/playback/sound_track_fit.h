#pragma once
// Makes a recorded sound track agree with the film: the film's clock is its frame count at its frame rate, the
// sound's clock is its sample count. The recording is moved earlier by the sound server's play-to-record delay
// (a sound played with frame k then lands on frame k's samples) and cut or padded with silence to exactly the
// film's length.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kinoloop {

// Sample frames of a film of `frames` pictures at `fps` with sound at `sampleRate`, rounded to the nearest.
std::int64_t FilmSampleFrames(std::int64_t frames, int fps, std::uint32_t sampleRate);

// Drops `dropFrames` sample frames from the front of interleaved PCM and cuts or pads it to `targetFrames`.
void FitSamples(std::vector<std::uint8_t>& samples, std::uint32_t bytesPerFrame, std::int64_t dropFrames,
                std::int64_t targetFrames);

// Rewrites a WAVE file so. Returns "" or what failed.
std::string FitSoundTrackFile(const std::filesystem::path& file, int delayMs, std::int64_t filmFrames, int fps);

}  // namespace kinoloop
