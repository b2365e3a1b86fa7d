#pragma once
// `AssembleFilm`: turns the frames of a render (Mov/temp.tmp) into the film Mov/<project name>.avi, running
// the effect nodes of each frame's column through their plug-ins, stamping the watermark and adding the
// recorded sound track as a second stream.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "model/node_store.h"
#include "render/frame_image.h"
#include "render/plugin_host.h"
#include "shell/notices.h"

namespace kinoloop {

struct FilmRequest {
    std::filesystem::path movFolder;  // holds temp.tmp and the sound track; receives temp.avi and the film
    std::int64_t CapturedFrameSize = 0;
    std::int64_t CapturedFrameCount = 0;
    std::int64_t RecordedSeconds = 0;        // the sound recorder's length in whole seconds
    std::int64_t wallClockMilliseconds = 0;  // the render's measured duration, used when RecordedSeconds is 0
    bool RecordAudio = false;                // the sound track Mov/<MovieFileName>.wav goes into the film
    // The movie's frame rate. When set, the film plays at it: the render captured exactly one frame per movie
    // frame and fitted the sound track to that count, whereas (frames div seconds) + 1 runs the picture a frame
    // per second fast against its sound. 0 keeps the rate measured from the recording.
    int movieFramesPerSecond = 0;
    std::string MovieFileName = "unknown.knloop";
    const NodeStore* nodes = nullptr;               // effect nodes and the replay start node
    const std::vector<TPlugin>* plugins = nullptr;  // `PluginList`
    bool watermark = false;                         // the `watermark` setting is 1
    const FrameImage* watermarkImage = nullptr;     // `imgWatermark`; none: no watermark is drawn
};

// How the assembly reaches the user: notices, the "Last Action: " status line, and a pump that lets the
// window handle pending events between frames (all optional but the notices).
struct FilmReporting {
    Notices* notices = nullptr;
    std::function<void(const std::string&)> SetLastAction;
    std::function<void()> HandlePendingMessages;
};

struct FilmOutcome {
    bool saved = false;
    std::filesystem::path film;
    std::int64_t framesWritten = 0;
    int framesPerSecond = 0;
    int rejectedEffects = 0;  // frames written as captured because a plug-in failed
    bool soundAdded = false;
    std::string failure;  // why no film was saved
};

FilmOutcome AssembleFilm(const FilmRequest& request, const FilmReporting& reporting);

// The film's file name: the project file name with its first ".knloop" (any letter case) removed, plus
// ".avi".
std::string FilmFileName(const std::string& MovieFileName);
// The render's sound track: Mov/ + MovieFileName + ".wav" (the project's extension stays).
std::filesystem::path SoundTrackPath(const std::filesystem::path& movFolder,
                                     const std::string& MovieFileName);
// (frames div seconds) + 1.
int FilmFrameRate(std::int64_t frames, std::int64_t seconds);

}  // namespace kinoloop
