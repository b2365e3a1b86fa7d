#include "render/screenshot.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "render_test_support.h"
#include "scripted_notices.h"
#include "temp_folder.h"

namespace kinoloop {
namespace {

namespace fs = std::filesystem;
using testing::PatternFrame;
using testing::ScriptedNotices;

class StillGrabber : public FrameGrabber {
public:
    render::Status Grab(const ScreenRect& rect, FrameImage& into) override {
        if (fail) return render::Failure{"the screen is gone"};
        into = PatternFrame(rect.width, rect.height, 3);
        return render::Ok();
    }
    bool fail = false;
};

std::vector<std::uint8_t> Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Finds the segment with the marker (0xFF, marker); its bytes after the length, or nothing.
std::vector<std::uint8_t> Segment(const std::vector<std::uint8_t>& jpeg, std::uint8_t marker) {
    for (std::size_t i = 2; i + 4 <= jpeg.size();) {
        if (jpeg[i] != 0xFF) return {};
        const std::size_t length = static_cast<std::size_t>(jpeg[i + 2] << 8 | jpeg[i + 3]);
        if (jpeg[i + 1] == marker) return {jpeg.begin() + i + 4, jpeg.begin() + i + 2 + length};
        if (jpeg[i + 1] == 0xDA) return {};  // the picture data starts: no more headers
        i += 2 + length;
    }
    return {};
}

TEST(ScreenshotDatePart, DropsTheCharactersAFileNameCannotHold) {
    EXPECT_EQ(ScreenshotDatePart("09/12/2024"), "09122024");
    EXPECT_EQ(ScreenshotDatePart("12/9/24"), "12924");
    EXPECT_EQ(ScreenshotDatePart("a\\b/c:d*e?f\"g<h>i|j k"), "abcdefghijk");
}

class ScreenshotTest : public ::testing::Test {
protected:
    ScreenshotOutcome Take(bool simulator = true) {
        return shots.Take(simulator, capture, placement, mov / "Mov", notices,
                          [&](const std::string& s) { status.push_back(s); });
    }
    testing::TempFolder mov;
    StillGrabber grabber;
    PanelCapture capture{grabber};
    PanelPlacement placement{0, 0, 320, 240, 0, 0};
    Screenshots shots{[] { return std::string("09/12/2024"); }};
    ScriptedNotices notices;
    std::vector<std::string> status;
};

TEST_F(ScreenshotTest, SavesBaselineJpegsNamedByDateAndCounterInANewMovFolder) {
    const ScreenshotOutcome first = Take();
    ASSERT_TRUE(first.saved) << first.status;
    EXPECT_EQ(first.file, mov / "Mov" / "09122024_1.jpg");
    EXPECT_EQ(status.back(), "Saved screenshot as '09122024_1.jpg' in to the Mov folder");
    EXPECT_EQ(Take().file.filename(), "09122024_2.jpg");

    const std::vector<std::uint8_t> jpeg = Bytes(first.file);
    ASSERT_GT(jpeg.size(), 4u);
    EXPECT_TRUE(jpeg[0] == 0xFF && jpeg[1] == 0xD8);
    const std::vector<std::uint8_t> frame = Segment(jpeg, 0xC0);  // baseline
    ASSERT_EQ(frame.size(), 15u) << "a baseline colour frame header";
    EXPECT_EQ(frame[1] << 8 | frame[2], 240);
    EXPECT_EQ(frame[3] << 8 | frame[4], 320);
    EXPECT_EQ(frame[5], 3) << "colour";
    EXPECT_TRUE(Segment(jpeg, 0xC2).empty()) << "not progressive";
    // Quality 90 scales the standard luminance table (16 first) by a fifth: 3.
    const std::vector<std::uint8_t> tables = Segment(jpeg, 0xDB);
    ASSERT_GT(tables.size(), 2u);
    EXPECT_EQ(tables[1], 3);
    EXPECT_TRUE(notices.boxes.empty());
}

TEST_F(ScreenshotTest, NeverReplacesAPictureOfAnEarlierRun) {
    fs::create_directories(mov / "Mov");
    std::ofstream(mov / "Mov" / "09122024_1.jpg") << "an earlier run's picture";
    std::ofstream(mov / "Mov" / "09122024_2.jpg") << "another";
    EXPECT_EQ(Take().file.filename(), "09122024_3.jpg");
    std::ifstream kept(mov / "Mov" / "09122024_1.jpg");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "an earlier run's picture");
}

TEST_F(ScreenshotTest, AsksWhenTheSimulatorIsNotRunning) {
    notices.Answer('N');
    EXPECT_FALSE(Take(false).saved);
    EXPECT_FALSE(fs::exists(mov / "Mov"));
    notices.Answer('Y');
    EXPECT_TRUE(Take(false).saved);
    ASSERT_EQ(notices.boxes.size(), 2u);
    EXPECT_EQ(notices.boxes[0].text,
              "Live for Speed doesn't appear to be loaded, do you want to take a screenshot anyway?");
}

TEST_F(ScreenshotTest, FailuresAreReportedNotAnnouncedAsSaved) {
    grabber.fail = true;
    ScreenshotOutcome outcome = Take();
    EXPECT_FALSE(outcome.saved);
    EXPECT_EQ(status.back().rfind("Screenshot not saved: the simulator panel could not be captured", 0), 0u)
        << status.back();
    grabber.fail = false;
    std::ofstream(mov / "Mov") << "a file where the folder should be";
    outcome = Take();
    EXPECT_FALSE(outcome.saved);
    EXPECT_NE(status.back().find("could not be written"), std::string::npos) << status.back();
    ASSERT_EQ(notices.balloons.size(), 2u);
    EXPECT_EQ(notices.balloons[1].kind, BalloonKind::Error);
}

}  // namespace
}  // namespace kinoloop
