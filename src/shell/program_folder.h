#pragma once
// Where the program's files live: the executable's folder, or KINOLOOP_HOME when it is set.
#include <filesystem>

namespace kinoloop {

std::filesystem::path ProgramFolder();

// The program's own folders beneath ProgramFolder().
std::filesystem::path OptFolder();  // settings
std::filesystem::path ImgFolder();  // pictures, cursors, watermark, test image
std::filesystem::path MovFolder();  // renders and screenshots
std::filesystem::path EffFolder();  // effect plug-ins
std::filesystem::path ScrFolder();  // scripts
std::filesystem::path SavFolder();  // movies
std::filesystem::path HlpFolder();  // help pages

// Creates any of the seven folders that is missing (a fresh program folder or KINOLOOP_HOME).
void EnsureProgramFolders();

}  // namespace kinoloop
