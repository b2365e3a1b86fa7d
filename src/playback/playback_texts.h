#pragma once
// The words playback says to the user, kept in one place.
namespace kinoloop::playback_text {

inline constexpr const char* kNotLoaded =
    "Live for Speed doesn't appear to be loaded, if you continue Kinoloop may stop responding. Do you want to "
    "continue anyway?";
inline constexpr const char* kLoadingReplay = "Loading Replay, Please Wait";
inline constexpr const char* kMovingToPosition = "Moving to New Position, Please Wait";
inline constexpr const char* kStartFromStartNode = "Do you want to start playback from the replay start node?";
inline constexpr const char* kNoStopNodePreview =
    "There is no Stop Node present. You can continue to preview the movie but will have to manually stop it. Do "
    "you want to continue?";
inline constexpr const char* kErrorLoadingReplay = "Error Loading Replay";

// Render questions and notices.
inline constexpr const char* kSaveBeforeRender =
    "It is recommended that you save your work before rendering your movie. Continue anyway?";
inline constexpr const char* kNoStopNodeRender =
    "There is no Stop Node present. You can continue to render the movie but will have to manually stop the "
    "recording. Do you want to continue?";
inline constexpr const char* kRecordAudio = "Do you want to record audio with this movie?";
inline constexpr const char* kRecordSimSound =
    "Do you want to record audio from LFS, this includes the car and effects sounds?";
inline constexpr const char* kPreparingMovie = "Preparing Movie, Please Wait";

// A render that cannot start gives the interface back and says why.
inline constexpr const char* kRenderNoReplay =
    "The movie cannot be rendered: there is no replay node at the start of the timeline (column 0).";
inline constexpr const char* kRenderCannotStart = "The movie cannot be rendered: ";
inline constexpr const char* kReplayNeverStarted =
    "Live for Speed did not report the replay running, so playback could not start.";

// Debug rows.
inline constexpr const char* kActionCamera = "Camera";
inline constexpr const char* kActionScript = "Script";
inline constexpr const char* kActionSound = "Sound";
inline constexpr const char* kActionStop = "Stop";
inline constexpr const char* kActionEffect = "Effect";
inline constexpr const char* kActionStart = "Start";
inline constexpr const char* kActionHotMoment = "Hot Moment";
inline constexpr const char* kActionTimeMarker = "Time Marker";

}  // namespace kinoloop::playback_text
