#pragma once
// Mov/temp.tmp: the frames of a render, each a complete BMP file image of the same length, one after another
// with no header of their own. Frame k starts at byte k x CapturedFrameSize.
#include <cstdint>
#include <filesystem>
#include <span>

#include "render/frame_image.h"
#include "render/result.h"

namespace kinoloop {

inline constexpr const char* kFrameFileName = "temp.tmp";

class FrameFileWriter {
public:
    FrameFileWriter() = default;
    ~FrameFileWriter();
    FrameFileWriter(const FrameFileWriter&) = delete;
    FrameFileWriter& operator=(const FrameFileWriter&) = delete;

    // Creates the file, replacing an earlier one, and zeroes the counts.
    render::Status Create(const std::filesystem::path& file);

    // Appends the picture as a BMP file image. A frame that cannot be written whole, or whose size differs
    // from the first frame's (the file could not be read back frame by frame), is not counted and leaves the
    // file as it was.
    render::Status Append(const FrameImage& image);

    render::Status Close();
    bool IsOpen() const { return fd_ >= 0; }

    std::int64_t CapturedFrameSize() const { return frameSize_; }
    std::int64_t CapturedFrameCount() const { return frameCount_; }

private:
    int fd_ = -1;
    std::int64_t end_ = 0;
    std::int64_t frameSize_ = 0;
    std::int64_t frameCount_ = 0;
};

class FrameFileReader {
public:
    FrameFileReader() = default;
    ~FrameFileReader();
    FrameFileReader(const FrameFileReader&) = delete;
    FrameFileReader& operator=(const FrameFileReader&) = delete;

    // Opens the file for frames of frameSize bytes; fails when it holds fewer than frameCount of them.
    render::Status Open(const std::filesystem::path& file, std::int64_t frameSize, std::int64_t frameCount);
    // Reads frame k (from 0) into `into`, which must be frameSize bytes long.
    render::Status Read(std::int64_t k, std::span<std::uint8_t> into) const;
    void Close();

private:
    int fd_ = -1;
    std::int64_t frameSize_ = 0;
};

}  // namespace kinoloop
