#include "audio/sound_formats.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace kinoloop {
namespace {

char Upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Upper(x) == Upper(y); });
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool IsInternetAddress(std::string_view text) {
    return StartsWithNoCase(text, "HTTP://") || StartsWithNoCase(text, "FTP://");
}

std::string FileNameOf(std::string_view path) {
    const std::size_t separator = path.find_last_of("/\\");
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

std::string UpperExtension(std::string_view path) {
    const std::string name = FileNameOf(path);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return {};
    std::string extension = name.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(), Upper);
    return extension;
}

bool IsKnownSoundFile(std::string_view path) {
    static constexpr std::array<std::string_view, 12> kKnown = {
        ".MP1", ".MP2", ".MP3", ".WAV", ".OGG", ".MOD", ".S3M", ".IT", ".UMX", ".MO3", ".MTM", ".XM"};
    const std::string extension = UpperExtension(path);
    return std::find(kKnown.begin(), kKnown.end(), extension) != kKnown.end();
}

}  // namespace kinoloop
