#pragma once
// "Timeline Debug": the list of nodes carried out while Debug Movie is on, with "Clear Log" under it.
#include <QDialog>

#include "playback/ports.h"

class QPushButton;
class QTreeWidget;

namespace kinoloop {

class TfrmDebug : public QDialog, public DebugLog {
    Q_OBJECT
public:
    explicit TfrmDebug(QWidget* parent = nullptr);

    QTreeWidget* lstDebug() const { return lstDebug_; }
    QPushButton* btnClear() const { return btnClear_; }

    // DebugLog: "Id" counts the list's rows from 0.
    void AddRow(const std::string& action, const std::string& track, int frame) override;
    // Shown topmost at its present place and size, or hidden.
    void SetShown(bool shown) override;

private:
    QTreeWidget* lstDebug_;
    QPushButton* btnClear_;
};

}  // namespace kinoloop
