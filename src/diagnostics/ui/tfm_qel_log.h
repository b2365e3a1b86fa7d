#pragma once
// `TfmQELLog`: shows a copy of the log's entries, taken when it opens; "Close" hides it.
#include <QDialog>

#include "diagnostics/log_file.h"

class QPlainTextEdit;
class QPushButton;

namespace kinoloop {

class TfmQELLog : public QDialog, public LogViewer {
    Q_OBJECT
public:
    // `title` is the application's title when the log starts; the window adds " - Log".
    explicit TfmQELLog(const QString& title, QWidget* parent = nullptr);

    void ShowText(const std::string& text) override;

    QPlainTextEdit* memLog() const { return memLog_; }
    QPushButton* btnClose() const { return btnClose_; }

private:
    QPlainTextEdit* memLog_;
    QPushButton* btnClose_;
};

}  // namespace kinoloop
