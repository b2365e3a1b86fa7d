#pragma once
// `ShowBalloon`: a balloon on the notification-area icon where a tray exists, else a toast in the top right
// corner of the main window. A new balloon replaces the one showing; nothing else hides it before its time.
#include <QObject>
#include <QString>

class QLabel;
class QSystemTrayIcon;
class QTimer;
class QWidget;

namespace kinoloop {

class BalloonPresenter : public QObject {
    Q_OBJECT
public:
    // kind: 1 error, 2 information. forceToast: use the in-window toast even when a tray exists.
    explicit BalloonPresenter(QWidget* mainWindow, bool forceToast = false);

    void Show(const QString& title, const QString& text, int kind, int displayMs);

    bool UsesTray() const { return tray_ != nullptr; }
    // The toast while it shows (null when the tray is used or nothing shows).
    QLabel* Toast() const;
    QString LastTitle() const { return lastTitle_; }
    QString LastText() const { return lastText_; }

    static constexpr int kTitleLimit = 63;
    static constexpr int kTextLimit = 255;

private:
    void PlaceToast();

    QWidget* mainWindow_;
    QSystemTrayIcon* tray_ = nullptr;
    QLabel* toast_ = nullptr;
    QTimer* toastTimer_ = nullptr;
    QString lastTitle_;
    QString lastText_;
};

}  // namespace kinoloop
