#pragma once
// One QCoreApplication for the tests that wait with the event loop (COM_pause, the stop's grace timer).
#include <QCoreApplication>

namespace kinoloop::testing {

inline void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "scripting_tests";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);  // lives as long as the test program
}

}  // namespace kinoloop::testing
