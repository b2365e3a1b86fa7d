#include "shell/file_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

namespace kinoloop {

namespace {

std::string Reason(int error) {
    return std::strerror(error);
}

std::string TempName(const std::filesystem::path& file) {
    static std::mt19937 random{std::random_device{}()};
    std::ostringstream name;
    name << "." << file.filename().string() << ".tmp-" << std::hex << random();
    return name.str();
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, std::string* error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        if (error != nullptr) *error = "cannot open " + file.string() + ": " + Reason(errno);
        return std::nullopt;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        if (error != nullptr) *error = "cannot read " + file.string();
        return std::nullopt;
    }
    return std::move(bytes).str();
}

std::string WriteFileReplacing(const std::filesystem::path& file, const std::string& bytes) {
    const std::filesystem::path folder = file.parent_path().empty() ? "." : file.parent_path();
    const std::filesystem::path temp = folder / TempName(file);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return "cannot create " + temp.string() + ": " + Reason(errno);

    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            const std::string message = "cannot write " + temp.string() + ": " + Reason(errno);
            ::close(fd);
            ::unlink(temp.c_str());
            return message;
        }
        written += static_cast<std::size_t>(n);
    }
    const bool synced = ::fsync(fd) == 0;
    const int syncError = errno;
    const bool closed = ::close(fd) == 0;
    if (!synced || !closed) {
        const std::string message =
            "cannot write " + temp.string() + ": " + Reason(synced ? errno : syncError);
        ::unlink(temp.c_str());
        return message;
    }
    if (::rename(temp.c_str(), file.c_str()) != 0) {
        const std::string message = "cannot replace " + file.string() + ": " + Reason(errno);
        ::unlink(temp.c_str());
        return message;
    }
    return {};
}

}  // namespace kinoloop
