#pragma once
// Whole-file reads and safe whole-file writes for the program's own files (settings, projects).
#include <filesystem>
#include <optional>
#include <string>

namespace kinoloop {

// The file's bytes; nothing when it cannot be opened or read, with the reason in *error when given.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, std::string* error = nullptr);

// Writes the bytes to a temporary file beside the target, flushes it to disk and renames it over the target,
// so that the old file stays whole when anything fails. Returns "" on success, else what failed (with the
// path).
std::string WriteFileReplacing(const std::filesystem::path& file, const std::string& bytes);

}  // namespace kinoloop
