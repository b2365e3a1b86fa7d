#pragma once
// Starting the simulator with InSim switched on and keeping its window inside the simulator panel.
#include <string>
#include <vector>

#include "link/link_handler.h"
#include "link/window_host.h"
#include "shell/notices.h"

namespace kinoloop {

// How the simulator is started: a ".exe" (any case) goes through wine, anything else runs directly.
struct LaunchCommand {
    std::string program;
    std::vector<std::string> arguments;
    std::string workingFolder;
};
LaunchCommand SimulatorCommand(const TSettings& settings);

class SimulatorLauncher {
public:
    static constexpr int kWindowSearchMs = 5000;

    // `host` may be null (no window service on this platform): the simulator then runs in its own window.
    SimulatorLauncher(LinkHandler& link, Notices& notices, SimulatorWindowHost* host);

    // Measured on the main window at start: outer minus client size.
    void SetFrameExtra(int width, int height) {
        frameExtraWidth_ = width;
        frameExtraHeight_ = height;
    }
    int FrameExtraWidth() const { return frameExtraWidth_; }
    int FrameExtraHeight() const { return frameExtraHeight_; }

    // `imgRunLFSClick`: balloon, LaunchSimulator, "ISI" and "VER".
    void imgRunLFSClick();
    // Starts the simulator and embeds its window; false (and the user told) when it could not be started.
    bool LaunchSimulator();
    // `panMainResize` step 4: places the embedded window for the panel's present size; nothing while it is 0.
    void PlaceSimulatorWindow();
    // "Adjust LFS To Fit": looks for the window again, embeds and places it. Errors are ignored.
    void AdjustLfsToFit();
    // Before Kinoloop exits: gives the window back to the root so that the simulator survives.
    void ReleaseSimulatorWindow();
    // The simulator window's rectangle on the screen, for capture.
    std::optional<WindowRect> SimulatorScreenRectangle();
    // The process id of the last simulator started (0 when none).
    std::int64_t LastProcessId() const { return processId_; }

private:
    void EmbedAndPlace(NativeWindow window);

    LinkHandler& link_;
    Notices& notices_;
    SimulatorWindowHost* host_;
    int frameExtraWidth_ = 0;
    int frameExtraHeight_ = 0;
    std::int64_t processId_ = 0;
};

}  // namespace kinoloop
