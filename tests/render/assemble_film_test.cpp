#include "render/assemble_film.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "render/frame_file.h"
#include "render/watermark.h"
#include "render_test_support.h"
#include "scripted_notices.h"
#include "temp_folder.h"

namespace kinoloop {
namespace {

namespace fs = std::filesystem;
using testing::EffectRecord;
using testing::InstallEffect;
using testing::PatternFrame;
using testing::SampleEffect;
using testing::ScriptedNotices;
using testing::TestEffect;

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

// ffprobe's view of each stream: key=value pairs.
std::vector<std::map<std::string, std::string>> Probe(const fs::path& film) {
    std::istringstream lines(
        testing::RunCommand("ffprobe -v error -count_frames -show_entries "
                            "stream=codec_type,codec_name,width,height,r_frame_rate,nb_read_frames,"
                            "sample_rate,channels -of default=nw=1 " +
                            Quoted(film)));
    std::vector<std::map<std::string, std::string>> streams;
    for (std::string line; std::getline(lines, line);) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        if (key == "codec_name") streams.emplace_back();
        if (!streams.empty()) streams.back()[key] = line.substr(eq + 1);
    }
    return streams;
}

// The film's frames decoded by ffmpeg: top-down rows of width x 3 bytes.
std::string DecodedFrames(const fs::path& film) {
    return testing::RunCommand("ffmpeg -v error -i " + Quoted(film) +
                               " -map 0:v -f rawvideo -pix_fmt bgr24 -");
}
std::string DecodedSound(const fs::path& film) {
    return testing::RunCommand("ffmpeg -v error -i " + Quoted(film) + " -map 0:a -f s16le -c:a pcm_s16le -");
}

std::string TopDown(const FrameImage& image) {
    std::string bytes;
    for (int y = 0; y < image.height; ++y) {
        bytes.append(reinterpret_cast<const char*>(image.PixelAt(0, y)),
                     static_cast<std::size_t>(image.width) * 3);
    }
    return bytes;
}

// 16-bit stereo samples at 22050 Hz: a different value in every sample.
std::string SoundSamples(int frames) {
    std::string samples;
    for (int i = 0; i < frames; ++i) {
        for (int channel = 0; channel < 2; ++channel) {
            const auto value = static_cast<std::int16_t>((i * 37 + channel * 1000) % 60000 - 30000);
            samples.push_back(static_cast<char>(value & 0xFF));
            samples.push_back(static_cast<char>((value >> 8) & 0xFF));
        }
    }
    return samples;
}

void WriteWav(const fs::path& file, const std::string& samples) {
    std::string header = "RIFF";
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) header.push_back(static_cast<char>(v >> (8 * i)));
    };
    auto u16 = [&](std::uint16_t v) {
        header.push_back(static_cast<char>(v & 0xFF));
        header.push_back(static_cast<char>(v >> 8));
    };
    u32(static_cast<std::uint32_t>(36 + samples.size()));
    header += "WAVEfmt ";
    u32(16), u16(1), u16(2), u32(22050), u32(22050 * 4), u16(4), u16(16);
    header += "data";
    u32(static_cast<std::uint32_t>(samples.size()));
    std::ofstream(file, std::ios::binary) << header << samples;
}

class AssembleFilmTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(eff / "Eff");
        InstallEffect(SampleEffect("brightness_contrast.so"), eff / "Eff", "brightness_contrast.so");
        InstallEffect(SampleEffect("letterbox.so"), eff / "Eff", "letterbox.so");
        InstallEffect(TestEffect("bad_result.so"), eff / "Eff", "bad_result.so");
        plugins = ScanPlugins(eff / "Eff").plugins;
        auto shipped = ReadBmpFile(testing::SourceDir() / "assets" / "Img" / kWatermarkFileName);
        ASSERT_TRUE(shipped) << shipped.error();
        mark = shipped.value();
    }

    // Writes Mov/temp.tmp with pattern frames and fills the request's counts.
    std::vector<FrameImage> Record(int count, int width = 158, int height = 100) {
        std::vector<FrameImage> frames;
        FrameFileWriter writer;
        EXPECT_TRUE(writer.Create(mov / "temp.tmp"));
        for (int k = 0; k < count; ++k) {
            frames.push_back(PatternFrame(width, height, k));
            EXPECT_TRUE(writer.Append(frames.back()));
        }
        request.movFolder = mov.Path();
        request.CapturedFrameSize = writer.CapturedFrameSize();
        request.CapturedFrameCount = writer.CapturedFrameCount();
        request.nodes = &store;
        request.plugins = &plugins;
        return frames;
    }

    FilmOutcome Assemble() {
        return AssembleFilm(request,
                            {&notices, [&](const std::string& s) { status.push_back(s); }, [&] { ++pumps; }});
    }

    std::vector<std::string> BalloonTexts(BalloonKind kind) const {
        std::vector<std::string> texts;
        for (const auto& b : notices.balloons) {
            if (b.kind == kind) texts.push_back(b.text);
        }
        return texts;
    }

    testing::TempFolder mov;
    testing::TempFolder eff;
    std::vector<TPlugin> plugins;
    FrameImage mark;
    NodeStore store;
    FilmRequest request;
    ScriptedNotices notices;
    std::vector<std::string> status;
    int pumps = 0;
};

TEST_F(AssembleFilmTest, EffectsWatermarkAndSoundEndUpExactlyInTheFilm) {
    std::vector<FrameImage> expected = Record(6);
    NodeText start;
    start.tag = "STT";
    start.column = 5;
    store.Append(
        EffectRecord(1, 2, 1, "Cinema Bars", "0", "10", "0", "0", ""));  // before the start: never used
    store.Append(start);
    store.Append(EffectRecord(2, 7, 2, "BRIGHTNESS/CONTRAST", "30", "0", "0", "0", ""));  // frame 3, first
    store.Append(EffectRecord(3, 7, 1, "Cinema Bars", "0", "10", "255", "0", ""));        // frame 3, second
    store.Append(EffectRecord(4, 8, 1, "cinema bars", "0", "10", "255", "0", ""));        // frame 4
    store.Append(EffectRecord(5, 9, 1, "Bad Result", "1", "0", "0", "0", ""));            // frame 5: rejected
    store.Append(
        EffectRecord(6, 10, 1, "Cinema Bars", "0", "10", "x", "0", "text"));  // frame 6: parameters 0
    auto bars = [](FrameImage& f, int rows, std::array<std::uint8_t, 3> bgr) {
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < f.width; ++x) {
                std::copy(bgr.begin(), bgr.end(), f.PixelAt(x, y));
                std::copy(bgr.begin(), bgr.end(), f.PixelAt(x, f.height - 1 - y));
            }
        }
    };
    for (std::uint8_t& v : expected[2].pixels) v = static_cast<std::uint8_t>(std::min(255, v + 30));
    bars(expected[2], 10, {255, 0, 0});
    bars(expected[3], 10, {255, 0, 0});
    // Frame 6: parameters all 0 give the default 2.35:1 bars in black: 158 / 2.35 = 67 rows, bars of 16.
    bars(expected[5], 16, {0, 0, 0});
    std::string expectedFrames;
    for (FrameImage& frame : expected) {
        StampWatermark(frame, mark);
        expectedFrames += TopDown(frame);
    }

    const std::string samples = SoundSamples(22050 + 100);
    request.MovieFileName = "Race.KNLOOP";
    WriteWav(SoundTrackPath(mov.Path(), request.MovieFileName), samples);
    request.RecordAudio = true;
    request.RecordedSeconds = 1;
    request.watermark = true;
    request.watermarkImage = &mark;
    const FilmOutcome outcome = Assemble();

    ASSERT_TRUE(outcome.saved) << outcome.failure;
    EXPECT_EQ(outcome.film, mov / "Race.avi");
    EXPECT_EQ(outcome.framesPerSecond, 7);
    EXPECT_EQ(outcome.rejectedEffects, 1);
    EXPECT_TRUE(outcome.soundAdded);

    const auto streams = Probe(outcome.film);
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[0].at("codec_type"), "video");
    EXPECT_EQ(streams[0].at("codec_name"), "rawvideo");
    EXPECT_EQ(streams[0].at("width"), "158");
    EXPECT_EQ(streams[0].at("height"), "100");
    EXPECT_EQ(streams[0].at("r_frame_rate"), "7/1");
    EXPECT_EQ(streams[0].at("nb_read_frames"), "6");
    EXPECT_EQ(streams[1].at("codec_type"), "audio");
    EXPECT_EQ(streams[1].at("codec_name"), "pcm_s16le");
    EXPECT_EQ(streams[1].at("sample_rate"), "22050");
    EXPECT_EQ(streams[1].at("channels"), "2");

    const std::string decoded = DecodedFrames(outcome.film);
    ASSERT_EQ(decoded.size(), expectedFrames.size());
    const std::size_t frameBytes = 158u * 100u * 3u;
    for (std::size_t k = 0; k < 6; ++k) {
        EXPECT_TRUE(decoded.compare(k * frameBytes, frameBytes, expectedFrames, k * frameBytes, frameBytes) ==
                    0)
            << "frame " << k + 1 << " differs";
    }
    EXPECT_TRUE(DecodedSound(outcome.film) == samples) << "the sound comes back sample for sample";

    EXPECT_FALSE(fs::exists(mov / "temp.tmp"));
    EXPECT_FALSE(fs::exists(mov / "temp.avi"));
    EXPECT_FALSE(fs::exists(mov / "Race.KNLOOP.wav"));

    const auto information = BalloonTexts(BalloonKind::Information);
    ASSERT_FALSE(information.empty());
    EXPECT_EQ(information.front(), "Processing Rendered Movie, Please Wait");
    EXPECT_NE(std::find(information.begin(), information.end(), "Creating AVI - Frame: 3\\6, 50% complete"),
              information.end());
    EXPECT_NE(std::find(information.begin(), information.end(), "Creating AVI - Frame: 1\\6, 17% complete"),
              information.end());
    EXPECT_EQ(information.back(), "Creating AVI - Movie Render Complete");
    EXPECT_EQ(BalloonTexts(BalloonKind::Error),
              (std::vector<std::string>{
                  "Error Applying Effect to Frame: 5, the plugin returned a 157 x 100 picture "
                  "instead of 158 x 100"}));
    EXPECT_NE(std::find(status.begin(), status.end(), "Creating AVI - Applying Effect to Frame: 3"),
              status.end());
    EXPECT_NE(std::find(status.begin(), status.end(),
                        "Creating AVI - Finalizing, Please wait this may take some time"),
              status.end());
    EXPECT_EQ(status.back(), "Creating AVI - Movie Render complete");
    ASSERT_EQ(notices.boxes.size(), 1u);
    EXPECT_EQ(notices.boxes[0].text, "Movie render complete. Your movie has been saved in the Mov folder");
    EXPECT_GE(pumps, 6);
}

TEST_F(AssembleFilmTest, WithoutSoundTheFilmHasOneStreamAtTheMeasuredRate) {
    const std::vector<FrameImage> frames = Record(3, 64, 48);
    request.RecordedSeconds = 1;
    const FilmOutcome outcome = Assemble();
    ASSERT_TRUE(outcome.saved) << outcome.failure;
    EXPECT_EQ(outcome.film, mov / "unknown.avi");
    const auto streams = Probe(outcome.film);
    ASSERT_EQ(streams.size(), 1u);
    EXPECT_EQ(streams[0].at("r_frame_rate"), "4/1");
    EXPECT_EQ(streams[0].at("nb_read_frames"), "3");
    EXPECT_EQ(DecodedFrames(outcome.film), TopDown(frames[0]) + TopDown(frames[1]) + TopDown(frames[2]))
        << "no watermark when the setting is 0";
}

TEST_F(AssembleFilmTest, NoRecordedLengthTakesTheRateFromTheWallClock) {
    Record(10, 32, 32);
    request.RecordedSeconds = 0;
    request.wallClockMilliseconds = 2500;
    const FilmOutcome outcome = Assemble();
    ASSERT_TRUE(outcome.saved) << outcome.failure;
    EXPECT_EQ(outcome.framesPerSecond, 6);  // 10 div 2 + 1
    EXPECT_EQ(Probe(outcome.film).at(0).at("r_frame_rate"), "6/1");
    EXPECT_NE(std::find_if(status.begin(), status.end(),
                           [](const std::string& s) { return s.find("measured") != std::string::npos; }),
              status.end());
}

TEST_F(AssembleFilmTest, TheMovieFrameRateWinsOverTheRecordedLength) {
    // 50 frames of a 25 fps movie over 2 recorded seconds: the measured rule would give 26 and run the pictures
    // ahead of their sound.
    Record(50, 16, 16);
    request.RecordedSeconds = 2;
    request.movieFramesPerSecond = 25;
    const FilmOutcome outcome = Assemble();
    ASSERT_TRUE(outcome.saved) << outcome.failure;
    EXPECT_EQ(outcome.framesPerSecond, 25);
    const auto streams = Probe(outcome.film);
    EXPECT_EQ(streams.at(0).at("r_frame_rate"), "25/1");
    EXPECT_EQ(streams.at(0).at("nb_read_frames"), "50");
}

TEST_F(AssembleFilmTest, AMissingSoundTrackIsReportedAndTheFilmKeepsItsPictures) {
    Record(2, 32, 32);
    request.RecordAudio = true;
    request.RecordedSeconds = 1;
    const FilmOutcome outcome = Assemble();
    ASSERT_TRUE(outcome.saved) << outcome.failure;
    EXPECT_FALSE(outcome.soundAdded);
    EXPECT_EQ(Probe(outcome.film).size(), 1u);
    EXPECT_EQ(BalloonTexts(BalloonKind::Error),
              (std::vector<std::string>{"Creating AVI - ERROR, Unable to open the temporary audio file"}));
}

TEST_F(AssembleFilmTest, FailuresAreReportedAndCleanedUpNotAnnouncedAsComplete) {
    struct Case {
        const char* what;
        int frames;
        bool blockTempAvi;
        const char* reason;  // part of the failure
    };
    for (const Case& c : {Case{"no frame", 0, false, "no frame was captured"},
                          Case{"temp.avi cannot be made", 2, true, "temp.avi"}}) {
        ScriptedNotices told;
        notices = told;
        status.clear();
        Record(c.frames, 16, 16);
        if (c.blockTempAvi) fs::create_directories(mov / "temp.avi" / "in-the-way");
        request.RecordedSeconds = 1;
        const FilmOutcome outcome = Assemble();
        EXPECT_FALSE(outcome.saved) << c.what;
        EXPECT_NE(outcome.failure.find(c.reason), std::string::npos) << c.what << ": " << outcome.failure;
        EXPECT_FALSE(fs::exists(mov / "temp.tmp")) << c.what;
        EXPECT_FALSE(fs::exists(outcome.film)) << c.what;
        ASSERT_EQ(notices.boxes.size(), 1u) << c.what;
        EXPECT_EQ(notices.boxes[0].icon, icon::Error);
        EXPECT_NE(notices.boxes[0].text.find("The movie render failed"), std::string::npos);
        EXPECT_EQ(status.back(), "Creating AVI - Movie Render failed");
        if (c.blockTempAvi) fs::remove_all(mov / "temp.avi");
    }
}

TEST(FilmNames, FollowTheProjectFileName) {
    struct Case {
        const char* project;
        const char* film;
    };
    for (const Case& c : {Case{"unknown.knloop", "unknown.avi"}, Case{"Race.KNLOOP", "Race.avi"},
                          Case{"a.knloop.knloop", "a.knloop.avi"}, Case{"Plain", "Plain.avi"}}) {
        EXPECT_EQ(FilmFileName(c.project), c.film);
    }
    EXPECT_EQ(SoundTrackPath("/m", "unknown.knloop"), fs::path("/m/unknown.knloop.wav"));
    EXPECT_EQ(FilmFrameRate(250, 10), 26);
    EXPECT_EQ(FilmFrameRate(3, 1), 4);
    EXPECT_EQ(FilmFrameRate(3, 0), 4) << "never a division by zero";
}

}  // namespace
}  // namespace kinoloop
