#pragma once
// The batch render for users who render many movies:
//   kinoloop --render FILE.knloop [--format STD|PAL|NTSC|LRG] [--audio|--no-audio] [--sim-sound]
// opens the movie, starts the simulator as "Run LFS" does (embedded in a panel of the format's size), renders
// with the answers the command line gives, prints progress, and exits 0 printing the film's path, or non-zero
// printing the reason.
#include <optional>
#include <string>
#include <vector>

namespace kinoloop {

struct BatchRenderOptions {
    std::string movieFile;
    std::optional<std::string> format;  // the setting's when not given
    bool recordAudio = false;
    bool recordSimSound = false;
};

// Reads the arguments after the program's name; nothing and `why` set when they do not make sense.
std::optional<BatchRenderOptions> ParseBatchRenderArguments(const std::vector<std::string>& arguments,
                                                            std::string& why);

// True when the command line asks for a batch render ("--render" among the arguments).
bool IsBatchRenderCommand(int argc, char** argv);

// The whole batch render; returns the process's exit code (0 film made, 1 render failed, 2 bad arguments).
int RunBatchRender(int argc, char** argv);

}  // namespace kinoloop
