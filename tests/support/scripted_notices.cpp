#include "scripted_notices.h"

namespace kinoloop::testing {

char ScriptedNotices::ShowMsgBox(char icon, char buttons, const std::string& caption, const std::string& text) {
    boxes.push_back({icon, buttons, caption, text});
    if (!answers_.empty()) {
        const char answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    return buttons == buttons::Ok ? 'O' : '?';
}

void ScriptedNotices::ShowBalloon(const std::string& title, const std::string& text, BalloonKind kind,
                                  int displayMs) {
    balloons.push_back({title, text, kind, displayMs});
}

}  // namespace kinoloop::testing
