#include "qt_app.h"

#include <QDeadlineTimer>
#include <QThread>
#include <cstdlib>

namespace kinoloop::testing {

bool EnsureApp(Platform platform) {
    if (QApplication::instance() != nullptr) return true;
    if (platform == Platform::X11) {
        if (std::getenv("DISPLAY") == nullptr) return false;
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    } else if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    static int argc = 1;
    static char name[] = "kinoloop-ui-tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    return true;
}

void Soon(std::function<void()> action, int delayMs) {
    QTimer::singleShot(delayMs, QApplication::instance(), std::move(action));
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

}  // namespace kinoloop::testing
