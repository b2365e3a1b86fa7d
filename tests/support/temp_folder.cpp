#include "temp_folder.h"

#include <cstdlib>
#include <random>
#include <system_error>

#include "shell/program_folder.h"

namespace kinoloop::testing {

TempFolder::TempFolder() {
    std::random_device random;
    for (;;) {
        path_ = std::filesystem::temp_directory_path() / ("kl-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(path_)) break;
    }
}

TempFolder::~TempFolder() {
    std::error_code ignored;  // a test that left a file open must not fail in its destructor
    std::filesystem::remove_all(path_, ignored);
}

TempProgramFolder::TempProgramFolder() {
    if (const char* home = std::getenv("KINOLOOP_HOME")) {
        previous_ = home;
        hadPrevious_ = true;
    }
    setenv("KINOLOOP_HOME", Path().c_str(), 1);
    EnsureProgramFolders();
}

TempProgramFolder::~TempProgramFolder() {
    if (hadPrevious_) {
        setenv("KINOLOOP_HOME", previous_.c_str(), 1);
    } else {
        unsetenv("KINOLOOP_HOME");
    }
}

}  // namespace kinoloop::testing
