#pragma once
// PCM WAVE files: the recorder's sound track is written with this, and tests read it back.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kinoloop {

struct WaveFormat {
    std::uint32_t sampleRate = 22050;
    std::uint16_t channels = 2;
    std::uint16_t bitsPerSample = 16;

    std::uint32_t BytesPerFrame() const { return static_cast<std::uint32_t>(channels) * bitsPerSample / 8; }
    std::uint32_t BytesPerSecond() const { return sampleRate * BytesPerFrame(); }
};

// The 44-byte header of a canonical PCM WAVE file.
namespace wave_layout {
inline constexpr std::size_t kHeaderSize = 44;
inline constexpr std::size_t kRiffSizeOffset = 4;
inline constexpr std::size_t kFormatChunkOffset = 12;
inline constexpr std::size_t kFormatTagOffset = 20;
inline constexpr std::size_t kChannelsOffset = 22;
inline constexpr std::size_t kSampleRateOffset = 24;
inline constexpr std::size_t kByteRateOffset = 28;
inline constexpr std::size_t kBlockAlignOffset = 32;
inline constexpr std::size_t kBitsOffset = 34;
inline constexpr std::size_t kDataChunkOffset = 36;
inline constexpr std::size_t kDataSizeOffset = 40;
}  // namespace wave_layout

std::vector<std::uint8_t> WaveHeader(const WaveFormat& format, std::uint32_t dataBytes);

// Writes the file through a temporary name beside it, so that a failed write leaves no half file. Returns ""
// on success, otherwise what failed.
std::string WriteWaveFile(const std::filesystem::path& file, const WaveFormat& format,
                          const std::vector<std::uint8_t>& samples);

struct WaveData {
    WaveFormat format;
    std::vector<std::uint8_t> samples;
};
// Reads a PCM WAVE file (chunks in any order, unknown chunks skipped). Returns "" on success, else the
// reason.
std::string ReadWaveFile(const std::filesystem::path& file, WaveData& data);

}  // namespace kinoloop
