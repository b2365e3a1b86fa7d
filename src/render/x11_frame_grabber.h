#pragma once
// The screen as a FrameGrabber: the platform's X11 capture behind the render's capture interface.
#include <memory>
#include <string>

#include "render/capture_session.h"

namespace kinoloop {

class ScreenCapture;

class X11FrameGrabber : public FrameGrabber {
public:
    // Connects to the display of DISPLAY on first use, so that a program without a display still starts.
    X11FrameGrabber();
    ~X11FrameGrabber() override;

    render::Status Grab(const ScreenRect& rect, FrameImage& into) override;
    // The platform capture, once connected (for its counters); null before the first grab.
    const ScreenCapture* Capture() const { return capture_.get(); }

private:
    std::unique_ptr<ScreenCapture> capture_;
};

}  // namespace kinoloop
