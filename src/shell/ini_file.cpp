#include "shell/ini_file.h"

#include <algorithm>
#include <cctype>

namespace kinoloop {

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// "[name]" gives name; other lines give nothing.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
    return Trim(line.substr(1, line.size() - 2));
}

bool IsKeyLine(std::string_view line, std::string_view key, std::string_view* value = nullptr) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    const std::string_view name = Trim(line.substr(0, equals));
    if (name.empty() || name.front() == ';' || !SameName(name, key)) return false;
    if (value != nullptr) *value = line.substr(equals + 1);
    return true;
}

}  // namespace

IniFile IniFile::Parse(std::string_view text) {
    IniFile ini;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ini.lines_.emplace_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return ini;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
    bool inSection = false;
    bool seenSection = false;
    for (const std::string& line : lines_) {
        if (const auto name = SectionName(line)) {
            if (seenSection && inSection) return std::nullopt;  // only the first section of that name counts
            inSection = SameName(*name, section);
            seenSection = seenSection || inSection;
            continue;
        }
        std::string_view value;
        if (inSection && IsKeyLine(line, key, &value)) return std::string(value);
    }
    return std::nullopt;
}

bool IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    if (value.find_first_of("\r\n") != std::string_view::npos) return false;
    const std::string entry = std::string(key) + "=" + std::string(value);

    std::size_t sectionLine = lines_.size();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto name = SectionName(lines_[i]);
        if (name && SameName(*name, section)) {
            sectionLine = i;
            break;
        }
    }
    if (sectionLine == lines_.size()) {
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(entry);
        return true;
    }
    std::size_t lastEntry = sectionLine;
    for (std::size_t i = sectionLine + 1; i < lines_.size() && !SectionName(lines_[i]); ++i) {
        if (IsKeyLine(lines_[i], key)) {
            lines_[i] = entry;
            return true;
        }
        if (!Trim(lines_[i]).empty()) lastEntry = i;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastEntry + 1), entry);
    return true;
}

std::string IniFile::Text() const {
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

}  // namespace kinoloop
