#include "test_machine.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

namespace kinoloop::testing {

std::filesystem::path BuildFolder() {
    const char* build = std::getenv("KINOLOOP_BUILD_DIR");
    return build != nullptr ? std::filesystem::path(build) : std::filesystem::path(KINOLOOP_TEST_BUILD_DIR);
}

int FreeUdpPort() {
    const int probe = socket(AF_INET, SOCK_DGRAM, 0);
    if (probe < 0) return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;  // the system chooses a free one
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    close(probe);
    return port;
}

}  // namespace kinoloop::testing
