#pragma once
// One sound the engine plays: a stream through SDL2_mixer's music player, or a tracker module rendered by
// libopenmpt into SDL2_mixer's music hook. Both use the mixer's single music slot, so starting one silences
// the other.
#include <memory>
#include <string>

namespace kinoloop {

class SoundChannel {
public:
    virtual ~SoundChannel() = default;
    virtual bool Start() = 0;
    virtual void Stop() = 0;
    virtual double PositionSeconds() = 0;
    virtual double LengthSeconds() const = 0;
    // True once the sound has been started and has played to its end by itself.
    virtual bool Finished() = 0;
};

// Opens a file as the engine plays it; nothing when neither library can open it. Tracker extensions try
// libopenmpt first (SDL2_mixer's module backend reports no position and whole-second lengths), other files
// try the stream decoders first.
std::unique_ptr<SoundChannel> OpenSoundChannel(const std::string& path);

// Length of a file in seconds without playing it or touching the music slot; -1 when it cannot be opened.
double MeasureSoundFile(const std::string& path);

}  // namespace kinoloop
