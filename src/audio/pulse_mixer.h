#pragma once
// The recording mixer over PulseAudio. Destinations are the server's recording sources, monitor sources (what
// a sink plays, the "what you hear" line) included; a destination's lines are its ports and the selected line
// its active port; the volume is the source's volume in percent. A source without ports has one line, itself.
#include <memory>
#include <string>
#include <vector>

#include "shell/mixer.h"

namespace kinoloop {

class PulseConnection;

struct RecordingSource {
    std::string name;         // the server's name, e.g. "kl_sink.monitor"
    std::string description;  // what the user reads, e.g. "Monitor of Null Output"
    std::vector<std::string> portNames;
    std::vector<std::string> portDescriptions;
    int activePort = -1;  // index into the ports, -1 when it has none
    int volumePercent = 0;
    unsigned channels = 0;
    bool monitor = false;
};

class PulseMixer : public Mixer {
public:
    PulseMixer();
    ~PulseMixer() override;

    // Every operation throws MixerError when there is no sound server or an index is out of range.
    int DestinationCount() override;
    int CurrentDestination() override;  // the server's default source until one is selected
    void SelectDestination(int index) override;
    std::string DestinationName() override;
    int LineCount() override;
    std::string LineName(int index) override;
    int SelectedLine() override;
    void SelectLine(int index) override;
    int LineVolume(int index) override;
    void SetLineVolume(int index, int percent) override;

    // The server's name of the current destination, for the recorder.
    std::string SourceName();
    std::vector<RecordingSource> Sources();

private:
    PulseConnection& Connection();
    RecordingSource Current();
    void CheckLine(const RecordingSource& source, int index) const;

    std::unique_ptr<PulseConnection> connection_;
    int selected_ = -1;
};

// "Config Problems?": opens the sound server's volume control on its recording page. False when no such
// program (pavucontrol) is installed or it could not be started.
bool OpenRecordingControls();

}  // namespace kinoloop
