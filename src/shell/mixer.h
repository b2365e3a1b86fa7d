#pragma once
// The recording mixer as the settings and the Setup window see it: destinations (recording devices), their source
// lines, the line selected for recording and its volume. The audio subsystem implements it over the sound server;
// every call may fail (no server), which callers guard.
#include <stdexcept>
#include <string>

namespace kinoloop {

class MixerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Mixer {
public:
    virtual ~Mixer() = default;
    virtual int DestinationCount() = 0;
    virtual int CurrentDestination() = 0;
    virtual void SelectDestination(int index) = 0;
    virtual std::string DestinationName() = 0;
    virtual int LineCount() = 0;
    virtual std::string LineName(int index) = 0;
    virtual int SelectedLine() = 0;
    virtual void SelectLine(int index) = 0;
    virtual int LineVolume(int index) = 0;                // percent 0..100
    virtual void SetLineVolume(int index, int percent) = 0;  // clamped to 0..100
};

}  // namespace kinoloop
