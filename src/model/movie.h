#pragma once
// The movie being edited: the two grids, the node store, the node field buffer, the selection and clipboard
// state and the movie properties, with the operations on the store that every other part uses.
#include <cstdint>
#include <functional>
#include <string>

#include "model/field_buffer.h"
#include "model/node_records.h"
#include "model/node_store.h"
#include "model/timeline_grid.h"

namespace kinoloop {

// Sends the camera held in the node field buffer to the simulator; the link implements it.
class CameraSender {
public:
    virtual ~CameraSender() = default;
    virtual void SendCamera(const FieldBuffer& fields) = 0;
};

// The movie properties saved in the project file's header.
struct MovieHeader {
    static constexpr const char* kUnsavedName = "unknown.knloop";
    std::string MovieFileName = kUnsavedName;  // never saved while it is "unknown.knloop"
    std::string MovieFolder;                   // with trailing separator
    std::string MovieAuthor = "Unknown";       // at most 25 characters when saved
    std::string MovieTrackName;                // at most 25 characters when saved
    std::int32_t nextIdCopy = 0;
    std::string IntroFile;
    std::string OutroFile;
    bool operator==(const MovieHeader&) const = default;
};

// The one-repaint editing operation; see model/pending_grid_op.h for how it is carried out.
enum class PendingGridOp { Null, Tween, Cut, Delete };

// The timeline grid's own range selection, which the view keeps current: a rectangle of cells (inclusive) and its
// focused cell, the one where the mouse went down. Delete, cut and distribute act on it.
struct TimelineSelection {
    int left = 0, top = 1, right = 0, bottom = 1;
    int focusColumn = 0, focusRow = 1;

    // A one-cell selection at the cell, focused there.
    static TimelineSelection Cell(int column, int row) { return {column, row, column, row, column, row}; }
    int Width() const { return right - left + 1; }
    bool Contains(int column, int row) const {
        return column >= left && column <= right && row >= top && row <= bottom;
    }
    bool IsFocused(int column, int row) const { return column == focusColumn && row == focusRow; }
    bool operator==(const TimelineSelection&) const = default;
};

class Movie {
public:
    // Grids, store and buffer.
    TimelineGrid strTimeline;
    TrackGrid strTracks;
    NodeStore nodeStore;
    FieldBuffer txtRecords;
    MovieHeader header;

    // Selection and clipboard state.
    std::int32_t SelCol = 0;
    std::int32_t SelRow = 1;
    std::int32_t SelTrack = 1;
    std::int32_t SelTrackColumn = 0;
    float CurrentFrame = 0;
    std::int32_t CopiedNodeID = -1;
    std::int32_t NextNodeID = 0;
    PendingGridOp pendingGridOp = PendingGridOp::Null;
    bool AdjustLength = false;
    TimelineSelection selection;  // set by the timeline view

    // The status line under the timeline; observers (the window) hear every change at once.
    std::string lastAction = "No Action";
    std::function<void(const std::string&)> onLastAction;

    void SetCameraSender(CameraSender* sender) { cameraSender_ = sender; }

    // Takes over everything of another movie (an opened file) but keeps this movie's observers: the status-line
    // listener and the camera sender stay connected.
    void ReplaceMovie(Movie&& fresh);

    // First record at the cell: its field text, or "" when there is none. With select, the cell becomes the
    // selection.
    std::string FindNodeText(bool select, std::int32_t column, std::int32_t row);
    void DeleteNodeRecord(std::int32_t column, std::int32_t row);
    // Replaces the first record's field text (cut to 255); a camera also goes to the simulator from txtRecords.
    void StoreNodeText(const std::string& fieldText, std::int32_t column, std::int32_t row);

    // Append a record at the selection (id from NextNodeID); the typed record's own id, column and row are
    // replaced by them. Return the new record's id.
    std::int32_t AddReplayRecord(ReplayNode node);
    std::int32_t AddCameraRecord(CameraNode node);
    std::int32_t AddScriptRecord(ScriptNode node);
    std::int32_t AddEffectRecord(EffectNode node);
    std::int32_t AddSoundRecord(SoundNode node);
    std::int32_t AddStartRecord(StartNode node);
    std::int32_t AddStopRecord(BasicNode node);
    // These take the column and row of the typed record.
    std::int32_t AddMomentRecord(MomentNode node);
    std::int32_t AddMarkerRecord(BasicNode node);
    // Appends a record with the next id and a given field text (paste, distribute); field 0 of the text is not
    // changed. Returns the new id.
    std::int32_t AppendRecord(const std::string& tag, std::int32_t column, std::int32_t row, std::string fieldText,
                              std::string note = {});

    // An empty movie of seconds x fps + 5 columns and one track "Untitled Track"; the store is emptied.
    void ResetTimeline(int seconds, int framesPerSecond);

    void SetLastAction(const std::string& text);

    // Walks left from the cell to the head of the node that covers it; false when no head is found.
    bool FindHeadCell(int column, int row, int& headColumn) const;

private:
    std::int32_t Append(const char* tag, std::int32_t column, std::int32_t row, NodeHeader& node,
                        const std::function<std::string()>& fieldText);
    CameraSender* cameraSender_ = nullptr;
};

// The labels under the timeline.
struct FrameInfo {
    std::string currentFrame;  // "Frame: 250"
    std::string format;        // "STD"
    std::string fps;           // "25fps"
    std::string time;          // "10.00s"
};
FrameInfo ShowFrameInfo(float currentFrame, const std::string& format, int fps);

// Nearest integer, halves to the even neighbour.
std::int64_t RoundHalfEven(double value);

}  // namespace kinoloop
