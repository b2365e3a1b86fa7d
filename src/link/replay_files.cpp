#include "link/replay_files.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>

namespace kinoloop {

std::filesystem::path ReplayFolder(const std::string& simulatorFolder, bool singlePlayer) {
    return std::filesystem::path(simulatorFolder) / "data" / (singlePlayer ? "spr" : "mpr");
}

bool IsSinglePlayerReplay(std::string_view name) {
    if (name.size() < 4) return false;
    std::string ext(name.substr(name.size() - 4));
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::toupper(c); });
    return ext == ".SPR";
}

bool HasReplayExtension(std::string_view name) {
    return std::filesystem::path(std::string(name)).has_extension();
}

namespace {

std::vector<std::string> FileNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec)) names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool IsFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    return std::filesystem::is_directory(folder, ec);
}

}  // namespace

std::vector<std::string> ReplayListLines(const std::string& simulatorFolder) {
    std::vector<std::string> lines;
    const std::filesystem::path spr = ReplayFolder(simulatorFolder, true);
    const std::filesystem::path mpr = ReplayFolder(simulatorFolder, false);
    if (IsFolder(spr)) {
        lines.push_back(replay::kSingleHeading);
        lines.push_back(replay::kDashes);
        for (std::string& name : FileNames(spr)) lines.push_back(std::move(name));
    }
    if (IsFolder(mpr)) {
        lines.push_back("");
        lines.push_back(replay::kMultiHeading);
        lines.push_back(replay::kDashes);
        for (std::string& name : FileNames(mpr)) lines.push_back(std::move(name));
    }
    return lines;
}

std::string ReadReplayTrackName(const std::string& simulatorFolder, const std::string& name, bool singlePlayer) {
    std::ifstream file(ReplayFolder(simulatorFolder, singlePlayer) / name, std::ios::binary);
    if (!file) return {};
    file.seekg(static_cast<std::streamoff>(singlePlayer ? replay::kSinglePlayerTrackOffset
                                                         : replay::kMultiPlayerTrackOffset));
    std::array<char, replay::kTrackNameSize> bytes{};
    if (!file.read(bytes.data(), bytes.size())) return {};
    std::string text(bytes.data(), std::find(bytes.begin(), bytes.end(), '\0'));
    const auto notBlank = [](unsigned char c) { return !std::isspace(c); };
    text.erase(text.begin(), std::find_if(text.begin(), text.end(), notBlank));
    text.erase(std::find_if(text.rbegin(), text.rend(), notBlank).base(), text.end());
    return text;
}

std::string ReplayLoadCommand(std::string_view name) {
    const std::string_view stem = name.substr(0, name.size() >= 4 ? name.size() - 4 : 0);
    return std::string(IsSinglePlayerReplay(name) ? "/spr " : "/mpr ") + std::string(stem);
}

}  // namespace kinoloop
