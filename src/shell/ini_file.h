#pragma once
// A Windows-style INI file kept as its lines, so that writing a key changes that line only and every other
// line, section and comment stays as it was. Reads CR LF and LF files; writes CR LF. Section and key names
// are compared without regard to case; a value is everything after the first "=" of its line, byte for byte.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kinoloop {

class IniFile {
public:
    static IniFile Parse(std::string_view text);

    // The first value of the key in the first section of that name, or nothing.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // Replaces the key's line, or adds it at the end of its section (the section at the end of the file when
    // missing). A value holding a line break cannot be stored: false, nothing changed.
    bool Set(std::string_view section, std::string_view key, std::string_view value);

    std::string Text() const;  // lines joined with CR LF, ending in CR LF

private:
    std::vector<std::string> lines_;
};

}  // namespace kinoloop
