#pragma once
// Answers the program's message box (TfrmMsgBox) in widget tests as a user would.
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <string>
#include <vector>

#include "shell/ui/tfrm_msg_box.h"

namespace kinoloop::testing {

// Answers the message box as a user would: with the queued answers in order ('O' for an "O" box when the
// queue is empty), recording every text it answered.
class BoxAnswerer {
public:
    explicit BoxAnswerer(TfrmMsgBox* box) : box_(box) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start(5);
    }
    void Answer(char answer) { answers_.push_back(answer); }
    std::vector<std::string> texts;

private:
    void Poll() {
        if (!box_->isVisible() || !box_->Pending()) return;
        texts.push_back(box_->TextLabel()->text().toStdString());
        char answer = 'O';
        if (!answers_.empty()) {
            answer = answers_.front();
            answers_.pop_front();
        }
        const bool left = answer == 'Y' || (answer == 'O' && box_->LeftButton()->isVisible());
        QTest::mouseClick(left ? box_->LeftButton() : box_->RightButton(), Qt::LeftButton);
    }
    TfrmMsgBox* box_;
    QTimer timer_;
    std::deque<char> answers_;
};

}  // namespace kinoloop::testing
