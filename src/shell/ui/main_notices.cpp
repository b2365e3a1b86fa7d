#include "shell/ui/main_notices.h"

#include "shell/ui/balloon.h"
#include "shell/ui/tfrm_msg_box.h"

namespace kinoloop {

char MainNotices::ShowMsgBox(char icon, char buttons, const std::string& caption, const std::string& text) {
    return box_->Ask(icon, buttons, QString::fromStdString(caption), QString::fromStdString(text));
}

void MainNotices::ShowBalloon(const std::string& title, const std::string& text, BalloonKind kind, int displayMs) {
    balloons_->Show(QString::fromStdString(title), QString::fromStdString(text), static_cast<int>(kind), displayMs);
}

}  // namespace kinoloop
