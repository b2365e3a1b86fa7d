#include "model/field_text.h"

#include <charconv>
#include <cstdio>
#include <string>

namespace kinoloop {

std::vector<std::string> SplitFields(std::string_view fieldText) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = fieldText.find(':', start);
        if (colon == std::string_view::npos) {
            fields.emplace_back(fieldText.substr(start));
            return fields;
        }
        fields.emplace_back(fieldText.substr(start, colon - start));
        start = colon + 1;
    }
}

std::string JoinFields(const std::vector<std::string>& fields) {
    std::string text;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) text += ':';
        text += fields[i];
    }
    return text;
}

std::string PathToField(std::string_view path) {
    std::string field(path);
    for (char& c : field) {
        if (c == ':') c = '?';
    }
    return field;
}

std::string FieldToPath(std::string_view field) {
    std::string path(field);
    for (char& c : path) {
        if (c == '?') c = ':';
    }
    return path;
}

std::string NoteToStored(std::string_view text) {
    std::string stored;
    stored.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            stored += '?';
        } else if (text[i] == '\n') {
            stored += '?';
        } else {
            stored += text[i];
        }
    }
    return stored;
}

std::string StoredToNote(std::string_view stored, std::string_view lineBreak) {
    std::string text;
    for (char c : stored) {
        if (c == '?') {
            text += lineBreak;
        } else {
            text += c;
        }
    }
    return text;
}

std::optional<std::int32_t> ParseInt(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string FormatFieldOfView(float degrees) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", static_cast<double>(degrees));
    std::string text(buffer);
    // %g follows the C locale, which the program never changes; guard anyway so the stored text keeps ".".
    for (char& c : text) {
        if (c == ',') c = '.';
    }
    return text;
}

std::optional<float> ParseFieldOfView(std::string_view text) {
    std::string normal(text);
    for (char& c : normal) {
        if (c == ',') c = '.';
    }
    while (!normal.empty() && normal.front() == ' ') normal.erase(normal.begin());
    while (!normal.empty() && normal.back() == ' ') normal.pop_back();
    if (normal.empty()) return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (error != std::errc() || end != normal.data() + normal.size()) return std::nullopt;
    return static_cast<float>(value);
}

}  // namespace kinoloop
