#pragma once
// What every editing command of the timeline takes and gives back. The commands are plain functions over the
// movie; the window wires them to menus and buttons and does the screen work they ask for through
// EditorHooks.
#include <cstdint>
#include <vector>

#include "model/movie.h"
#include "shell/notices.h"

namespace kinoloop {

// Screen and link work a command needs done at a given point of its steps. Every hook does nothing by
// default, so tests and tools pass NoEditorHooks.
class EditorHooks {
public:
    virtual ~EditorHooks() = default;
    // `ShowNodeProperties` with the kind letter of a cell code ('N' = the empty panel).
    virtual void ShowNodeProperties(char kind) {}
    // Let pending window messages be handled (long commands call it between steps).
    virtual void ProcessEvents() {}
    // The grids changed: repaint the timeline and the track grid at once.
    virtual void RepaintTimeline() {}
    virtual void RepaintTracks() {}
    // A new camera node: ask the simulator for its state ("SST") and start camera polling if it is off.
    virtual void RequestCamera() {}
    // Deleting the replay was answered "Y": send the simulator "/end".
    virtual void ResetSimulator() {}
    // Add Note: show the note as the timeline's tooltip at the mouse position (line breaks as "\n").
    virtual void ShowNoteTooltip(const std::string& note) {}
};

inline EditorHooks& NoEditorHooks() {
    static EditorHooks none;
    return none;
}

// The note window (`TfrmNote`) as Add Note needs it.
class NoteEditor {
public:
    virtual ~NoteEditor() = default;
    // `EditNote`: shows the text (line breaks as "\n"), waits for "Ok" while the program keeps running, and
    // returns the note as stored: without "?", "|" and ":", every line break turned into "?".
    virtual std::string EditNote(const std::string& text) = 0;
};

struct EditContext {
    Movie& movie;
    Notices& notices;
    EditorHooks& hooks = NoEditorHooks();
    bool prompts = true;  // the "prompts" setting is 1: add commands end with a hint
};

// What a command changed. Ids are of records appended to or removed from the node store.
struct EditResult {
    bool changed = false;  // grids, store or selection changed (a refused or empty command leaves it false)
    std::vector<std::int32_t> added;
    std::vector<std::int32_t> removed;
    bool tracksChanged = false;  // rows of the track grid were added, removed, moved, renamed or (un)locked

    static EditResult Unchanged() { return {}; }
};

}  // namespace kinoloop
