#include "audio/wave_file.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <system_error>

namespace kinoloop {
namespace {

void Put16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value) {
    bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}

std::uint32_t Get32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Get16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

}  // namespace

std::vector<std::uint8_t> WaveHeader(const WaveFormat& format, std::uint32_t dataBytes) {
    using namespace wave_layout;
    std::vector<std::uint8_t> header(kHeaderSize, 0);
    std::memcpy(header.data(), "RIFF", 4);
    Put32(header, kRiffSizeOffset, dataBytes + static_cast<std::uint32_t>(kHeaderSize) - 8);
    std::memcpy(header.data() + 8, "WAVE", 4);
    std::memcpy(header.data() + kFormatChunkOffset, "fmt ", 4);
    Put32(header, kFormatChunkOffset + 4, 16);
    Put16(header, kFormatTagOffset, 1);  // PCM
    Put16(header, kChannelsOffset, format.channels);
    Put32(header, kSampleRateOffset, format.sampleRate);
    Put32(header, kByteRateOffset, format.BytesPerSecond());
    Put16(header, kBlockAlignOffset, static_cast<std::uint16_t>(format.BytesPerFrame()));
    Put16(header, kBitsOffset, format.bitsPerSample);
    std::memcpy(header.data() + kDataChunkOffset, "data", 4);
    Put32(header, kDataSizeOffset, dataBytes);
    return header;
}

std::string WriteWaveFile(const std::filesystem::path& file, const WaveFormat& format,
                          const std::vector<std::uint8_t>& samples) {
    if (samples.size() > std::numeric_limits<std::uint32_t>::max() - wave_layout::kHeaderSize) {
        return "The recording is too long for a WAVE file (more than 4 GB of samples).";
    }
    const std::uint32_t frameBytes = format.BytesPerFrame();
    const std::size_t whole = frameBytes == 0 ? 0 : samples.size() / frameBytes * frameBytes;
    const std::vector<std::uint8_t> header = WaveHeader(format, static_cast<std::uint32_t>(whole));

    std::filesystem::path temporary = file;
    temporary += ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return "Cannot create the sound file " + temporary.string() + ".";
        out.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
        out.write(reinterpret_cast<const char*>(samples.data()), static_cast<std::streamsize>(whole));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return "Cannot write the sound file " + file.string() + " (is the disk full?).";
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, file, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return "Cannot write the sound file " + file.string() + ": " + error.message() + ".";
    }
    return {};
}

std::string ReadWaveFile(const std::filesystem::path& file, WaveData& data) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return "Cannot open " + file.string() + ".";
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        return file.string() + " is not a WAVE file.";
    }
    bool haveFormat = false;
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::uint32_t size = Get32(bytes.data() + at + 4);
        const std::uint8_t* body = bytes.data() + at + 8;
        const std::size_t available = bytes.size() - at - 8;
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0) {
            if (size < 16 || available < 16) return file.string() + " has a damaged format chunk.";
            if (Get16(body) != 1) return file.string() + " does not hold PCM samples.";
            data.format.channels = Get16(body + 2);
            data.format.sampleRate = Get32(body + 4);
            data.format.bitsPerSample = Get16(body + 14);
            haveFormat = true;
        } else if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
            if (!haveFormat) return file.string() + " has its samples before its format.";
            data.samples.assign(body, body + std::min<std::size_t>(size, available));
            return {};
        }
        at += 8 + static_cast<std::size_t>(size) + (size & 1);
    }
    return file.string() + " holds no samples.";
}

}  // namespace kinoloop
