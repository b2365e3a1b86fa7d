#pragma once
// `TfrmMsgBox`: the program's one message box. A request shows it topmost but not modal and waits, serving
// events, until a button records the answer; a request made while another waits takes over the same window and
// both return the next answer.
#include <QDialog>

class QLabel;
class QPushButton;

namespace kinoloop {

class TfrmMsgBox : public QDialog {
    Q_OBJECT
public:
    explicit TfrmMsgBox(QWidget* parent = nullptr);

    // `ShowMsgBox`: icon 'I', 'X' or 'E' (other letters keep the last picture), buttons 'O', 'Y' or 'C'.
    char Ask(char icon, char buttons, const QString& caption, const QString& text);

    char Answer() const { return answer_; }
    bool Pending() const { return answer_ == '?'; }
    QPushButton* LeftButton() const { return btnYes_; }
    QPushButton* RightButton() const { return btnNo_; }
    QLabel* TextLabel() const { return lblStatus_; }
    char PictureLetter() const { return pictureLetter_; }

    // Answers given when a request is closed by the title-bar box: the set's "no" answer.
    static char CloseAnswer(char buttons);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Record(bool left);

    QLabel* imgStatus_;
    QLabel* lblStatus_;
    QPushButton* btnYes_;
    QPushButton* btnNo_;
    char buttons_ = 'O';
    char answer_ = 'O';
    char pictureLetter_ = 'I';
    bool placed_ = false;
};

}  // namespace kinoloop
