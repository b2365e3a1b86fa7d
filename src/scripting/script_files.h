#pragma once
// Script files in the program's Scr folder: plain scripts (the text, lines ending in CR LF) and locked ones
// (a "PROT" line, then the base64 of the whole text with its line breaks). The editor and playback recognise
// a locked file by different rules, and both hold: the editor looks at the first four characters, playback at
// the first line trimmed of blanks.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scripting/pascal/errors.h"
#include "shell/notices.h"

namespace kinoloop {

inline constexpr const char* kScriptExtension = ".script";
inline constexpr const char* kLockedScriptText =
    "This script has been locked by the author, you cannot edit this script";
inline constexpr const char* kLockedSavedText =
    "The locked script has been saved however if you want to edit the script in the future you must save a "
    "copy "
    "unlocked. Please do this now";

// The built-in template of the editor (also shipped as Scr/default.script), lines joined with CR LF.
std::string ScriptTemplate();

// Lines of a text, split at CR LF, LF or CR; a final line break ends the last line rather than starting one.
std::vector<std::string> SplitLines(std::string_view text);
// Lines joined with CR LF, each line ending in one (a list of lines as a text).
std::string JoinLines(const std::vector<std::string>& lines);

// The editor's rule: the first four characters are "PROT".
bool LockedForEditor(std::string_view fileText);
// Playback's rule: the first line, trimmed of blanks, is "PROT".
bool LockedForPlayback(std::string_view fileText);

// The file text of a locked script: "PROT", CR LF, the base64 of the script's whole text, CR LF.
std::string LockedFileText(std::string_view scriptText);
// The program text playback runs from a file's text: a locked file decoded, any other file as it is.
std::string PlaybackText(std::string_view fileText);

// `FillScriptList`: the names (with extension) of the "*.script" files in the folder, in the file list's
// order (by name, without regard to case). Empty when the folder does not exist.
std::vector<std::string> FillScriptList(const std::filesystem::path& folder);

struct FileOutcome {
    bool ok = true;
    std::string error;  // what failed, for the user
};

// Reads a whole file; an error says which file and why.
FileOutcome ReadTextFile(const std::filesystem::path& path, std::string& text);

// `SaveScriptFile`: the editor's text as lines, or locked. Written to a temporary file and renamed over the
// old one, so a failed save leaves the old file whole.
FileOutcome SaveScriptFile(const std::filesystem::path& path, std::string_view editorText, bool lock);

// `LoadScriptFile`: the file's text becomes the editor's text, except for a locked file: the locked message
// is shown and the editor's text stays as it was. Returns false with the error when the file cannot be read.
FileOutcome LoadScriptFile(const std::filesystem::path& path, Notices& notices, std::string& editorText);

// "Quick Compile": parses and resolves the text as a unit without running anything.
std::optional<pascal::ScriptError> QuickCompile(std::string_view text);

}  // namespace kinoloop
