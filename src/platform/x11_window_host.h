#pragma once
// The simulator's window under X11: found by title among the top-level windows, reparented into the simulator
// panel's native window, placed there, and given back to the root window before Kinoloop exits (a window
// destroyed with its parent would take the simulator with it).
#include <memory>

#include "link/window_host.h"

namespace kinoloop {

class X11WindowHost : public SimulatorWindowHost {
public:
    // Nothing when no X display can be opened: the link then keeps SimulatorWindow 0.
    static std::unique_ptr<X11WindowHost> Open(NativeWindow panel = 0);
    ~X11WindowHost() override;

    // The panel's native window (its X11 id), which may exist only after the window is shown.
    void SetPanelWindow(NativeWindow panel) { panel_ = panel; }

    NativeWindow FindTopLevelWindow(const std::string& title) override;
    bool Embed(NativeWindow window) override;
    bool Place(NativeWindow window, const WindowRect& placement) override;
    std::optional<WindowRect> ScreenRectangle(NativeWindow window) override;
    WindowRect PanelRectangle() override;
    void Release(NativeWindow window) override;

    // The parent of a window (0 when it cannot be asked); tests use it to see the embedding.
    NativeWindow ParentOf(NativeWindow window);

private:
    struct Connection;
    explicit X11WindowHost(std::unique_ptr<Connection> connection, NativeWindow panel);

    std::unique_ptr<Connection> x_;
    NativeWindow panel_ = 0;
};

}  // namespace kinoloop
