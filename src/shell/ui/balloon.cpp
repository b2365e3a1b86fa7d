#include "shell/ui/balloon.h"

#include <QApplication>
#include <QLabel>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

namespace kinoloop {

BalloonPresenter::BalloonPresenter(QWidget* mainWindow, bool forceToast) : QObject(mainWindow), mainWindow_(mainWindow) {
    if (!forceToast && QSystemTrayIcon::isSystemTrayAvailable()) {
        tray_ = new QSystemTrayIcon(mainWindow->windowIcon(), this);
        tray_->setToolTip("Kinoloop 2");
        tray_->show();
    }
    toastTimer_ = new QTimer(this);
    toastTimer_->setSingleShot(true);
    connect(toastTimer_, &QTimer::timeout, this, [this] {
        if (toast_ != nullptr) toast_->hide();
    });
}

QLabel* BalloonPresenter::Toast() const { return toast_ != nullptr && toast_->isVisible() ? toast_ : nullptr; }

void BalloonPresenter::Show(const QString& title, const QString& text, int kind, int displayMs) {
    lastTitle_ = title.left(kTitleLimit);
    lastText_ = QString(text).replace("\r\n", "\n").left(kTextLimit);
    if (tray_ != nullptr) {
        tray_->showMessage(lastTitle_, lastText_,
                           kind == 1 ? QSystemTrayIcon::Critical : QSystemTrayIcon::Information, displayMs);
    } else {
        if (toast_ == nullptr) {
            toast_ = new QLabel(mainWindow_);
            toast_->setObjectName("balloonToast");
            toast_->setWordWrap(true);
            toast_->setMargin(8);
            toast_->setAttribute(Qt::WA_TransparentForMouseEvents);
        }
        const bool error = kind == 1;
        toast_->setStyleSheet(QString("QLabel { background: %1; border: 1px solid #555; border-radius: 6px; }")
                                  .arg(error ? "#ffd6d6" : "#ffffe1"));
        toast_->setText(QString("<b>%1</b><br>%2").arg(lastTitle_.toHtmlEscaped(),
                                                        lastText_.toHtmlEscaped().replace("\n", "<br>")));
        PlaceToast();
        toast_->show();
        toast_->raise();
        toastTimer_->start(displayMs);
    }
    mainWindow_->activateWindow();
}

void BalloonPresenter::PlaceToast() {
    toast_->setFixedWidth(320);
    toast_->adjustSize();
    toast_->move(mainWindow_->width() - toast_->width() - 16, 40);
}

}  // namespace kinoloop
