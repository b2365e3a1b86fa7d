#pragma once
// `TfrmNote`: the small window in which a node's note is typed.
#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace kinoloop {

// The memo's text as stored: "?", "|" and ":" removed, each line break turned into "?".
QString NoteFromMemo(const QString& memoText);

class TfrmNote : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxLength = 120;

    explicit TfrmNote(QWidget* parent = nullptr);

    // `EditNote`: shows the window over the others with the text (trimmed), waits until "Ok" hides it while the
    // rest of the program keeps running, and returns the note as stored.
    QString EditNote(const QString& text);

    QPlainTextEdit* Memo() const { return txtNote_; }
    QPushButton* OkButton() const { return btnOk_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Ok();

    QPlainTextEdit* txtNote_;
    QPushButton* btnOk_;
};

}  // namespace kinoloop
