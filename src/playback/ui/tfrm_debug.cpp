#include "playback/ui/tfrm_debug.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kinoloop {

TfrmDebug::TfrmDebug(QWidget* parent) : QDialog(parent) {
    setObjectName("frmDebug");
    setWindowTitle("Timeline Debug");
    setSizeGripEnabled(true);
    resize(420, 400);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    lstDebug_ = new QTreeWidget(this);
    lstDebug_->setObjectName("lstDebug");
    lstDebug_->setRootIsDecorated(false);
    lstDebug_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstDebug_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstDebug_->setHeaderLabels({"Id", "Action", "Track", "Frame"});
    lstDebug_->setColumnWidth(0, 25);
    lstDebug_->setColumnWidth(1, 75);
    lstDebug_->setColumnWidth(2, 95);
    btnClear_ = new QPushButton("Clear Log", this);
    btnClear_->setObjectName("btnClear");
    btnClear_->setFlat(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lstDebug_, 1);
    layout->addWidget(btnClear_);
    connect(btnClear_, &QPushButton::clicked, lstDebug_, &QTreeWidget::clear);
}

void TfrmDebug::AddRow(const std::string& action, const std::string& track, int frame) {
    auto* item = new QTreeWidgetItem(lstDebug_);
    item->setText(0, QString::number(lstDebug_->topLevelItemCount() - 1));
    item->setText(1, QString::fromStdString(action));
    item->setText(2, QString::fromStdString(track));
    item->setText(3, QString::number(frame));
    lstDebug_->scrollToItem(item);
}

void TfrmDebug::SetShown(bool shown) {
    if (!shown) {
        hide();
        return;
    }
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    show();
    raise();
}

}  // namespace kinoloop
