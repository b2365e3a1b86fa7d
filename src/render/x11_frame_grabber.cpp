#include "render/x11_frame_grabber.h"

#include "platform/screen_capture.h"

namespace kinoloop {

X11FrameGrabber::X11FrameGrabber() = default;
X11FrameGrabber::~X11FrameGrabber() = default;

render::Status X11FrameGrabber::Grab(const ScreenRect& rect, FrameImage& into) {
    std::string error;
    if (!capture_) {
        capture_ = ScreenCapture::Open(error);
        if (!capture_) return render::Failure{error};
    }
    into.width = rect.width;
    into.height = rect.height;
    into.pixels.resize(into.ImageSize());
    if (!capture_->Grab(rect.x, rect.y, rect.width, rect.height, into.pixels.data(),
                        static_cast<std::size_t>(into.Stride()), error)) {
        return render::Failure{error};
    }
    return render::Ok();
}

}  // namespace kinoloop
