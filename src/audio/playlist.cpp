#include "audio/playlist.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <sstream>

#include "audio/sound_formats.h"

namespace kinoloop {
namespace {

std::string Trim(std::string_view text) {
    const auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return std::string(text);
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return lower;
}

bool HasDrive(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0])) != 0;
}

bool IsDriveAbsolute(std::string_view path) {
    return HasDrive(path) && path.size() >= 3 && (path[2] == '\\' || path[2] == '/');
}

std::string BaseFolder(std::string_view basePath) {
    const std::size_t separator = basePath.find_last_of("/\\");
    return separator == std::string_view::npos ? std::string()
                                               : std::string(basePath.substr(0, separator + 1));
}

std::string Slashes(std::string text) {
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

std::string TitleFromEntry(std::string_view entry) {
    std::string name = FileNameOf(entry);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

bool ReadLines(const std::string& file, std::vector<std::string>& lines) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return !in.bad();
}

}  // namespace

std::string ResolvePlaylistEntry(std::string_view rawEntry, std::string_view basePath) {
    const std::string entry = Trim(rawEntry);
    if (IsInternetAddress(entry)) return entry;
    const bool unc = entry.rfind("\\\\", 0) == 0;
    if (IsDriveAbsolute(entry) || unc) return entry;
    if (HasDrive(basePath)) {
        // A playlist written on Windows: a root-relative entry lives on the playlist's drive.
        if (!entry.empty() && entry[0] == '\\') return std::string(basePath.substr(0, 2)) + entry;
        return BaseFolder(basePath) + entry;
    }
    if (!entry.empty() && (entry[0] == '/' || entry[0] == '\\')) return Slashes(entry);
    return BaseFolder(basePath) + Slashes(entry);
}

void TPlaylist::Append(std::string item, std::string title, std::string length) {
    items_.push_back(std::move(item));
    titles_.push_back(std::move(title));
    lengths_.push_back(std::move(length));
}

void TPlaylist::Add(const std::string& path, const std::string& title) {
    Append(path, title, "0");
}

void TPlaylist::Clear() {
    items_.clear();
    titles_.clear();
    lengths_.clear();
}

std::string TPlaylist::Item(int index) const {
    return index >= 0 && index < Count() ? items_[static_cast<std::size_t>(index)] : std::string();
}

std::string TPlaylist::Title(int index) const {
    return index >= 0 && index < Count() ? titles_[static_cast<std::size_t>(index)] : std::string();
}

std::string TPlaylist::Length(int index) const {
    return index >= 0 && index < Count() ? lengths_[static_cast<std::size_t>(index)] : std::string();
}

int TPlaylist::IndexOf(std::string_view path) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (EqualsNoCase(items_[i], path)) return static_cast<int>(i);
    }
    return -1;
}

bool TPlaylist::ReadPls(const std::string& file, bool clear) {
    basePath_ = file;
    if (clear) Clear();
    std::vector<std::string> lines;
    if (!ReadLines(file, lines)) return false;

    // The [playlist] section as an INI file reads it: names without regard to case, values trimmed.
    std::map<std::string, std::string> keys;
    bool inPlaylist = false;
    for (const std::string& raw : lines) {
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[') {
            inPlaylist = Lower(line) == "[playlist]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inPlaylist || equals == std::string::npos) continue;
        keys.emplace(Lower(Trim(line.substr(0, equals))), Trim(line.substr(equals + 1)));
    }
    const auto value = [&](const std::string& key) {
        const auto found = keys.find(Lower(key));
        return found == keys.end() ? std::string() : found->second;
    };

    long long count = 0;
    std::istringstream(value("NumberOfEntries")) >> count;
    // Entries are taken in number order up to the count, from the File keys that exist: a huge count in a
    // damaged file cannot make the loop run on, and a missing File key adds no empty entry.
    std::map<long long, std::string> files;
    for (const auto& [key, entry] : keys) {
        if (key.rfind("file", 0) != 0 || key.size() == 4) continue;
        const std::string digits = key.substr(4);
        if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) continue;
        if (digits.size() > 9) continue;
        const long long k = std::stoll(digits);
        if (k >= 1 && k <= count) files.emplace(k, entry);
    }
    for (const auto& [k, entry] : files) {
        const std::string number = std::to_string(k);
        std::string title = value("Title" + number);
        if (title.empty()) title = TitleFromEntry(entry);
        std::string length = value("Length" + number);
        if (length.empty()) length = "0";
        Append(ResolvePlaylistEntry(entry, basePath_), std::move(title), std::move(length));
    }
    return true;
}

bool TPlaylist::ReadM3u(const std::string& file, bool clear) {
    basePath_ = file;
    if (clear) Clear();
    std::vector<std::string> lines;
    if (!ReadLines(file, lines)) return false;

    std::string pendingTitle;  // from the #EXTINF line before an entry
    for (const std::string& raw : lines) {
        const std::string line = Trim(raw);
        if (line.empty()) continue;
        if (line[0] == '#') {
            if (line.rfind("#EXTINF:", 0) == 0) {
                const std::size_t comma = line.find(',');
                pendingTitle = comma == std::string::npos ? std::string() : line.substr(comma + 1);
            }
            continue;
        }
        std::string title = pendingTitle.empty() ? TitleFromEntry(line) : pendingTitle;
        pendingTitle.clear();
        Append(ResolvePlaylistEntry(line, basePath_), std::move(title), "0");
    }
    return true;
}

}  // namespace kinoloop
