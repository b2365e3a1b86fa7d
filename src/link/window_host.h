#pragma once
// The simulator's window inside the simulator panel: the placement arithmetic and the platform service that
// finds, embeds, places and releases the window. Window ids are the platform's (X11 window ids); 0 = none.
#include <cstdint>
#include <optional>
#include <string>

namespace kinoloop {

using NativeWindow = std::uint64_t;

struct WindowRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const WindowRect&) const = default;
};

// Where the simulator's window goes inside a panel of the given size so that its own border and caption fall
// outside the panel: x = -(fw div 2), y = 3 fw - fh, width = panel + fw, height = panel + fh - 2 fw.
WindowRect SimulatorPlacement(int panelWidth, int panelHeight, int frameExtraWidth, int frameExtraHeight);

class SimulatorWindowHost {
public:
    virtual ~SimulatorWindowHost() = default;
    // The top-level window whose title equals `title` without regard to case; 0 when there is none.
    virtual NativeWindow FindTopLevelWindow(const std::string& title) = 0;
    // Makes the window a child of the simulator panel. False when it could not be done.
    virtual bool Embed(NativeWindow window) = 0;
    // Moves and sizes the (embedded) window within the panel, on top and shown.
    virtual bool Place(NativeWindow window, const WindowRect& placement) = 0;
    // The window's rectangle on the screen, for capture.
    virtual std::optional<WindowRect> ScreenRectangle(NativeWindow window) = 0;
    // The simulator panel's client size.
    virtual WindowRect PanelRectangle() = 0;
    // Gives the window back to the root window so that it outlives Kinoloop.
    virtual void Release(NativeWindow window) = 0;
};

}  // namespace kinoloop
