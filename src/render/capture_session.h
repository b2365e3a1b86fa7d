#pragma once
// Capturing the simulator panel from the screen (`CaptureSimulatorFrame`) and, while a render records,
// appending every captured frame to Mov/temp.tmp.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "render/frame_file.h"
#include "render/frame_image.h"
#include "render/result.h"

namespace kinoloop {

struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ScreenRect&) const = default;
};

// Copies a rectangle of the screen into a picture (resized to the rectangle). The platform's screen capture
// implements it; tests give pictures of their own.
class FrameGrabber {
public:
    virtual ~FrameGrabber() = default;
    virtual render::Status Grab(const ScreenRect& rect, FrameImage& into) = 0;
};

// Where the simulator panel is: the simulator window's outer rectangle on the screen (its top-left corner),
// the panel's size, and the main window's frame sizes that placed the window inside the panel.
struct PanelPlacement {
    int windowLeft = 0;
    int windowTop = 0;
    int panelWidth = 0;
    int panelHeight = 0;
    int FrameExtraWidth = 0;
    int FrameExtraHeight = 0;
};

// The panel's pixels on the screen: x = window left + (FrameExtraWidth div 2), y = window top +
// FrameExtraHeight
// - 3 x FrameExtraWidth + 1, the panel's size.
ScreenRect PanelCaptureRect(const PanelPlacement& placement);

// `CaptureSimulatorFrame` and `CaptureBitmap`, the last captured picture.
class PanelCapture {
public:
    explicit PanelCapture(FrameGrabber& grabber) : grabber_(grabber) {}

    // Replaces CaptureBitmap with the panel's pixels; a failure leaves no picture (and is not fatal).
    render::Status CaptureSimulatorFrame(const PanelPlacement& placement);
    const FrameImage* CaptureBitmap() const { return valid_ ? &image_ : nullptr; }
    void Discard() { valid_ = false; }

private:
    FrameGrabber& grabber_;
    FrameImage image_;  // kept between captures so that its memory is reused
    bool valid_ = false;
};

// The recording side of a render: Mov/temp.tmp, its counts and the render's wall-clock duration.
class CaptureSession {
public:
    explicit CaptureSession(PanelCapture& capture) : capture_(capture) {}

    // Creates Mov/temp.tmp (replacing an earlier one) and zeroes the counts.
    render::Status Start(const std::filesystem::path& movFolder);
    bool Recording() const { return writer_.IsOpen(); }

    // One frame-clock tick: captures the panel and appends it. A frame that could not be captured or appended
    // is not counted; the result says why.
    render::Status CaptureFrame(const PanelPlacement& placement);
    // Appends the picture that the last capture left (a script's step of time captures and appends
    // separately).
    render::Status AppendCaptured();

    // Closes the file. The counts stay for the assembly.
    render::Status Stop();

    std::int64_t CapturedFrameSize() const { return writer_.CapturedFrameSize(); }
    std::int64_t CapturedFrameCount() const { return writer_.CapturedFrameCount(); }
    // From the first counted frame to Stop (or to now while recording); 0 before the first frame.
    std::int64_t WallClockMilliseconds() const;
    const std::filesystem::path& FrameFile() const { return file_; }

private:
    using Clock = std::chrono::steady_clock;
    PanelCapture& capture_;
    FrameFileWriter writer_;
    std::filesystem::path file_;
    std::optional<Clock::time_point> firstFrame_;
    std::optional<Clock::time_point> stopped_;
};

}  // namespace kinoloop
