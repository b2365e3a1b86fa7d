#pragma once
// A movie with a few tracks, scripted notices and hooks that record what the commands asked the window to do.
#include <string>
#include <vector>

#include "model/edit_command.h"
#include "model/movie.h"
#include "model/track_commands.h"
#include "scripted_notices.h"

namespace kinoloop::testing {

class RecordingHooks : public EditorHooks {
public:
    std::vector<std::string> calls;
    void ShowNodeProperties(char kind) override { calls.push_back(std::string("properties ") + kind); }
    void RequestCamera() override { calls.push_back("request camera"); }
    void ResetSimulator() override { calls.push_back("reset simulator"); }
    void ShowNoteTooltip(const std::string& note) override { calls.push_back("tooltip " + note); }
    bool Called(const std::string& call) const {
        for (const std::string& c : calls) {
            if (c == call) return true;
        }
        return false;
    }
};

class Editor {
public:
    explicit Editor(int tracks = 3, int seconds = 600, int fps = 25) {
        movie.ResetTimeline(seconds, fps);
        for (int i = 1; i < tracks; ++i) AddTrack(movie);
        movie.SetLastAction("No Action");
    }

    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    Movie movie;
    ScriptedNotices notices;
    RecordingHooks hooks;
    EditContext context{movie, notices, hooks, false};

    // Clicks a cell: it becomes the selected cell and a one-cell selection focused there.
    void Select(int column, int row) {
        movie.SelCol = column;
        movie.SelRow = row;
        movie.selection = TimelineSelection::Cell(column, row);
    }
    // Drags on one row from the focused cell to another column; the selected cell stays at `from`.
    void Drag(int from, int to, int row) {
        Select(from, row);
        movie.selection.left = std::min(from, to);
        movie.selection.right = std::max(from, to);
    }
    // Cells of a row from..to, joined with "|" ("" for empty cells).
    std::string Cells(int row, int from, int to) const {
        std::string text;
        for (int c = from; c <= to; ++c) {
            if (c > from) text += "|";
            text += std::string(movie.strTimeline.Cell(c, row));
        }
        return text;
    }
    const NodeText* At(int column, int row) const { return movie.nodeStore.Find(column, row); }
};

}  // namespace kinoloop::testing
