#pragma once
// The strip under the timeline: frame, format, frame rate, time, the last action, and the track buttons.
#include <QWidget>

class QLabel;
class QToolButton;

namespace kinoloop {

struct FrameInfo;

class StatusStrip : public QWidget {
    Q_OBJECT
public:
    explicit StatusStrip(QWidget* parent = nullptr);
    void ShowFrameInfo(const FrameInfo& info);
    void SetLastAction(const QString& text);

    QLabel* lblCurrFrame;
    QLabel* lblFormat;
    QLabel* lblFPS;
    QLabel* lblTime;
    QLabel* lblLastAction;
    QToolButton* btnAddRow;
    QToolButton* btnDeleteRow;
    QToolButton* btnMoveUp;
    QToolButton* btnMoveDown;
    QToolButton* btnLock;
};

}  // namespace kinoloop
