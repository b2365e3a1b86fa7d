#pragma once
// `strTimeline` on screen: draws only the visible cells of the movie's timeline grid, keeps the range selection
// and reports what the user does with the mouse. It decides nothing about nodes: the window turns its signals
// into model commands.
#include <QAbstractScrollArea>
#include <QImage>
#include <QString>
#include <unordered_map>

#include "model/timeline_layout.h"

namespace kinoloop {

class Movie;

class TimelineGridView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TimelineGridView(QWidget* parent = nullptr);

    void SetMovie(Movie* movie);
    Movie* GetMovie() const { return movie_; }
    // The grid's size changed (tracks or columns added or removed): ranges of the scroll bars follow.
    void GridResized();

    const TimelineLayout& Layout() const { return layout_; }
    const GridSelection& Selection() const { return selection_; }
    // Makes one cell the focused, selected cell (as a click does, without the selection signal).
    void SetSelection(const GridSelection& selection);

    // Scroll position by first visible column and first visible track row.
    void ScrollToCell(int firstColumn, int firstTrackRow);
    int WholeVisibleColumns() const;
    // While a movie plays: keeps the current frame in the middle of the view.
    void FollowFrame(int currentFrame);

    // The note shown as the grid's tooltip while a node with a note is selected; empty switches it off.
    void SetNoteHint(const QString& text, bool showNow);
    QString NoteHint() const { return noteHint_; }

    // Paints the visible grid into a device of the viewport's size (the benchmark paints offscreen).
    void PaintGrid(QPainter& painter, const QRect& area);

signals:
    // The user selected a cell (`strTimelineSelectCell`).
    void cellSelected(int column, int row);
    // Dragging with the left button alone changed the selection's width (`strTimelineMouseMove`).
    void selectionDragged(int widthInColumns);
    void contextMenuAt(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    bool CellUnder(const QPoint& pos, int& column, int& row) const;
    void SelectCell(int column, int row);
    void UpdateScrollRanges();
    // The picture of a node cell of one look (kind, head or continuation, note, background), made once.
    const QImage& CellSprite(char code, const CellPaint& plan);
    // The model's copy of the selection, which delete, cut and distribute act on.
    void PublishSelection();

    Movie* movie_ = nullptr;
    TimelineLayout layout_;
    GridSelection selection_;
    QString noteHint_;
    std::unordered_map<int, QImage> sprites_;
    bool dragging_ = false;
};

}  // namespace kinoloop
