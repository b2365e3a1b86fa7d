#include "playback/qt_playback_pump.h"

#include <QCoreApplication>
#include <QThread>

namespace kinoloop {

void QtPlaybackPump::ProcessEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtPlaybackPump::Sleep(int milliseconds) {
    const std::int64_t until = NowMs() + milliseconds;
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        const std::int64_t left = until - NowMs();
        if (left > 0) QThread::msleep(static_cast<unsigned long>(std::min<std::int64_t>(left, 1)));
    } while (NowMs() < until);
}

void QtPlaybackPump::Block(int milliseconds) {
    if (milliseconds > 0) QThread::msleep(static_cast<unsigned long>(milliseconds));
}

bool QtPlaybackPump::WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const std::int64_t start = NowMs();
    while (!condition()) {
        if (timeoutMs >= 0 && NowMs() - start >= timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        if (!condition()) QThread::msleep(1);
    }
    return true;
}

}  // namespace kinoloop
