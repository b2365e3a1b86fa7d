#include "render/capture_session.h"

#include <gtest/gtest.h>

#include <deque>

#include "render_test_support.h"
#include "temp_folder.h"

namespace kinoloop {
namespace {

using testing::PatternFrame;

// Hands out pictures in turn and remembers where it was asked to look; an empty queue fails the grab.
class ScriptedGrabber : public FrameGrabber {
public:
    render::Status Grab(const ScreenRect& rect, FrameImage& into) override {
        asked.push_back(rect);
        if (pictures.empty()) return render::Failure{"the screen is gone"};
        into = pictures.front();
        pictures.pop_front();
        return render::Ok();
    }
    std::deque<FrameImage> pictures;
    std::vector<ScreenRect> asked;
};

TEST(PanelCaptureRect, FollowsTheMainWindowsFrameSizes) {
    struct Case {
        PanelPlacement placement;
        ScreenRect rect;
    };
    const Case cases[] = {
        {{100, 50, 320, 240, 8, 54}, {104, 81, 320, 240}},  // 100 + 8 div 2, 50 + 54 - 24 + 1
        {{0, 0, 512, 384, 0, 0}, {0, 1, 512, 384}},
        {{-4, 7, 352, 288, 9, 40}, {0, 21, 352, 288}},
    };
    for (const Case& c : cases) EXPECT_EQ(PanelCaptureRect(c.placement), c.rect);
}

TEST(CaptureSession, AppendsEveryCapturedFrameAndCountsIt) {
    testing::TempFolder mov;
    ScriptedGrabber grabber;
    PanelCapture capture(grabber);
    CaptureSession session(capture);
    ASSERT_TRUE(session.Start(mov.Path()));
    EXPECT_TRUE(session.Recording());
    const PanelPlacement placement{10, 20, 320, 240, 8, 54};
    for (int k = 0; k < 3; ++k) grabber.pictures.push_back(PatternFrame(320, 240, k));
    for (int k = 0; k < 3; ++k) ASSERT_TRUE(session.CaptureFrame(placement));
    EXPECT_FALSE(session.CaptureFrame(placement)) << "a failed capture";
    EXPECT_EQ(capture.CaptureBitmap(), nullptr) << "a failed capture leaves no picture";
    ASSERT_TRUE(session.Stop());
    EXPECT_FALSE(session.Recording());
    EXPECT_EQ(session.CapturedFrameSize(), 230454);
    EXPECT_EQ(session.CapturedFrameCount(), 3);
    EXPECT_EQ(std::filesystem::file_size(mov / "temp.tmp"), 3u * 230454u);
    EXPECT_EQ(grabber.asked.front(), (ScreenRect{14, 51, 320, 240}));
    EXPECT_GE(session.WallClockMilliseconds(), 0);
}

TEST(CaptureSession, APictureOfTheWrongSizeIsNoCapture) {
    testing::TempFolder mov;
    ScriptedGrabber grabber;
    PanelCapture capture(grabber);
    CaptureSession session(capture);
    ASSERT_TRUE(session.Start(mov.Path()));
    grabber.pictures.push_back(PatternFrame(100, 100, 0));
    EXPECT_FALSE(session.CaptureFrame({0, 0, 320, 240, 0, 0}));
    EXPECT_EQ(session.CapturedFrameCount(), 0);
    EXPECT_EQ(session.WallClockMilliseconds(), 0) << "no frame, no duration";
    EXPECT_FALSE(session.CaptureFrame({0, 0, 0, 240, 0, 0})) << "a panel without area";
}

}  // namespace
}  // namespace kinoloop
