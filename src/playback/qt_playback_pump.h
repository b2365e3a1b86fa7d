#pragma once
// The event pump over Qt's event loop: the one helper that every wait of playback goes through.
#include "playback/ports.h"

#include <QElapsedTimer>

namespace kinoloop {

class QtPlaybackPump : public PlaybackPump {
public:
    QtPlaybackPump() { clock_.start(); }
    void ProcessEvents() override;
    void Sleep(int milliseconds) override;
    void Block(int milliseconds) override;
    bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) override;
    std::int64_t NowMs() const override { return clock_.elapsed(); }

private:
    QElapsedTimer clock_;
};

}  // namespace kinoloop
