#pragma once
// `ShowMsgBox` and `ShowBalloon` of the main window: the message-box window and the balloon presenter behind the
// program's Notices interface.
#include "shell/notices.h"

namespace kinoloop {

class BalloonPresenter;
class TfrmMsgBox;

class MainNotices : public Notices {
public:
    MainNotices(TfrmMsgBox* box, BalloonPresenter* balloons) : box_(box), balloons_(balloons) {}
    char ShowMsgBox(char icon, char buttons, const std::string& caption, const std::string& text) override;
    void ShowBalloon(const std::string& title, const std::string& text, BalloonKind kind, int displayMs) override;

private:
    TfrmMsgBox* box_;
    BalloonPresenter* balloons_;
};

}  // namespace kinoloop
