// Fitting the recorded sound track to the film's length after moving it earlier by the play-to-record delay.
#include <gtest/gtest.h>

#include "audio/wave_file.h"
#include "playback/sound_track_fit.h"
#include "temp_folder.h"

namespace kinoloop::testing {
namespace {

std::vector<std::uint8_t> Frames(std::initializer_list<std::uint8_t> values) {
    std::vector<std::uint8_t> bytes;
    for (std::uint8_t v : values) bytes.insert(bytes.end(), {v, v, v, v});  // one 16-bit stereo frame each
    return bytes;
}

TEST(FilmSampleFrames, FilmLengthInSamples) {
    EXPECT_EQ(FilmSampleFrames(250, 25, 22050), 220500);
    EXPECT_EQ(FilmSampleFrames(1, 30, 22050), 735);
    EXPECT_EQ(FilmSampleFrames(7, 24, 22050), 6431);  // 6431.25
    EXPECT_EQ(FilmSampleFrames(0, 25, 22050), 0);
}

TEST(FitSamples, DropsTheDelayAndCutsOrPads) {
    struct Case {
        const char* name;
        std::int64_t drop, target;
        std::vector<std::uint8_t> expected;
    };
    for (const Case& c : {Case{"Cut", 1, 2, Frames({2, 3})}, Case{"Pad", 2, 4, Frames({3, 4, 0, 0})},
                          Case{"DropAll", 9, 1, Frames({0})}, Case{"Same", 0, 4, Frames({1, 2, 3, 4})}}) {
        std::vector<std::uint8_t> samples = Frames({1, 2, 3, 4});
        FitSamples(samples, 4, c.drop, c.target);
        EXPECT_EQ(samples, c.expected) << c.name;
    }
}

TEST(FitSoundTrackFile, RewritesTheFileAtTheFilmLength) {
    TempFolder folder;
    const auto file = folder / "track.wav";
    WaveFormat format;
    std::vector<std::uint8_t> samples(22050 * 4 * 2, 7);  // 2 s
    ASSERT_EQ(WriteWaveFile(file, format, samples), "");
    ASSERT_EQ(FitSoundTrackFile(file, 100, 25, 25), "");  // 1 s of film, 100 ms delay
    WaveData data;
    ASSERT_EQ(ReadWaveFile(file, data), "");
    EXPECT_EQ(data.samples.size(), 22050u * 4u);
    EXPECT_EQ(FitSoundTrackFile(folder / "missing.wav", 0, 1, 25).empty(), false);
}

}  // namespace
}  // namespace kinoloop::testing
