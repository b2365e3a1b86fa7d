#pragma once
// Sound nodes on the timeline: choosing a node's file and measuring it, and the files that a full playback or
// a render puts into the engine's playlist.
#include <string>
#include <vector>

#include "model/movie.h"
#include "shell/notices.h"

namespace kinoloop {

// Measures a sound file without playing it; -1 when the file cannot be opened. The audio engine implements
// it.
class SoundFileMeasure {
public:
    virtual ~SoundFileMeasure() = default;
    virtual int FileLengthMs(const std::string& path) = 0;
};

inline constexpr const char* kScanningSoundFile = "Scanning Sound File, Please Wait";
inline constexpr const char* kSoundTruncated =
    "The length of the sound file has been truncated to fit the available space on the timeline.";
inline constexpr const char* kSoundLoadProblem =
    "There was a problem loading the sound file, it may not have been added to the timeline correctly.";
// The node's field text holds at most 255 characters; a longer path would be cut and the node would name a
// file that does not exist.
inline constexpr const char* kSoundPathTooLong =
    "The path of this sound file is too long to be kept in the node. Move the file to a folder with a "
    "shorter "
    "path, or give it a shorter name, and try again.";

// Node length in frames for a sound of ms milliseconds: its whole seconds times fps (0 when it cannot be
// measured).
int SoundLengthFrames(int ms, int fps);

struct SoundBrowseResult {
    bool stored = false;     // the node holds the file now
    int length = 0;          // the node's length in frames
    bool truncated = false;  // an occupied cell (or the timeline's end) cut it short
};

// "Browse" of the sound properties panel after the user chose a file: the sound node whose head is at
// (column, row) gets the file, is measured and covers the cells its sound lasts, up to the first occupied
// cell. The node's earlier covered cells are emptied first. The node field buffer ends up holding the stored
// fields.
SoundBrowseResult BrowseSoundFile(Movie& movie, Notices& notices, SoundFileMeasure& measure, int column,
                                  int row, const std::string& path, int fps);

// The file path of a sound node's field text, with ":" restored; "" when the field is missing.
std::string SoundNodePath(const std::string& fieldText);

// The file paths of the store's sound nodes in store order, ":" restored.
std::vector<std::string> SoundNodePaths(const NodeStore& store);

}  // namespace kinoloop
