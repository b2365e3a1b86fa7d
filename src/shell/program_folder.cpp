#include "shell/program_folder.h"

#include <cstdlib>
#include <system_error>

namespace kinoloop {

namespace fs = std::filesystem;

fs::path ProgramFolder() {
    if (const char* home = std::getenv("KINOLOOP_HOME"); home != nullptr && *home != '\0') {
        return fs::path(home);
    }
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::current_path() : executable.parent_path();
}

fs::path OptFolder() { return ProgramFolder() / "Opt"; }
fs::path ImgFolder() { return ProgramFolder() / "Img"; }
fs::path MovFolder() { return ProgramFolder() / "Mov"; }
fs::path EffFolder() { return ProgramFolder() / "Eff"; }
fs::path ScrFolder() { return ProgramFolder() / "Scr"; }
fs::path SavFolder() { return ProgramFolder() / "Sav"; }
fs::path HlpFolder() { return ProgramFolder() / "Hlp"; }

void EnsureProgramFolders() {
    for (const fs::path& folder :
         {OptFolder(), ImgFolder(), MovFolder(), EffFolder(), ScrFolder(), SavFolder(), HlpFolder()}) {
        std::error_code ignored;  // a folder that cannot be made shows up later as a failed read or write
        fs::create_directories(folder, ignored);
    }
}

}  // namespace kinoloop
