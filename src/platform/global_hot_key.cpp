#include "platform/global_hot_key.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <cstdlib>

namespace kinoloop {
namespace {

xcb_connection_t* Connection() {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

Display* XDisplay() {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->display() : nullptr;
}

xcb_window_t Root(xcb_connection_t* connection) {
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

// Caps Lock and Num Lock must not hide the key.
constexpr std::uint16_t kModifierSets[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                           XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

}  // namespace

GlobalHotKey::GlobalHotKey(std::uint32_t keysym, QObject* parent) : QObject(parent), keysym_(keysym) {}

GlobalHotKey::~GlobalHotKey() { Unregister(); }

bool GlobalHotKey::Register() {
    if (registered_) return true;
    xcb_connection_t* connection = Connection();
    Display* display = XDisplay();
    if (connection == nullptr || display == nullptr) {
        error_ = "The hot key needs an X11 display";
        return false;
    }
    keycode_ = static_cast<std::uint8_t>(XKeysymToKeycode(display, keysym_));
    if (keycode_ == 0) {
        error_ = "The hot key has no key code on this keyboard";
        return false;
    }
    const xcb_window_t root = Root(connection);
    for (const std::uint16_t modifiers : kModifierSets) {
        xcb_void_cookie_t cookie = xcb_grab_key_checked(connection, 1, root, modifiers, keycode_,
                                                        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
            error_ = error->error_code == 10 /* BadAccess */
                         ? "Another program already uses the hot key F9"
                         : QString("The hot key could not be registered (X error %1)").arg(error->error_code);
            std::free(error);
            for (const std::uint16_t undo : kModifierSets) xcb_ungrab_key(connection, keycode_, root, undo);
            xcb_flush(connection);
            return false;
        }
    }
    xcb_flush(connection);
    qApp->installNativeEventFilter(this);
    registered_ = true;
    error_.clear();
    return true;
}

void GlobalHotKey::Unregister() {
    if (!registered_) return;
    registered_ = false;
    if (qApp != nullptr) qApp->removeNativeEventFilter(this);
    if (xcb_connection_t* connection = Connection()) {
        const xcb_window_t root = Root(connection);
        for (const std::uint16_t modifiers : kModifierSets) xcb_ungrab_key(connection, keycode_, root, modifiers);
        xcb_flush(connection);
    }
}

bool GlobalHotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS) return false;
    auto* press = reinterpret_cast<xcb_key_press_event_t*>(event);
    const std::uint16_t others = press->state & ~(XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2);
    // Only the bare key: F9 with Shift, Ctrl or Alt is another key for the user.
    if (press->detail != keycode_ || (others & (XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1)) != 0) {
        return false;
    }
    emit activated();
    return true;
}

}  // namespace kinoloop
