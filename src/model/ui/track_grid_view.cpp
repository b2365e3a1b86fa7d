#include "model/ui/track_grid_view.h"

#include <QHeaderView>
#include <QScrollBar>

#include "model/movie.h"
#include "model/timeline_layout.h"
#include "model/ui/node_pictures.h"
#include "model/ui/timeline_grid_view.h"

namespace kinoloop {

TrackGridView::TrackGridView(QWidget* parent) : QTableWidget(parent) {
    setObjectName("strTracks");
    setColumnCount(3);
    setHorizontalHeaderLabels({QString::fromLatin1(TrackGrid::kHeader), QString(), QString()});
    verticalHeader()->hide();
    const TimelineLayout layout;
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(layout.RowPitch());
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setFixedHeight(layout.RowPitch());
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    horizontalHeader()->setSectionResizeMode(1, QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(2, QHeaderView::Fixed);
    horizontalHeader()->resizeSection(1, 18);
    horizontalHeader()->resizeSection(2, 18);
    horizontalHeader()->setSectionsClickable(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setIconSize(QSize(12, 12));

    connect(this, &QTableWidget::cellPressed, this, [this](int row, int column) { emit trackClicked(row + 1, column); });
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (refreshing_ || movie_ == nullptr || item->column() != 0) return;
        movie_->strTracks.SetCell(0, item->row() + 1, item->text().toStdString());
        emit trackRenamed(item->row() + 1);
    });
}

void TrackGridView::SetMovie(Movie* movie) {
    movie_ = movie;
    Refresh();
}

void TrackGridView::Refresh() {
    if (movie_ == nullptr) return;
    refreshing_ = true;
    const int first = verticalScrollBar()->value();
    const int tracks = movie_->strTracks.RowCount() - 1;
    setRowCount(tracks);
    for (int row = 1; row <= tracks; ++row) {
        QTableWidgetItem* name = item(row - 1, 0);
        if (name == nullptr) {
            name = new QTableWidgetItem;
            setItem(row - 1, 0, name);
        }
        name->setText(QString::fromStdString(movie_->strTracks.At(row).name));
        for (int column = 1; column <= 2; ++column) {
            if (item(row - 1, column) == nullptr) {
                auto* picture = new QTableWidgetItem;
                // Only the name may become the current cell.
                picture->setFlags(Qt::ItemIsEnabled);
                setItem(row - 1, column, picture);
            }
        }
    }
    refreshing_ = false;
    RefreshPictures();
    verticalScrollBar()->setValue(first);
}

void TrackGridView::RefreshPictures() {
    if (movie_ == nullptr) return;
    refreshing_ = true;
    static const QIcon current(CurrentRowPicture());
    static const QIcon lock(LockPicture());
    for (int row = 1; row < movie_->strTracks.RowCount() && row - 1 < rowCount(); ++row) {
        if (QTableWidgetItem* picture = item(row - 1, 1)) {
            picture->setIcon(row == movie_->SelTrack ? current : QIcon());
        }
        if (QTableWidgetItem* locked = item(row - 1, 2)) {
            locked->setIcon(movie_->strTracks.IsLocked(row) ? lock : QIcon());
        }
    }
    refreshing_ = false;
}

void TrackGridView::LinkScrolling(TimelineGridView* timeline, TrackGridView* tracks) {
    QScrollBar* a = timeline->verticalScrollBar();
    QScrollBar* b = tracks->verticalScrollBar();
    // Each bar copies the other's row position; equal values end the exchange.
    QObject::connect(a, &QScrollBar::valueChanged, b, [b](int value) {
        if (b->value() != value) b->setValue(value);
    });
    QObject::connect(b, &QScrollBar::valueChanged, a, [a](int value) {
        if (a->value() != value) a->setValue(value);
    });
}

}  // namespace kinoloop
