#include "link/event_wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace kinoloop {

namespace {
int waitDepth = 0;
bool commandHeld = false;

struct DepthGuard {
    DepthGuard() { ++waitDepth; }
    ~DepthGuard() { --waitDepth; }
};
}  // namespace

WaitOutcome ServeEventsUntil(const std::function<bool()>& done, const std::function<bool()>& stop,
                      std::chrono::milliseconds timeout) {
    DepthGuard depth;
    QElapsedTimer clock;
    clock.start();
    // The wake timer makes the loop look again even when the condition changes without an event of its own.
    QTimer wake;
    wake.start(1);
    for (;;) {
        if (done()) return WaitOutcome::Done;
        if (stop && stop()) return WaitOutcome::Stopped;
        if (timeout.count() >= 0 && clock.elapsed() >= timeout.count()) return WaitOutcome::TimedOut;
        if (QCoreApplication::instance() != nullptr) {
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        } else {
            QThread::msleep(1);
        }
    }
}

void ServeEventsFor(std::chrono::milliseconds duration) {
    ServeEventsUntil([] { return false; }, {}, duration);
}

void ProcessPendingEvents() {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool WaitRunning() { return waitDepth > 0; }

CommandScope::CommandScope() {
    if (waitDepth > 0 || commandHeld) return;
    commandHeld = true;
    acquired_ = true;
}

CommandScope::~CommandScope() {
    if (acquired_) commandHeld = false;
}

}  // namespace kinoloop
