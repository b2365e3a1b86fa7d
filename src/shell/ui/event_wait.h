#pragma once
// Serves the event loop until a condition holds: the waits of the message box and the note window, during which
// timers, datagrams and clicks in other windows keep running.
#include <functional>

namespace kinoloop {

void WaitUntil(const std::function<bool()>& done);

}  // namespace kinoloop
