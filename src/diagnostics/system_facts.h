#pragma once
// What the log and the exception reports say about the program and the machine it runs on.
#include <filesystem>
#include <string>

#include "diagnostics/log_file.h"

namespace kinoloop {

// The running program file's full path (empty when the system does not say).
std::filesystem::path ProgramFilePath();

// The program file's name up to its first '.', every letter after the first in lower case.
std::string StartupTitle(const std::filesystem::path& programPath);

// The program file's path with its extension replaced by ".log" (added when it has none).
std::filesystem::path LogFileName(const std::filesystem::path& programPath);

std::string UserName();
std::string ComputerName();
// Kernel name, " v" and its release, then its version text ("Linux v6.1.0-13-amd64 #1 SMP ...").
std::string SystemText();

// The present local date and time as the environment's locale writes them: short date, a space, long time.
std::string LocalDateTime();

// All of the above for the start block.
LogStartFacts ReadStartFacts(const std::filesystem::path& programPath);

}  // namespace kinoloop
