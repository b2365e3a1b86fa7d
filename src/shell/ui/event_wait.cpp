#include "shell/ui/event_wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace kinoloop {

void WaitUntil(const std::function<bool()>& done) {
    // A slow timer keeps the loop waking even when the condition changes without an event of its own.
    QTimer wake;
    wake.start(10);
    while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
}

}  // namespace kinoloop
