#pragma once
// The ten windows beside the main window. They are created once at start, in the program's order, and shown
// and hidden, never re-created. The windows that later parts of the program fill start as plain shells with
// their captions; their owners replace the shell's content.
#include <QDialog>

namespace kinoloop {

class TfrmMsgBox;
class TfrmNote;
class TfrmHotMoments;

struct ProgramWindows {
    QDialog* frmSetup = nullptr;
    QDialog* frmOpenSave = nullptr;
    QDialog* frmAbout = nullptr;
    TfrmMsgBox* frmMsgBox = nullptr;
    QDialog* frmScripts = nullptr;
    QDialog* frmLibrary = nullptr;
    TfrmHotMoments* frmHotMoments = nullptr;
    QDialog* frmPreview = nullptr;
    QDialog* frmDebug = nullptr;
    TfrmNote* frmNote = nullptr;

    // In creation order (the main window is first and not among them).
    QList<QWidget*> All() const;
};

ProgramWindows CreateProgramWindows(QWidget* mainWindow);

// Shows a secondary window over the others (several are topmost when shown).
void ShowOnTop(QWidget* window);

}  // namespace kinoloop
