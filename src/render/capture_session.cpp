#include "render/capture_session.h"

namespace kinoloop {

ScreenRect PanelCaptureRect(const PanelPlacement& p) {
    return {p.windowLeft + p.FrameExtraWidth / 2,
            p.windowTop + p.FrameExtraHeight - 3 * p.FrameExtraWidth + 1, p.panelWidth, p.panelHeight};
}

render::Status PanelCapture::CaptureSimulatorFrame(const PanelPlacement& placement) {
    valid_ = false;
    const ScreenRect rect = PanelCaptureRect(placement);
    if (rect.width <= 0 || rect.height <= 0) {
        return render::Failure{"the simulator panel has no area to capture"};
    }
    render::Status grabbed = grabber_.Grab(rect, image_);
    valid_ = grabbed.ok() && image_.width == rect.width && image_.height == rect.height;
    return grabbed;
}

render::Status CaptureSession::Start(const std::filesystem::path& movFolder) {
    file_ = movFolder / kFrameFileName;
    firstFrame_.reset();
    stopped_.reset();
    return writer_.Create(file_);
}

render::Status CaptureSession::CaptureFrame(const PanelPlacement& placement) {
    render::Status captured = capture_.CaptureSimulatorFrame(placement);
    if (!captured) return captured;
    return AppendCaptured();
}

render::Status CaptureSession::AppendCaptured() {
    const FrameImage* image = capture_.CaptureBitmap();
    if (image == nullptr) return render::Failure{"no picture was captured"};
    render::Status appended = writer_.Append(*image);
    if (appended && !firstFrame_) firstFrame_ = Clock::now();
    return appended;
}

render::Status CaptureSession::Stop() {
    if (writer_.IsOpen()) stopped_ = Clock::now();
    return writer_.Close();
}

std::int64_t CaptureSession::WallClockMilliseconds() const {
    if (!firstFrame_) return 0;
    const Clock::time_point end = stopped_ ? *stopped_ : Clock::now();
    return std::chrono::duration_cast<std::chrono::milliseconds>(end - *firstFrame_).count();
}

}  // namespace kinoloop
