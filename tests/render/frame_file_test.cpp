#include "render/frame_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "render_test_support.h"
#include "temp_folder.h"

namespace kinoloop {
namespace {

using testing::PatternFrame;

TEST(FrameFile, IsThePlainConcatenationOfFrameImages) {
    testing::TempFolder folder;
    const auto file = folder / "temp.tmp";
    FrameFileWriter writer;
    ASSERT_TRUE(writer.Create(file));
    std::vector<std::uint8_t> expected;
    for (int k = 0; k < 3; ++k) {
        const FrameImage frame = PatternFrame(352, 288, k);
        ASSERT_TRUE(writer.Append(frame));
        const auto bytes = EncodeBmp(frame);
        expected.insert(expected.end(), bytes.begin(), bytes.end());
    }
    EXPECT_EQ(writer.CapturedFrameSize(), 304182);
    EXPECT_EQ(writer.CapturedFrameCount(), 3);
    ASSERT_TRUE(writer.Close());

    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, expected);

    FrameFileReader reader;
    ASSERT_TRUE(reader.Open(file, writer.CapturedFrameSize(), 3));
    std::vector<std::uint8_t> frame(304182);
    ASSERT_TRUE(reader.Read(2, frame));
    EXPECT_EQ(frame, EncodeBmp(PatternFrame(352, 288, 2)));
    EXPECT_FALSE(reader.Read(3, frame)) << "there is no fourth frame";
}

TEST(FrameFile, CreatingReplacesAnEarlierFileAndZeroesTheCounts) {
    testing::TempFolder folder;
    const auto file = folder / "temp.tmp";
    std::ofstream(file) << "an earlier render's frames";
    FrameFileWriter writer;
    ASSERT_TRUE(writer.Create(file));
    EXPECT_EQ(writer.CapturedFrameCount(), 0);
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
    ASSERT_TRUE(writer.Append(PatternFrame(4, 4, 0)));
    ASSERT_TRUE(writer.Create(file));
    EXPECT_EQ(writer.CapturedFrameCount(), 0);
    EXPECT_EQ(writer.CapturedFrameSize(), 0);
}

TEST(FrameFile, AFrameOfAnotherSizeIsNotAppendedOrCounted) {
    testing::TempFolder folder;
    FrameFileWriter writer;
    ASSERT_TRUE(writer.Create(folder / "temp.tmp"));
    ASSERT_TRUE(writer.Append(PatternFrame(8, 8, 0)));
    EXPECT_FALSE(writer.Append(PatternFrame(8, 9, 1)));
    EXPECT_EQ(writer.CapturedFrameCount(), 1);
    EXPECT_EQ(std::filesystem::file_size(folder / "temp.tmp"), BmpFileSize(8, 8));
}

TEST(FrameFile, FailuresAreReportedNotFatal) {
    testing::TempFolder folder;
    FrameFileWriter writer;
    EXPECT_FALSE(writer.Append(PatternFrame(2, 2, 0))) << "nothing is open";
    auto created = writer.Create(folder / "missing-folder" / "temp.tmp");
    ASSERT_FALSE(created);
    EXPECT_NE(created.error().find("temp.tmp"), std::string::npos);
    EXPECT_FALSE(writer.Append(PatternFrame(2, 2, 0)));
    EXPECT_EQ(writer.CapturedFrameCount(), 0);

    FrameFileReader reader;
    EXPECT_FALSE(reader.Open(folder / "nothing.tmp", 100, 1));
    std::ofstream(folder / "short.tmp") << std::string(150, 'x');
    auto shortFile = reader.Open(folder / "short.tmp", 100, 2);
    ASSERT_FALSE(shortFile);
    EXPECT_NE(shortFile.error().find("fewer"), std::string::npos);
}

}  // namespace
}  // namespace kinoloop
