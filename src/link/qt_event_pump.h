#pragma once
// The event pump of the engine: "handle pending messages" serves the Qt event loop once; sleeps block.
#include "link/link_ports.h"

namespace kinoloop {

class QtEventPump : public EventPump {
public:
    void ProcessEvents() override;
    void Sleep(int milliseconds) override;
};

}  // namespace kinoloop
