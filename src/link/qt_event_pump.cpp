#include "link/qt_event_pump.h"

#include <QThread>

#include "link/event_wait.h"

namespace kinoloop {

void QtEventPump::ProcessEvents() { ProcessPendingEvents(); }

void QtEventPump::Sleep(int milliseconds) {
    if (milliseconds > 0) QThread::msleep(static_cast<unsigned long>(milliseconds));
}

}  // namespace kinoloop
