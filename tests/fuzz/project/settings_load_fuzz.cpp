// Arbitrary bytes as Opt/settings.ini, read through LoadSettings: fps and timeline always come out usable.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "shell/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("kl-fuzz-settings-" + std::to_string(getpid()) + ".ini");
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    const kinoloop::TSettings settings = kinoloop::LoadSettings(file, nullptr);
    if (settings.fps < 1 || settings.timeline < 1) __builtin_trap();
    return 0;
}
