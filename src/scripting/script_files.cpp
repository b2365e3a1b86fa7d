#include "scripting/script_files.h"

#include <QByteArray>
#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <system_error>

#include "scripting/pascal/interpreter.h"

namespace kinoloop {

namespace fs = std::filesystem;

namespace {
const char* const kTemplate[] = {
    "//enter a script name here, you CANNOT use NUMBERS, SPECIAL",
    "//CHARACTERS or SPACES, use LETTERS ONLY",
    "unit Untitled;",
    "{",
    "  Name: enter the name of the script here",
    "  Author: enter your name here",
    "  Created: enter the date created here",
    "  Notes: enter any notes here",
    "}",
    "",
    "//constants that can be passed with the '_camera_flags' parameter",
    "const",
    "  ISS_SHIFTU = 8;  //needed to set the camera in to shift+u mode ",
    "  ISS_SHIFTU_HIGH = 16; //needed to set the camera in HIGH view",
    "  ISS_SHIFTU_FOLLOW = 32; //needed to set the camera in following car mode",
    "  ISS_VIEW_OVERRIDE = 8192; //needed to override user view when inside the car",
    "",
    "//global variables accessible by all functions and procedures in this script",
    "//remove // infront of var if needed",
    "//var",
    "",
    "procedure KillScript;",
    "begin",
    "  //stop any loops or switch flags to force the script to exit",
    "  //this procedure IS REQUIRED BY KNLOOP leave blank",
    "  //if not required by you",
    "end;",
    "",
    "procedure Main;",
    "//private constants remove // infront of const if needed",
    "//const",
    "",
    "//private variables remove // infront of var if needed",
    "//var",
    "",
    "begin",
    "  //enter your code here between begin and end",
    "end;",
    "",
    "end.",
};

bool Blank(char c) {
    return c == ' ' || c == '\t';
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}
}  // namespace

std::string ScriptTemplate() {
    return JoinLines(std::vector<std::string>(std::begin(kTemplate), std::end(kTemplate)));
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string cur;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(cur));
            cur.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) lines.push_back(std::move(cur));
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out;
}

bool LockedForEditor(std::string_view fileText) {
    return fileText.substr(0, 4) == "PROT";
}

bool LockedForPlayback(std::string_view fileText) {
    std::vector<std::string> lines = SplitLines(fileText);
    if (lines.empty()) return false;
    std::string_view first = lines[0];
    while (!first.empty() && Blank(first.front())) first.remove_prefix(1);
    while (!first.empty() && Blank(first.back())) first.remove_suffix(1);
    return first == "PROT";
}

std::string LockedFileText(std::string_view scriptText) {
    QByteArray encoded = QByteArray(scriptText.data(), static_cast<qsizetype>(scriptText.size())).toBase64();
    return "PROT\r\n" + encoded.toStdString() + "\r\n";
}

std::string PlaybackText(std::string_view fileText) {
    if (!LockedForPlayback(fileText)) return std::string(fileText);
    std::vector<std::string> lines = SplitLines(fileText);
    lines.erase(lines.begin());
    std::string encoded;
    for (const std::string& l : lines)
        for (char c : l)
            if (!std::isspace(static_cast<unsigned char>(c))) encoded += c;
    QByteArray decoded = QByteArray::fromBase64(QByteArray::fromStdString(encoded));
    return decoded.toStdString();
}

std::vector<std::string> FillScriptList(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return names;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        std::string name = it->path().filename().string();
        if (name.size() > 7 && Lower(name.substr(name.size() - 7)) == kScriptExtension) names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        std::string la = Lower(a), lb = Lower(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

FileOutcome ReadTextFile(const fs::path& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {false, "Cannot open the file " + path.string()};
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return {false, "Cannot read the file " + path.string()};
    text = buffer.str();
    return {};
}

FileOutcome SaveScriptFile(const fs::path& path, std::string_view editorText, bool lock) {
    std::string lines = JoinLines(SplitLines(editorText));
    std::string content = lock ? LockedFileText(lines) : lines;
    fs::path temp = path;
    temp += ".saving";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return {false, "Cannot write the file " + path.string()};
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            fs::remove(temp, ignored);
            return {false, "Cannot write the file " + path.string()};
        }
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    if (ec) {
        fs::remove(temp, ec);
        return {false, "Cannot write the file " + path.string()};
    }
    return {};
}

FileOutcome LoadScriptFile(const fs::path& path, Notices& notices, std::string& editorText) {
    std::string text;
    FileOutcome read = ReadTextFile(path, text);
    if (!read.ok) return read;
    if (LockedForEditor(text)) {
        notices.ShowMsgBox(icon::Information, buttons::Ok, kProductName, kLockedScriptText);
        return {};
    }
    editorText = std::move(text);
    return {};
}

std::optional<pascal::ScriptError> QuickCompile(std::string_view text) {
    pascal::Interpreter interpreter;
    interpreter.SetText(std::string(text));
    return interpreter.Compile();
}

}  // namespace kinoloop
