#pragma once
// The film file through FFmpeg's AVI muxer: uncompressed 24-bit key frames with bottom-up rows (the header's
// height positive, as the frames are stored), an OpenDML index once the file passes 1 GiB, and an optional
// second stream copied unchanged from a WAV sound track.
#include <cstdint>
#include <filesystem>
#include <span>

#include "render/result.h"

struct AVFormatContext;
struct AVPacket;

namespace kinoloop {

// A WAV file opened for its PCM samples.
class SoundTrackReader {
public:
    SoundTrackReader() = default;
    ~SoundTrackReader();
    SoundTrackReader(const SoundTrackReader&) = delete;
    SoundTrackReader& operator=(const SoundTrackReader&) = delete;

    // Fails when the file cannot be opened or read as a sound file.
    render::Status Open(const std::filesystem::path& file);
    // Fails when the file holds no PCM sound stream that an AVI file can carry.
    render::Status CheckStream() const;

private:
    friend class AviWriter;
    AVFormatContext* input_ = nullptr;
    int stream_ = -1;
};

struct AviVideoFormat {
    int width = 0;
    int height = 0;
    int framesPerSecond = 1;
};

class AviWriter {
public:
    AviWriter() = default;
    ~AviWriter();  // a film that was not finished is closed as it is
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;

    // Creates the file with the video stream and, when `sound` is given (opened and checked), the sound
    // stream.
    render::Status Create(const std::filesystem::path& file, const AviVideoFormat& format,
                          SoundTrackReader* sound);
    // Writes the next frame: FrameImage::Stride() x height bytes, rows bottom-up. The sound up to the frame's
    // end goes in before it, so that the streams are interleaved.
    render::Status WriteFrame(std::span<const std::uint8_t> pixels);
    // Writes the rest of the sound and the index, and closes the file.
    render::Status Finish();

    std::int64_t FramesWritten() const { return frames_; }

private:
    render::Status WriteSoundUntil(double seconds);
    void Close();

    AVFormatContext* output_ = nullptr;
    AVPacket* packet_ = nullptr;
    SoundTrackReader* sound_ = nullptr;
    int videoStream_ = 0;
    int soundStream_ = -1;
    AviVideoFormat format_;
    std::int64_t frames_ = 0;
    bool soundDone_ = true;
    bool pendingSound_ = false;  // packet_ holds a sound packet read but not yet written
};

}  // namespace kinoloop
