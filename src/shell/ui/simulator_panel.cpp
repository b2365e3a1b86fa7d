#include "shell/ui/simulator_panel.h"

#include <QLabel>
#include <QMouseEvent>

namespace kinoloop {

SimulatorPanel::SimulatorPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("panMain");
    setMinimumSize(200, 150);
    // Native as well, so that the X server clips the simulator panel (and the embedded window) to this one.
    setAttribute(Qt::WA_NativeWindow);
    panLFS_ = new QWidget(this);
    panLFS_->setObjectName("panLFS");
    // A native window of its own: the simulator's X11 window is reparented into it.
    panLFS_->setAttribute(Qt::WA_NativeWindow);
    panLFS_->setAutoFillBackground(true);
    QPalette black = panLFS_->palette();
    black.setColor(QPalette::Window, Qt::black);
    panLFS_->setPalette(black);
    panLFS_->resize(512, 384);
    imgRunLFS_ = new QLabel(panLFS_);
    imgRunLFS_->setObjectName("imgRunLFS");
    imgRunLFS_->resize(320, 240);
    imgRunLFS_->setAlignment(Qt::AlignCenter);
    imgRunLFS_->setScaledContents(true);
    imgRunLFS_->setCursor(Qt::PointingHandCursor);
    imgRunLFS_->installEventFilter(this);
}

bool SimulatorPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == imgRunLFS_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        emit runSimulatorClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SimulatorPanel::CentrePanels() {
    // Each halving truncates toward zero, as integer division does.
    panLFS_->move(width() / 2 - panLFS_->width() / 2, height() / 2 - panLFS_->height() / 2);
    imgRunLFS_->move(panLFS_->width() / 2 - imgRunLFS_->width() / 2, panLFS_->height() / 2 - imgRunLFS_->height() / 2);
}

void SimulatorPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit resized();
}

void SimulatorPanel::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    emit clicked();
}

}  // namespace kinoloop
