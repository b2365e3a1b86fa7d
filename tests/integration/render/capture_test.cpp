// A window painted with a known pattern on the X server, captured through the simulator panel's offsets.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "platform/screen_capture.h"
#include "render/capture_session.h"
#include "render/frame_file.h"
#include "render/x11_frame_grabber.h"
#include "temp_folder.h"

namespace kinoloop {
namespace {

// The pattern's colour at window pixel (x, y): different for every pixel of a window up to 4096 wide.
std::uint32_t PatternAt(int x, int y) {
    return static_cast<std::uint32_t>((x * 7 + y * 3) & 0xFF) << 16 |
           static_cast<std::uint32_t>(x & 0xFF) << 8 | static_cast<std::uint32_t>((y + (x >> 8) * 37) & 0xFF);
}

// An undecorated window at a fixed place whose background is the pattern, so that the server repaints it.
class PatternWindow {
public:
    PatternWindow(int left, int top, int width, int height) {
        // A server whose last client just left resets and refuses connections for a moment.
        for (int attempt = 0; attempt < 40; ++attempt) {
            connection_ = xcb_connect(nullptr, nullptr);
            if (!xcb_connection_has_error(connection_)) break;
            xcb_disconnect(connection_);
            connection_ = nullptr;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (connection_ == nullptr) return;
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        const xcb_pixmap_t pixmap = xcb_generate_id(connection_);
        xcb_create_pixmap(connection_, screen->root_depth, pixmap, screen->root,
                          static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height));
        const xcb_gcontext_t gc = xcb_generate_id(connection_);
        xcb_create_gc(connection_, gc, pixmap, 0, nullptr);
        // One row per request keeps every request small.
        std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) row[static_cast<std::size_t>(x)] = PatternAt(x, y);
            xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc,
                          static_cast<std::uint16_t>(width), 1, 0, static_cast<std::int16_t>(y), 0,
                          screen->root_depth, static_cast<std::uint32_t>(row.size() * 4),
                          reinterpret_cast<const std::uint8_t*>(row.data()));
        }
        window_ = xcb_generate_id(connection_);
        const std::uint32_t values[] = {pixmap, 1};
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, screen->root,
                          static_cast<std::int16_t>(left), static_cast<std::int16_t>(top),
                          static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_BACK_PIXMAP | XCB_CW_OVERRIDE_REDIRECT, values);
        xcb_map_window(connection_, window_);
        xcb_clear_area(connection_, 0, window_, 0, 0, 0, 0);
        free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_),
                                       nullptr));  // wait for it
    }
    ~PatternWindow() {
        if (connection_ != nullptr) xcb_disconnect(connection_);
    }
    bool Ok() const {
        return connection_ != nullptr && !xcb_connection_has_error(connection_) && window_ != 0;
    }

private:
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t window_ = 0;
};

// Compares a captured picture with the pattern from window pixel (dx, dy) on.
::testing::AssertionResult ShowsPattern(const FrameImage& image, int dx, int dy) {
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t want = PatternAt(x + dx, y + dy);
            const std::uint8_t* p = image.PixelAt(x, y);
            const std::uint32_t got = static_cast<std::uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
            if (got != want) {
                return ::testing::AssertionFailure()
                       << "pixel " << x << "," << y << " is " << std::hex << got << ", not " << want;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

class ScreenCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under scripts/test-env.sh (it starts Xvfb)";
    }
};

TEST_F(ScreenCaptureTest, TheSimulatorPanelIsCapturedThroughThePanelOffsets) {
    // The simulator's window as the main window places it in a 352 x 288 panel, with frame sizes 8 and 54.
    const PanelPlacement placement{200, 150, 352, 288, 8, 54};
    const int windowWidth = placement.panelWidth + placement.FrameExtraWidth;
    const int windowHeight =
        placement.panelHeight + placement.FrameExtraHeight - 2 * placement.FrameExtraWidth;
    PatternWindow window(placement.windowLeft, placement.windowTop, windowWidth, windowHeight);
    ASSERT_TRUE(window.Ok());

    X11FrameGrabber grabber;
    PanelCapture capture(grabber);
    ASSERT_TRUE(capture.CaptureSimulatorFrame(placement));
    ASSERT_NE(capture.CaptureBitmap(), nullptr);
    EXPECT_EQ(capture.CaptureBitmap()->width, 352);
    EXPECT_EQ(capture.CaptureBitmap()->height, 288);
    // x: FrameExtraWidth div 2 into the window; y: FrameExtraHeight - 3 x FrameExtraWidth + 1.
    EXPECT_TRUE(ShowsPattern(*capture.CaptureBitmap(), 4, 54 - 24 + 1));
    ASSERT_NE(grabber.Capture(), nullptr);
    EXPECT_TRUE(grabber.Capture()->UsesSharedMemory());
}

TEST_F(ScreenCaptureTest, SharedMemoryAndGetImageGiveTheSamePicture) {
    PatternWindow window(10, 20, 333, 101);
    ASSERT_TRUE(window.Ok());
    for (bool shared : {true, false}) {
        std::string error;
        auto capture = ScreenCapture::Open(error, nullptr, {shared});
        ASSERT_TRUE(capture) << error;
        EXPECT_EQ(capture->UsesSharedMemory(), shared);
        FrameImage image = FrameImage::Blank(333, 101);  // 999 bytes of pixels, rows padded to 1000
        std::fill(image.pixels.begin(), image.pixels.end(), 0xAB);
        ASSERT_TRUE(capture->Grab(10, 20, 333, 101, image.pixels.data(),
                                  static_cast<std::size_t>(image.Stride()), error))
            << error;
        EXPECT_TRUE(ShowsPattern(image, 0, 0)) << (shared ? "shared memory" : "GetImage");
        EXPECT_EQ(image.pixels[999], 0) << "row padding is zero";
    }
}

TEST_F(ScreenCaptureTest, TheSharedSegmentIsKeptBetweenFramesAndARenderFileFills) {
    PatternWindow window(0, 0, 512, 400);
    ASSERT_TRUE(window.Ok());
    X11FrameGrabber grabber;
    PanelCapture capture(grabber);
    CaptureSession session(capture);
    testing::TempFolder mov;
    ASSERT_TRUE(session.Start(mov.Path()));
    const PanelPlacement placement{0, 0, 512, 384, 0, 0};
    for (int k = 0; k < 5; ++k) ASSERT_TRUE(session.CaptureFrame(placement));
    ASSERT_TRUE(session.Stop());
    EXPECT_EQ(grabber.Capture()->SegmentsMade(), 1);
    EXPECT_EQ(session.CapturedFrameCount(), 5);
    EXPECT_EQ(session.CapturedFrameSize(), 589878);

    FrameFileReader reader;
    ASSERT_TRUE(reader.Open(session.FrameFile(), session.CapturedFrameSize(), 5));
    std::vector<std::uint8_t> bytes(589878);
    ASSERT_TRUE(reader.Read(4, bytes));
    auto frame = DecodeBmp(bytes);
    ASSERT_TRUE(frame) << frame.error();
    EXPECT_TRUE(ShowsPattern(frame.value(), 0, 1));
}

TEST_F(ScreenCaptureTest, ARectangleOffTheScreenFailsWithoutHarm) {
    PatternWindow window(0, 0, 320, 241);
    ASSERT_TRUE(window.Ok());
    X11FrameGrabber grabber;
    PanelCapture capture(grabber);
    auto failed = capture.CaptureSimulatorFrame({-400, -300, 320, 240, 0, 0});
    ASSERT_FALSE(failed);
    EXPECT_NE(failed.error().find("not wholly on the"), std::string::npos) << failed.error();
    EXPECT_EQ(capture.CaptureBitmap(), nullptr);
    ASSERT_TRUE(capture.CaptureSimulatorFrame({0, 0, 320, 240, 0, 0})) << "the next capture works";
    EXPECT_TRUE(ShowsPattern(*capture.CaptureBitmap(), 0, 1));
}

}  // namespace
}  // namespace kinoloop
