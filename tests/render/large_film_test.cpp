// A film past 1 GiB (a ten-minute LRG render is 8.8 GB) must stay readable to its last frame.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "render/assemble_film.h"
#include "render/frame_file.h"
#include "render_test_support.h"
#include "scripted_notices.h"
#include "temp_folder.h"

namespace kinoloop {
namespace {

namespace fs = std::filesystem;

// Frame k: every pixel (k, k / 2, 255 - k) but the top-left one, which is white.
FrameImage NumberedFrame(int width, int height, int k) {
    FrameImage frame = FrameImage::Blank(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = frame.PixelAt(x, y);
            p[0] = static_cast<std::uint8_t>(k), p[1] = static_cast<std::uint8_t>(k / 2),
            p[2] = static_cast<std::uint8_t>(255 - k);
        }
    }
    std::fill_n(frame.PixelAt(0, 0), 3, 255);
    return frame;
}

TEST(LargeFilm, PastOneGibibyteEveryFrameIsStillThere) {
    constexpr int kWidth = 1024, kHeight = 768, kFrames = 460;  // 1.08 GB of pixels
    testing::TempFolder mov;
    FrameFileWriter writer;
    ASSERT_TRUE(writer.Create(mov / "temp.tmp"));
    for (int k = 0; k < kFrames; ++k) ASSERT_TRUE(writer.Append(NumberedFrame(kWidth, kHeight, k % 256)));
    ASSERT_TRUE(writer.Close());

    FilmRequest request;
    request.movFolder = mov.Path();
    request.CapturedFrameSize = writer.CapturedFrameSize();
    request.CapturedFrameCount = kFrames;
    request.RecordedSeconds = 18;  // 460 div 18 + 1 = 26 frames per second
    testing::ScriptedNotices notices;
    const FilmOutcome outcome = AssembleFilm(request, {&notices, {}, {}});
    ASSERT_TRUE(outcome.saved) << outcome.failure;
    ASSERT_GT(fs::file_size(outcome.film), std::uintmax_t{1} << 30);

    const std::string film = "'" + outcome.film.string() + "'";
    EXPECT_EQ(testing::RunCommand("ffprobe -v error -count_frames -select_streams v -show_entries "
                                  "stream=nb_read_frames,r_frame_rate "
                                  "-of default=nw=1 " +
                                  film),
              "r_frame_rate=26/1\nnb_read_frames=460\n");
    // The last frame, decoded from beyond the first gibibyte, is frame 459 the right way up.
    const std::string last = testing::RunCommand(
        "ffmpeg -v error -i " + film + " -vf 'select=eq(n\\,459)' -frames:v 1 -f rawvideo -pix_fmt bgr24 -");
    ASSERT_EQ(last.size(), static_cast<std::size_t>(kWidth) * kHeight * 3);
    const int k = 459 % 256;
    EXPECT_EQ(static_cast<std::uint8_t>(last[0]), 255) << "the white pixel is at the top left";
    EXPECT_EQ(static_cast<std::uint8_t>(last[3]), k);
    EXPECT_EQ(static_cast<std::uint8_t>(last[4]), k / 2);
    EXPECT_EQ(static_cast<std::uint8_t>(last[last.size() - 1]), 255 - k);
    // The OpenDML extension: a second RIFF list "AVIX" holds the frames past the first gibibyte.
    std::ifstream in(outcome.film, std::ios::binary);
    std::string head(16, '\0');
    in.seekg(0);
    in.read(head.data(), 16);
    EXPECT_EQ(head.substr(8, 4), "AVI ");
    bool avix = false;
    std::string chunk(1 << 20, '\0');
    for (std::streamoff at = (std::streamoff{1} << 30) - (1 << 20); in && !avix; at += (1 << 20) - 8) {
        in.seekg(at);
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        avix = chunk.substr(0, static_cast<std::size_t>(in.gcount())).find("AVIX") != std::string::npos;
    }
    EXPECT_TRUE(avix);
}

}  // namespace
}  // namespace kinoloop
