#pragma once
// One QApplication for every widget test of a test program. Widget tests run on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise; X11 tests ask for the xcb platform and need DISPLAY.
#include <QApplication>
#include <QTimer>
#include <functional>

namespace kinoloop::testing {

enum class Platform { Offscreen, X11 };

// Creates the application on first use. False when the X11 platform was asked for and no display exists.
bool EnsureApp(Platform platform = Platform::Offscreen);

// Runs the action once the event loop is next served (a click into a window that a call under test waits on).
void Soon(std::function<void()> action, int delayMs = 0);

// Serves events until the condition holds or the time runs out; returns the condition.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 3000);

}  // namespace kinoloop::testing
