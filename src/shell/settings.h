#pragma once
// The program's settings, read from Opt/settings.ini once at start and written back by Setup's "Apply".
// The movie header that older designs kept in the same record lives with the movie (model/movie_header.h), so
// that opening a file can build a whole new movie and swap it in at once.
#include <cstdint>
#include <filesystem>
#include <string>

namespace kinoloop {

class Mixer;

struct TSettings {
    // [settings]
    int firstrun = 1;
    std::string lfspath = "c:\\";
    std::string exeoverride = "LFS.exe";
    std::string windowname = "live for speed";
    int timeline = 10;  // minutes, at least 1
    int watermark = 1;
    int scale = 0;
    int prompts = 1;
    int autosave = 0;
    std::uint8_t priority = 1;
    int audiodevice = 0;
    int audiochannel = 0;
    int audiovolume = 0;
    // [record]
    std::string format = "STD";
    int fps = 25;  // at least 1
    // [insim]
    std::string host = "127.0.0.1";
    int localport = 7001;
    int remoteport = 7000;
    std::string admin;
};

// Reads the INI file (missing file or keys give defaults); the three audio keys default from the mixer, each in
// its own guard: when the mixer fails, the field keeps its value. The mixer may be null (no sound server).
TSettings LoadSettings(const std::filesystem::path& iniFile, Mixer* mixer, TSettings start = {});

// Writes the nineteen keys in order. Returns an empty string on success, else what failed.
std::string SaveSettings(const std::filesystem::path& iniFile, const TSettings& settings);

}  // namespace kinoloop
