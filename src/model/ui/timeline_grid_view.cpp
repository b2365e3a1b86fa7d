#include "model/ui/timeline_grid_view.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include "model/movie.h"

namespace kinoloop {
namespace {

QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

// A rectangle given as the grid gives it (right and bottom exclusive) drawn with a one-pixel pen inside it.
QRect Outline(int left, int top, int right, int bottom) { return QRect(left, top, right - left - 1, bottom - top - 1); }

}  // namespace

TimelineGridView::TimelineGridView(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName("strTimeline");
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(false);
    QFont small = font();
    small.setPixelSize(10);
    setFont(small);
}

void TimelineGridView::SetMovie(Movie* movie) {
    movie_ = movie;
    GridResized();
}

void TimelineGridView::GridResized() {
    UpdateScrollRanges();
    viewport()->update();
}

void TimelineGridView::UpdateScrollRanges() {
    if (movie_ == nullptr) return;
    const QSize size = viewport()->size();
    const int columns = movie_->strTimeline.ColumnCount();
    const int rows = movie_->strTimeline.RowCount();
    horizontalScrollBar()->setRange(0, layout_.MaxFirstColumn(columns, size.width()));
    horizontalScrollBar()->setPageStep(layout_.WholeColumns(size.width()));
    horizontalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setRange(0, layout_.MaxFirstTrackRow(rows, size.height()) - 1);
    verticalScrollBar()->setPageStep(layout_.WholeTrackRows(size.height()));
    verticalScrollBar()->setSingleStep(1);
    layout_.ScrollTo(horizontalScrollBar()->value(), verticalScrollBar()->value() + 1);
}

void TimelineGridView::SetSelection(const GridSelection& selection) {
    selection_ = selection;
    PublishSelection();
    viewport()->update();
}

void TimelineGridView::PublishSelection() {
    if (movie_ == nullptr) return;
    movie_->selection = TimelineSelection{selection_.Left(),       selection_.Top(),        selection_.Right(),
                                          selection_.Bottom(),     selection_.focusColumn, selection_.focusRow};
}

void TimelineGridView::ScrollToCell(int firstColumn, int firstTrackRow) {
    horizontalScrollBar()->setValue(firstColumn);
    verticalScrollBar()->setValue(firstTrackRow - 1);
}

int TimelineGridView::WholeVisibleColumns() const { return layout_.WholeColumns(viewport()->width()); }

void TimelineGridView::FollowFrame(int currentFrame) {
    const int first = FollowFrameFirstColumn(currentFrame, WholeVisibleColumns(), layout_.FirstColumn());
    if (first != layout_.FirstColumn()) horizontalScrollBar()->setValue(first);
    viewport()->update();
}

void TimelineGridView::SetNoteHint(const QString& text, bool showNow) {
    noteHint_ = text;
    if (text.isEmpty()) {
        QToolTip::hideText();
    } else if (showNow) {
        QToolTip::showText(QCursor::pos(), text, viewport());
    }
}

void TimelineGridView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRanges();
}

void TimelineGridView::scrollContentsBy(int, int) {
    layout_.ScrollTo(horizontalScrollBar()->value(), verticalScrollBar()->value() + 1);
    viewport()->update();
}

void TimelineGridView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    PaintGrid(painter, viewport()->rect());
}

void TimelineGridView::PaintGrid(QPainter& painter, const QRect& area) {
    namespace colour = timeline_colour;
    painter.fillRect(area, palette().window());
    if (movie_ == nullptr) return;
    const TimelineGrid& grid = movie_->strTimeline;
    const VisibleRange vis = layout_.Visible(area.width(), area.height(), grid.ColumnCount(), grid.RowCount());
    if (vis.lastColumn < vis.firstColumn) return;

    const int gridRight = layout_.CellAt(vis.lastColumn, 0).right;
    const int rowPitch = layout_.RowPitch();
    const int tracksTop = rowPitch;
    const int tracksBottom = vis.lastRow >= vis.firstRow ? layout_.CellAt(0, vis.lastRow).bottom : tracksTop;

    // Grid lines show through the one-pixel gaps left between the cells.
    painter.fillRect(QRect(0, 0, gridRight + TimelineLayout::kGridLine, tracksBottom + TimelineLayout::kGridLine),
                     ToQColor(colour::GridLine));

    // Header row: the grid's fixed colour and the frame labels of every fifth column.
    painter.setPen(Qt::black);
    for (int c = vis.firstColumn; c <= vis.lastColumn; ++c) {
        const CellRect r = layout_.CellAt(c, 0);
        painter.fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), ToQColor(colour::Fixed));
    }
    // A label is wider than its column: it runs over the four unlabelled columns after it.
    const int labelStart = vis.firstColumn - vis.firstColumn % 5;
    for (int c = labelStart; c <= vis.lastColumn; c += 5) {
        const std::string_view label = grid.Cell(c, 0);
        if (label.empty()) continue;
        const CellRect r = layout_.CellAt(c, 0);
        painter.drawText(QRect(r.left + 1, r.top, 5 * layout_.ColumnPitch() - 1, r.bottom - r.top),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromLatin1(label.data(), static_cast<int>(label.size())));
    }

    // Track backgrounds: white, then every fifth column shaded, then the selected cells black.
    if (vis.lastRow >= vis.firstRow) {
        for (int row = vis.firstRow; row <= vis.lastRow; ++row) {
            const CellRect first = layout_.CellAt(vis.firstColumn, row);
            painter.fillRect(QRect(first.left, first.top, gridRight - first.left, layout_.RowHeight()), Qt::white);
        }
        for (int c = labelStart; c <= vis.lastColumn; c += 5) {
            if (c < vis.firstColumn) continue;
            const CellRect r = layout_.CellAt(c, vis.firstRow);
            painter.fillRect(QRect(r.left, tracksTop, r.right - r.left, tracksBottom - tracksTop),
                             ToQColor(colour::FifthColumn));
        }
        // Vertical grid lines cross the white rows.
        painter.setPen(ToQColor(colour::GridLine));
        for (int c = vis.firstColumn; c <= vis.lastColumn; ++c) {
            const int x = layout_.CellAt(c, 0).right;
            painter.drawLine(x, tracksTop, x, tracksBottom);
        }
        const int selTop = std::max(selection_.Top(), vis.firstRow);
        const int selBottom = std::min(selection_.Bottom(), vis.lastRow);
        const int selLeft = std::max(selection_.Left(), vis.firstColumn);
        const int selRight = std::min(selection_.Right(), vis.lastColumn);
        if (selTop <= selBottom && selLeft <= selRight) {
            for (int row = selTop; row <= selBottom; ++row) {
                for (int c = selLeft; c <= selRight; ++c) {
                    if (selection_.IsFocused(c, row)) continue;
                    const CellRect r = layout_.CellAt(c, row);
                    painter.fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), Qt::black);
                }
            }
        }

        // Node shapes, blitted from one prepared picture per look of a cell.
        for (int row = vis.firstRow; row <= vis.lastRow; ++row) {
            for (int c = vis.firstColumn; c <= vis.lastColumn; ++c) {
                const CellCode code = grid.Code(c, row);
                if (code.Empty()) continue;
                const bool selectedOnly = selection_.Contains(c, row) && !selection_.IsFocused(c, row);
                const CellPaint plan = PlanCell(code.Text(), c, selectedOnly);
                if (!plan.node) continue;
                const CellRect r = layout_.CellAt(c, row);
                painter.drawImage(r.left, r.top, CellSprite(code.First(), plan));
            }
        }

        // The focused cell's dotted frame.
        if (selection_.focusRow >= vis.firstRow && selection_.focusRow <= vis.lastRow &&
            selection_.focusColumn >= vis.firstColumn && selection_.focusColumn <= vis.lastColumn) {
            const CellRect r = layout_.CellAt(selection_.focusColumn, selection_.focusRow);
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
            painter.drawRect(Outline(r.left, r.top, r.right, r.bottom));
        }
    }

    // The current frame: a pink box in the header, a red line through the tracks.
    const int frame = static_cast<int>(RoundHalfEven(movie_->CurrentFrame));
    if (frame >= vis.firstColumn && frame <= vis.lastColumn) {
        const CellRect h = layout_.CellAt(frame, 0);
        painter.setPen(ToQColor(colour::CurrentFramePen));
        painter.setBrush(ToQColor(colour::CurrentFrameHeader));
        painter.drawRect(Outline(h.left, h.top + 1, h.right, h.bottom - 1));
        if (tracksBottom > tracksTop) painter.drawLine(h.left + 4, tracksTop, h.left + 4, tracksBottom - 1);
    }
    painter.setBrush(Qt::NoBrush);
}

const QImage& TimelineGridView::CellSprite(char code, const CellPaint& plan) {
    namespace colour = timeline_colour;
    const int key = (static_cast<unsigned char>(code) << 3) | (plan.note ? 4 : 0) | static_cast<int>(plan.background);
    auto found = sprites_.find(key);
    if (found != sprites_.end()) return found->second;
    const int w = layout_.ColumnWidth();
    const int h = layout_.RowHeight();
    QImage sprite(w, h, QImage::Format_RGB32);
    switch (plan.background) {
        case CellPaint::Background::Selected: sprite.fill(Qt::black); break;
        case CellPaint::Background::FifthColumn: sprite.fill(ToQColor(colour::FifthColumn)); break;
        case CellPaint::Background::White: sprite.fill(Qt::white); break;
    }
    QPainter p(&sprite);
    p.setPen(Qt::black);
    p.setBrush(ToQColor(plan.fill));
    p.drawRect(Outline(0, 1, w, h - 1));
    p.setBrush(Qt::white);
    if (plan.mark == CellPaint::Mark::HeadEllipse) {
        p.drawEllipse(Outline(2, 9, w - 2, h - 4));
    } else {
        p.drawLine(2, 9, w - 2, 9);
    }
    if (plan.note) {
        p.setBrush(ToQColor(colour::NoteMark));
        p.drawRect(Outline(w - 5, 1, w, 6));
    }
    p.end();
    return sprites_.emplace(key, std::move(sprite)).first->second;
}

bool TimelineGridView::CellUnder(const QPoint& pos, int& column, int& row) const {
    if (movie_ == nullptr) return false;
    return layout_.HitTest(pos.x(), pos.y(), movie_->strTimeline.ColumnCount(), movie_->strTimeline.RowCount(),
                           column, row);
}

void TimelineGridView::SelectCell(int column, int row) {
    selection_.Start(column, row);
    PublishSelection();
    viewport()->update();
    emit cellSelected(column, row);
}

void TimelineGridView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    int column = 0, row = 0;
    if (event->button() != Qt::LeftButton || !CellUnder(event->position().toPoint(), column, row) || row == 0) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    SelectCell(column, row);
}

void TimelineGridView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return;
    int column = 0, row = 0;
    QPoint pos = event->position().toPoint();
    pos.setY(std::max(pos.y(), layout_.RowPitch()));
    if (!CellUnder(pos, column, row)) return;
    if (column != selection_.otherColumn || row != selection_.otherRow) {
        selection_.Extend(column, row);
        PublishSelection();
        viewport()->update();
    }
    if (event->buttons() == Qt::LeftButton && event->modifiers() == Qt::NoModifier) {
        emit selectionDragged(selection_.Width());
    }
}

void TimelineGridView::keyPressEvent(QKeyEvent* event) {
    if (movie_ == nullptr) return;
    int column = selection_.focusColumn;
    int row = selection_.focusRow;
    switch (event->key()) {
        case Qt::Key_Left: --column; break;
        case Qt::Key_Right: ++column; break;
        case Qt::Key_Up: --row; break;
        case Qt::Key_Down: ++row; break;
        case Qt::Key_Home: column = 0; break;
        case Qt::Key_End: column = movie_->strTimeline.ColumnCount() - 1; break;
        default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    if (!movie_->strTimeline.Contains(column, row) || row == 0) return;
    const int whole = WholeVisibleColumns();
    if (column < layout_.FirstColumn()) horizontalScrollBar()->setValue(column);
    if (column >= layout_.FirstColumn() + whole) horizontalScrollBar()->setValue(column - whole + 1);
    const int wholeRows = layout_.WholeTrackRows(viewport()->height());
    if (row < layout_.FirstTrackRow()) verticalScrollBar()->setValue(row - 1);
    if (row >= layout_.FirstTrackRow() + wholeRows) verticalScrollBar()->setValue(row - wholeRows);
    SelectCell(column, row);
}

void TimelineGridView::contextMenuEvent(QContextMenuEvent* event) { emit contextMenuAt(event->globalPos()); }

bool TimelineGridView::viewportEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::ToolTip:
            if (!noteHint_.isEmpty()) {
                QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), noteHint_, viewport());
            }
            return true;
        case QEvent::Leave:
            // Leaving the timeline switches the note hint off.
            SetNoteHint(QString(), false);
            break;
        case QEvent::MouseButtonRelease: dragging_ = false; break;
        default: break;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

}  // namespace kinoloop
