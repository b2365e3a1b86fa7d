#pragma once
// "Screenshot" (Tools menu, F12, tool button) and "Open Movies Folder" (File menu): the simulator panel as a
// JPEG in Mov, and that folder in the desktop's file manager.
#include <QUrl>
#include <functional>
#include <string>

#include "render/screenshot.h"

namespace kinoloop {

class Notices;

struct ScreenshotContext {
    Notices* notices = nullptr;
    std::function<bool()> simulatorWindowFound;             // the simulator's window is embedded
    std::function<PanelCapture*()> capture;                 // the panel capture (none before start-up ends)
    std::function<PanelPlacement()> placement;              // where the panel is on the screen
    std::function<void(const std::string&)> setLastAction;  // the "Last Action: " line
    std::function<bool(const QUrl&)> openUrl;               // by default QDesktopServices::openUrl
    std::function<std::string()> shortDate;                 // by default the locale's short date
};

class ScreenshotCommands {
public:
    explicit ScreenshotCommands(ScreenshotContext context);

    ScreenshotOutcome Screenshot1Click();
    // Opens Mov when it exists; true when it was handed to the desktop.
    bool OpenMoviesFolder1Click();

    const Screenshots& screenshots() const { return screenshots_; }

private:
    ScreenshotContext ctx_;
    Screenshots screenshots_;
};

}  // namespace kinoloop
