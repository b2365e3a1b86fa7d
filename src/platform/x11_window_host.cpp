#include "platform/x11_window_host.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <thread>
#include <vector>

namespace kinoloop {

namespace {

// A window may vanish between two requests (the simulator quits); Xlib's default handler would end Kinoloop.
int lastXError = 0;
int IgnoreXError(Display*, XErrorEvent* event) {
    lastXError = event->error_code;
    return 0;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

constexpr int kSearchDepth = 3;  // root, window-manager frame, client

}  // namespace

struct X11WindowHost::Connection {
    Display* display = nullptr;
    Window root = 0;
    Atom netWmName = 0;
    Atom utf8 = 0;
    ~Connection() {
        if (display != nullptr) XCloseDisplay(display);
    }

    std::string Title(Window w) {
        std::string title;
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, w, netWmName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
                Success &&
            data != nullptr) {
            if (type == utf8 && format == 8) title.assign(reinterpret_cast<char*>(data), count);
            XFree(data);
        }
        if (!title.empty()) return title;
        char* name = nullptr;
        if (XFetchName(display, w, &name) != 0 && name != nullptr) {
            title = name;
            XFree(name);
        }
        return title;
    }

    std::vector<Window> Children(Window w, Window* parent = nullptr) {
        Window rootReturn = 0, parentReturn = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        std::vector<Window> result;
        if (XQueryTree(display, w, &rootReturn, &parentReturn, &children, &count) != 0) {
            result.assign(children, children + count);
            if (parent != nullptr) *parent = parentReturn;
        }
        if (children != nullptr) XFree(children);
        return result;
    }

    Window Parent(Window w) {
        Window parent = 0;
        Children(w, &parent);
        return parent;
    }
};

std::unique_ptr<X11WindowHost> X11WindowHost::Open(NativeWindow panel) {
    auto connection = std::make_unique<Connection>();
    connection->display = XOpenDisplay(nullptr);
    if (connection->display == nullptr) return nullptr;
    XSetErrorHandler(IgnoreXError);
    connection->root = DefaultRootWindow(connection->display);
    connection->netWmName = XInternAtom(connection->display, "_NET_WM_NAME", False);
    connection->utf8 = XInternAtom(connection->display, "UTF8_STRING", False);
    return std::unique_ptr<X11WindowHost>(new X11WindowHost(std::move(connection), panel));
}

X11WindowHost::X11WindowHost(std::unique_ptr<Connection> connection, NativeWindow panel)
    : x_(std::move(connection)), panel_(panel) {}

X11WindowHost::~X11WindowHost() = default;

NativeWindow X11WindowHost::FindTopLevelWindow(const std::string& title) {
    const std::string wanted = Lower(title);
    // Breadth first: a client directly under the root wins over one inside a frame.
    std::vector<Window> level = {x_->root};
    for (int depth = 0; depth < kSearchDepth && !level.empty(); ++depth) {
        std::vector<Window> next;
        for (Window w : level) {
            for (Window child : x_->Children(w)) {
                if (child == panel_) continue;  // never our own panel's tree
                if (Lower(x_->Title(child)) == wanted) return child;
                next.push_back(child);
            }
        }
        level = std::move(next);
    }
    return 0;
}

bool X11WindowHost::Embed(NativeWindow window) {
    if (panel_ == 0 || window == 0) return false;
    lastXError = 0;
    const Window w = static_cast<Window>(window);
    if (x_->Parent(w) == static_cast<Window>(panel_)) return true;
    if (x_->Parent(w) != x_->root) {
        // Under a window manager the client sits in a frame: withdraw it and wait until it is back at the root.
        XWithdrawWindow(x_->display, w, DefaultScreen(x_->display));
        XSync(x_->display, False);
        for (int i = 0; i < 100 && x_->Parent(w) != x_->root; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    XReparentWindow(x_->display, w, static_cast<Window>(panel_), 0, 0);
    XMapRaised(x_->display, w);
    XSync(x_->display, False);
    return lastXError == 0 && x_->Parent(w) == static_cast<Window>(panel_);
}

bool X11WindowHost::Place(NativeWindow window, const WindowRect& r) {
    if (window == 0) return false;
    lastXError = 0;
    const Window w = static_cast<Window>(window);
    XMoveResizeWindow(x_->display, w, r.x, r.y, static_cast<unsigned>(std::max(1, r.width)),
                      static_cast<unsigned>(std::max(1, r.height)));
    XMapRaised(x_->display, w);
    XSync(x_->display, False);
    return lastXError == 0;
}

std::optional<WindowRect> X11WindowHost::ScreenRectangle(NativeWindow window) {
    if (window == 0) return std::nullopt;
    lastXError = 0;
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(x_->display, static_cast<Window>(window), &attributes) == 0) return std::nullopt;
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(x_->display, static_cast<Window>(window), x_->root, 0, 0, &x, &y, &child);
    if (lastXError != 0) return std::nullopt;
    return WindowRect{x, y, attributes.width, attributes.height};
}

WindowRect X11WindowHost::PanelRectangle() {
    XWindowAttributes attributes{};
    if (panel_ == 0 || XGetWindowAttributes(x_->display, static_cast<Window>(panel_), &attributes) == 0) return {};
    return WindowRect{0, 0, attributes.width, attributes.height};
}

void X11WindowHost::Release(NativeWindow window) {
    if (window == 0) return;
    const Window w = static_cast<Window>(window);
    XUnmapWindow(x_->display, w);
    XReparentWindow(x_->display, w, x_->root, 0, 0);
    XMapWindow(x_->display, w);
    XSync(x_->display, False);
}

NativeWindow X11WindowHost::ParentOf(NativeWindow window) {
    return window == 0 ? 0 : x_->Parent(static_cast<Window>(window));
}

}  // namespace kinoloop
