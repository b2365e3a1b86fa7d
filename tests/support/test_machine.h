#pragma once
// What tests that start programs need to know of the machine: where the build put them, and a UDP port that is
// free for a link between two processes on loopback.
#include <filesystem>

namespace kinoloop::testing {

// The build folder: KINOLOOP_BUILD_DIR (set for every test by CTest), else the folder the tests were built into.
std::filesystem::path BuildFolder();

// A UDP port on 127.0.0.1 that nothing was bound to a moment ago.
int FreeUdpPort();

}  // namespace kinoloop::testing
