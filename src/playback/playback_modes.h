#pragma once
// The playback modes and render flags that the commands set and frame execution reads.
#include <cstdint>

namespace kinoloop {

struct PlaybackModes {
    bool QuickPreviewMode = false;
    bool PreviewMode = false;
    bool DebugMode = false;
    bool Rendering = false;       // a render records; autosave stays off while it is set
    bool RecordAudio = false;
    bool RecordSimSound = false;
    std::int32_t LastPlayedFrame = 0;
};

// round((1 / fps) x 100) in single precision, halves to even: 4 at 25 fps, 3 at 30 fps.
int StepHundredths(int framesPerSecond);
// (1 / fps) x 100 in single precision, not rounded: the hundredths one frame stands for.
float FrameStepHundredths(int framesPerSecond);
// The frame clock's interval, 1000 div fps milliseconds (fps below 1 is taken as 1).
int FrameIntervalMs(int framesPerSecond);

}  // namespace kinoloop
