#include "render/frame_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <string>

namespace kinoloop {

namespace {

std::string SystemError() {
    return std::strerror(errno);
}

}  // namespace

FrameFileWriter::~FrameFileWriter() {
    (void)Close();
}

render::Status FrameFileWriter::Create(const std::filesystem::path& file) {
    (void)Close();
    frameSize_ = 0;
    frameCount_ = 0;
    end_ = 0;
    fd_ = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) return render::Failure{"cannot create " + file.string() + ": " + SystemError()};
    return render::Ok();
}

render::Status FrameFileWriter::Append(const FrameImage& image) {
    if (fd_ < 0) return render::Failure{"the frame file is not open"};
    const auto size = static_cast<std::int64_t>(BmpFileSize(image.width, image.height));
    if (frameCount_ > 0 && size != frameSize_) {
        return render::Failure{"the frame is " + std::to_string(image.width) + " x " +
                               std::to_string(image.height) + ", not the size of the render's first frame"};
    }
    std::array<std::uint8_t, bmp::kPixelOffset> headers{};
    WriteBmpHeaders(image.width, image.height, headers);
    // One write of header and pixels together: a frame is the unit that is either in the file or not.
    std::array<iovec, 2> parts{{{headers.data(), headers.size()},
                                {const_cast<std::uint8_t*>(image.pixels.data()), image.ImageSize()}}};
    std::int64_t written = 0;
    int first = 0;
    while (written < size) {
        const ssize_t n = ::pwritev(fd_, parts.data() + first, 2 - first, end_ + written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const std::string reason = n < 0 ? SystemError() : "nothing was written";
            // Take back a partial frame so that every frame in the file stays whole.
            if (::ftruncate(fd_, end_) != 0) { /* the count still excludes it; reading stops before it */
            }
            return render::Failure{"cannot append the frame: " + reason};
        }
        written += n;
        // Move past what was written (a short write may end inside either part).
        std::size_t left = static_cast<std::size_t>(n);
        while (first < 2 && left >= parts[first].iov_len) left -= parts[first++].iov_len;
        if (first < 2) {
            parts[first].iov_base = static_cast<std::uint8_t*>(parts[first].iov_base) + left;
            parts[first].iov_len -= left;
        }
    }
    end_ += size;
    frameSize_ = size;
    ++frameCount_;
    return render::Ok();
}

render::Status FrameFileWriter::Close() {
    if (fd_ < 0) return render::Ok();
    const int result = ::close(fd_);
    fd_ = -1;
    if (result != 0) return render::Failure{"cannot close the frame file: " + SystemError()};
    return render::Ok();
}

FrameFileReader::~FrameFileReader() {
    Close();
}

render::Status FrameFileReader::Open(const std::filesystem::path& file, std::int64_t frameSize,
                                     std::int64_t frameCount) {
    Close();
    if (frameSize < static_cast<std::int64_t>(bmp::kPixelOffset)) {
        return render::Failure{"the frame size " + std::to_string(frameSize) +
                               " is too small for a frame image"};
    }
    fd_ = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return render::Failure{"cannot open " + file.string() + ": " + SystemError()};
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || info.st_size / frameSize < frameCount) {
        Close();
        return render::Failure{file.string() + " holds fewer than the " + std::to_string(frameCount) +
                               " frames that were counted"};
    }
    frameSize_ = frameSize;
    // The frames are read once, in order.
    (void)::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    return render::Ok();
}

render::Status FrameFileReader::Read(std::int64_t k, std::span<std::uint8_t> into) const {
    if (fd_ < 0) return render::Failure{"the frame file is not open"};
    std::size_t done = 0;
    while (done < into.size()) {
        const ssize_t n = ::pread(fd_, into.data() + done, into.size() - done,
                                  k * frameSize_ + static_cast<std::int64_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            return render::Failure{"cannot read frame " + std::to_string(k + 1) + ": " +
                                   (n < 0 ? SystemError() : std::string("the file ends early"))};
        }
        done += static_cast<std::size_t>(n);
    }
    return render::Ok();
}

void FrameFileReader::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace kinoloop
