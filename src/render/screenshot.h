#pragma once
// "Screenshot": the simulator panel as a JPEG picture in Mov, named after the date with a counter.
#include <filesystem>
#include <functional>
#include <string>

#include "render/capture_session.h"
#include "shell/notices.h"

namespace kinoloop {

// The date part of a screenshot's name: the date in the short format with \ / : * ? " < > | and spaces
// removed.
std::string ScreenshotDatePart(const std::string& shortDate);

struct ScreenshotOutcome {
    bool saved = false;
    std::filesystem::path file;
    std::string status;  // what the status line says
};

class Screenshots {
public:
    // `shortDate` gives today's date in the user's short format; by default the system locale's.
    explicit Screenshots(std::function<std::string()> shortDate = {});

    // Steps of the command: asks when the simulator is not running, captures the panel, saves the picture
    // (the next number whose file does not exist yet: a picture of an earlier run is never replaced) and
    // reports the result on the status line; a failed capture or save says so there and in an error balloon.
    ScreenshotOutcome Take(bool simulatorWindowFound, PanelCapture& capture, const PanelPlacement& placement,
                           const std::filesystem::path& movFolder, Notices& notices,
                           const std::function<void(const std::string&)>& SetLastAction);

    int Counter() const { return counter_; }

private:
    std::function<std::string()> shortDate_;
    int counter_ = 0;
};

// A picture as JPEG, baseline, quality 90.
render::Status SaveJpeg(const FrameImage& image, const std::filesystem::path& file);

}  // namespace kinoloop
