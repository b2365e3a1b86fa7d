#pragma once
// Hot moments on the timeline: the list the scan shows, hot-moment nodes made from it, and the conversion of
// those nodes into camera nodes placed where the car was.
#include <string>
#include <vector>

#include "hotmoments/moments.h"
#include "model/movie.h"
#include "shell/notices.h"

namespace kinoloop {

// One row of the hot-moments list, as text: the list, not the recorder, is what goes onto the timeline.
struct MomentListRow {
    std::string Start;
    std::string End;
    std::string Duration;
    std::string Action;
    std::string Player1;  // player names
    std::string Player2;  // "" for one-car actions
    std::string Player1ID;
    std::string Player2ID;  // "-1" for one-car actions
    bool operator==(const MomentListRow&) const = default;
};

// The rows for the recorder's hot moments, in their order. A player with no player record shows as
// "Unknown (" + id + ")".
std::vector<MomentListRow> MomentListRows(const TMoments& moments);

// "Hot Moment: Close players??Anna - Bert" (the "?" are the stored note's line breaks), not yet cut.
std::string MomentNote(const MomentListRow& row);

inline constexpr const char* kNoMomentsToAdd = "There are no Hot Moments to add to the timeline";
inline constexpr const char* kMomentsAdded =
    "The Hot Moments have been added to the timeline. You can view them in the Node Library";
inline constexpr const char* kConversionComplete = "Conversion of all Hot Moments to Cameras is complete";
inline constexpr const char* kNotAllConverted =
    "Not all Hot Moments were converted, they may be missing as a result of loading a saved replay";

struct AddToTimelineResult {
    int trackRow = 0;  // the new "Hot Moments" track, 0 when none was added
    int added = 0;     // hot-moment nodes added
    int skipped = 0;  // rows that could not be placed (start outside the timeline, texts that are no numbers)
};

// "Add To Timeline": a new "Hot Moments" track with one hot-moment node per row at the row's start frame.
AddToTimelineResult AddToTimeline(Movie& movie, Notices& notices, const std::vector<MomentListRow>& rows);

// What a hot-moment node becomes.
enum class ConversionTarget {
    Arcade = 0,
    Helicopter = 1,
    TvCamera = 2,
    Driver = 3,
    Custom = 4,
    TrackingFollow,  // Shift+U camera that follows the car
    TrackingStatic,  // Shift+U camera that stays where the car was
};

// Fills the position, heading and view player of `camera` from the car `player1` in the sample of `frame`, as
// a TV camera with field of view 80. False, with `camera` unchanged, when there is no such sample, car or
// player.
bool BuildCamera(const TMoments& moments, int frame, int player1, CameraNode& camera);

// Turns a camera built by BuildCamera into the target's camera.
void FinishCamera(CameraNode& camera, ConversionTarget target);

// Converts the hot-moment node at the selected cell; false, with nothing changed, when it cannot be
// converted.
bool ConvertMoment(Movie& movie, const TMoments& moments, ConversionTarget target);

struct ConversionResult {
    int converted = 0;
    int failed = 0;
};

// Converts every hot-moment node that can be converted and says how it went.
ConversionResult ConvertAllMoments(Movie& movie, const TMoments& moments, Notices& notices,
                                   ConversionTarget target);

}  // namespace kinoloop
