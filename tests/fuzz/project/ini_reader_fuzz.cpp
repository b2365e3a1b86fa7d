// Arbitrary bytes as an INI file: parse, look keys up, set every key and write it out again.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "shell/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    kinoloop::IniFile ini = kinoloop::IniFile::Parse(text);
    for (const char* key : {"firstrun", "lfspath", "fps", "admin"}) {
        for (const char* section : {"settings", "record", "insim"}) {
            if (auto value = ini.Get(section, key)) ini.Set(section, key, *value);
        }
    }
    ini.Set("record", "fps", "25");
    const std::string again = ini.Text();
    // Writing is stable: parsing what was written and writing it again gives the same text.
    if (kinoloop::IniFile::Parse(again).Text() != again) __builtin_trap();
    return 0;
}
