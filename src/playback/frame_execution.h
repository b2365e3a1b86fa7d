#pragma once
// Carrying out the nodes of one frame: the column of the frame is read top to bottom and each node head acts by
// its kind. This runs once per frame, called by the transport's tick (never by painting the timeline).
#include <string>
#include <vector>

#include "playback/playback_modes.h"
#include "playback/ports.h"

namespace kinoloop {

class Movie;

// How a frame is reached. A tick plays it; a seek passes it while the replay is being moved to the start node,
// and then only cameras are sent (so that the camera in force at the start is right): a sound started during a
// seek would play out of place, and a script would take the simulator's time away from the move.
enum class FrameVisit { Tick, Seek };

struct FrameOutcome {
    bool stopReached = false;  // a replay stop node stands in the frame
    int nodesCarriedOut = 0;
};

struct FramePorts {
    SimulatorPackets* packets = nullptr;
    ScriptNodeRunner* scripts = nullptr;
    SoundPlayer* sound = nullptr;
    DebugLog* debug = nullptr;
    PlaybackPump* pump = nullptr;
};

class FrameExecutor {
public:
    FrameExecutor(Movie& movie, const PlaybackModes& modes, FramePorts ports)
        : movie_(movie), modes_(modes), ports_(ports) {}

    // Carries out the nodes of column `frame`. A replay stop node is reported, not acted on: the transport stops
    // once the whole column has been carried out.
    FrameOutcome CarryOutFrame(int frame, FrameVisit visit);

    // The program text of a script file: "" lines when the file is missing; a locked script (first line "PROT")
    // is decoded from base64.
    static std::vector<std::string> ScriptProgram(const std::string& scriptFileName);

private:
    void LoadFields(int column, int row);
    void AddDebugRow(const char* action, int row, int frame);

    Movie& movie_;
    const PlaybackModes& modes_;
    FramePorts ports_;
};

}  // namespace kinoloop
