#pragma once
// `strTracks` on screen: one row per track beside the timeline (editable name, current-row picture, lock
// picture), scrolling together with the timeline.
#include <QTableWidget>

namespace kinoloop {

class Movie;
class TimelineGridView;

class TrackGridView : public QTableWidget {
    Q_OBJECT
public:
    explicit TrackGridView(QWidget* parent = nullptr);

    void SetMovie(Movie* movie);
    // Rebuilds the rows from the model (after tracks were added, removed, moved or locked).
    void Refresh();
    // Updates only the current-row and lock pictures.
    void RefreshPictures();

    // Scrolling either widget scrolls the other by the same number of rows (bars and wheel).
    static void LinkScrolling(TimelineGridView* timeline, TrackGridView* tracks);

signals:
    // A click in the grid (`strTracksSelectCell`): row as in the model (tracks from 1), column 0..2.
    void trackClicked(int row, int column);
    void trackRenamed(int row);

private:
    Movie* movie_ = nullptr;
    bool refreshing_ = false;
};

}  // namespace kinoloop
