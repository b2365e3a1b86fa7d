#include "diagnostics/system_facts.h"

#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cctype>
#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>
#include <system_error>

namespace kinoloop {

namespace fs = std::filesystem;

fs::path ProgramFilePath() {
    std::error_code error;
    fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : path;
}

std::string StartupTitle(const fs::path& programPath) {
    std::string name = programPath.filename().string();
    name = name.substr(0, name.find('.'));
    for (std::size_t i = 1; i < name.size(); ++i) {
        name[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
    }
    return name;
}

fs::path LogFileName(const fs::path& programPath) {
    fs::path log = programPath;
    log.replace_extension(".log");
    return log;
}

std::string UserName() {
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_name != nullptr) {
        return entry->pw_name;
    }
    return std::to_string(getuid());
}

std::string ComputerName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

std::string SystemText() {
    utsname system{};
    if (uname(&system) != 0) return {};
    return std::string(system.sysname) + " v" + system.release + " " + system.version;
}

std::string LocalDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::ostringstream text;
    try {
        text.imbue(std::locale(""));
    } catch (const std::runtime_error&) {
        // An environment naming a locale the system lacks: the classic locale's form is still a date and a
        // time.
    }
    text << std::put_time(&local, "%x %X");
    return text.str();
}

LogStartFacts ReadStartFacts(const fs::path& programPath) {
    return {StartupTitle(programPath), programPath.string(), UserName(), ComputerName(), SystemText()};
}

}  // namespace kinoloop
