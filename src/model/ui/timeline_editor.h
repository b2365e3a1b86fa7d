#pragma once
// The timeline editor: the timeline grid, the track grid beside it and the context menu, wired to the movie.
// It turns the user's clicks into the selection of the model, shows the selected node's properties, sends a
// camera that is selected and keeps the status line and the note hint.
#include <QWidget>
#include <functional>

class QLabel;

namespace kinoloop {

class Movie;
class Notices;
class NodePropertiesPanel;
class SimulatorPort;
class TimelineGridView;
class TrackGridView;
class TimelineContextMenu;

struct TimelineEditorContext {
    Movie* movie = nullptr;
    Notices* notices = nullptr;
    NodePropertiesPanel* properties = nullptr;
    SimulatorPort* simulator = nullptr;
    std::function<int()> fps;              // the frame-rate setting
    std::function<bool()> prompts;         // the prompts setting is 1
    std::function<void()> frameChanged;    // `ShowFrameInfo` after CurrentFrame moved
    std::function<void(const QString&)> showReadout;  // `lblLastAction` while dragging
};

class TimelineEditor : public QWidget {
    Q_OBJECT
public:
    explicit TimelineEditor(TimelineEditorContext context, QWidget* parent = nullptr);

    TimelineGridView* Timeline() const { return timeline_; }
    TrackGridView* Tracks() const { return tracks_; }
    TimelineContextMenu* ContextMenu() const { return menu_; }

    // The movie was replaced or its grids resized: both grids follow.
    void Reload();
    // Repaints both grids after a command changed cells, tracks or the selection.
    void RefreshGrids();

    // `strTimelineSelectCell`
    void SelectCell(int column, int row);
    // Opens the context menu at a screen position, applying the lock rule first.
    void OpenContextMenu(const QPoint& globalPos);

private:
    TimelineEditorContext ctx_;
    TimelineGridView* timeline_;
    TrackGridView* tracks_;
    TimelineContextMenu* menu_;
};

}  // namespace kinoloop
