#pragma once
// Notices for tests: answers message boxes from a queue and records every call.
#include <deque>
#include <string>
#include <vector>

#include "shell/notices.h"

namespace kinoloop::testing {

class ScriptedNotices : public Notices {
public:
    struct MsgBox {
        char icon;
        char buttons;
        std::string caption;
        std::string text;
    };
    struct Balloon {
        std::string title;
        std::string text;
        BalloonKind kind;
        int displayMs;
    };

    // Answers given to the next message boxes in order; when the queue is empty an "O" box answers 'O' and
    // any question fails the test by answering '?', which no caller accepts.
    void Answer(char answer) { answers_.push_back(answer); }

    char ShowMsgBox(char icon, char buttons, const std::string& caption, const std::string& text) override;
    void ShowBalloon(const std::string& title, const std::string& text, BalloonKind kind, int displayMs) override;

    std::vector<MsgBox> boxes;
    std::vector<Balloon> balloons;
    std::size_t UnusedAnswers() const { return answers_.size(); }
    // Text of the last message box, "" when none was shown.
    std::string LastText() const { return boxes.empty() ? std::string() : boxes.back().text; }

private:
    std::deque<char> answers_;
};

}  // namespace kinoloop::testing
