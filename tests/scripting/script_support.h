#pragma once
// Running script texts in tests: the program's output through WriteLn, and its error as a last line.
#include <filesystem>
#include <string>

#include "scripting/pascal/host.h"

namespace kinoloop::testing {

// Output of Main with WriteLn/Write collected; a failed run adds "ERROR: " + the message as its last line.
// `extra` answers names after WriteLn (null for none).
std::string RunScript(const std::string& text, pascal::ScriptHost* extra = nullptr);

std::string ReadFile(const std::filesystem::path& path);
std::filesystem::path SourceDir();  // the repository, from KINOLOOP_SOURCE_DIR
std::filesystem::path BuildDir();   // the build folder, from KINOLOOP_BUILD_DIR

}  // namespace kinoloop::testing
