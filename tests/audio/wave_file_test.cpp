#include "audio/wave_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "temp_folder.h"

namespace kinoloop {
namespace {

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint16_t Le16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

TEST(WaveFile, HeaderOfTheRecorderFormat) {
    const std::vector<std::uint8_t> header = WaveHeader(WaveFormat{22050, 2, 16}, 88200);
    ASSERT_EQ(header.size(), 44u);
    EXPECT_EQ(std::string(header.begin(), header.begin() + 4), "RIFF");
    EXPECT_EQ(Le32(header, 4), 88200u + 36u);
    EXPECT_EQ(std::string(header.begin() + 8, header.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Le32(header, 16), 16u);
    EXPECT_EQ(Le16(header, 20), 1u);
    EXPECT_EQ(Le16(header, 22), 2u);
    EXPECT_EQ(Le32(header, 24), 22050u);
    EXPECT_EQ(Le32(header, 28), 88200u);
    EXPECT_EQ(Le16(header, 32), 4u);
    EXPECT_EQ(Le16(header, 34), 16u);
    EXPECT_EQ(std::string(header.begin() + 36, header.begin() + 40), "data");
    EXPECT_EQ(Le32(header, 40), 88200u);
}

TEST(WaveFile, WritesAndReadsBackWholeFrames) {
    testing::TempFolder folder;
    std::vector<std::uint8_t> samples(4 * 1000 + 3);  // a torn last frame is not written
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::uint8_t>(i * 7);
    const auto file = folder / "track.wav";
    ASSERT_EQ(WriteWaveFile(file, WaveFormat{}, samples), "");
    EXPECT_FALSE(std::filesystem::exists(folder / "track.wav.part"));
    EXPECT_EQ(std::filesystem::file_size(file), 44u + 4000u);

    WaveData back;
    ASSERT_EQ(ReadWaveFile(file, back), "");
    EXPECT_EQ(back.format.sampleRate, 22050u);
    EXPECT_EQ(back.format.channels, 2u);
    EXPECT_EQ(back.format.bitsPerSample, 16u);
    samples.resize(4000);
    EXPECT_EQ(back.samples, samples);
}

TEST(WaveFile, ReportsWhatFailed) {
    testing::TempFolder folder;
    EXPECT_NE(WriteWaveFile(folder / "no-such-folder" / "x.wav", WaveFormat{}, {}), "");
    std::ofstream(folder / "junk.wav") << "not a wave file at all";
    WaveData data;
    EXPECT_NE(ReadWaveFile(folder / "junk.wav", data), "");
    EXPECT_NE(ReadWaveFile(folder / "missing.wav", data), "");
}

}  // namespace
}  // namespace kinoloop
