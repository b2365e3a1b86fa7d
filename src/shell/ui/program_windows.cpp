#include "shell/ui/program_windows.h"

#include "model/ui/tfrm_note.h"
#include "playback/ui/tfrm_debug.h"
#include "shell/ui/tfrm_hot_moments.h"
#include "shell/ui/tfrm_msg_box.h"

namespace kinoloop {
namespace {

QDialog* Shell(QWidget* main, const char* name, const char* caption, QSize size) {
    auto* window = new QDialog(main, Qt::Window);
    window->setObjectName(name);
    window->setWindowTitle(caption);
    window->setModal(false);
    window->resize(size);
    return window;
}

}  // namespace

QList<QWidget*> ProgramWindows::All() const {
    return {frmSetup, frmOpenSave, frmAbout, frmMsgBox, frmScripts, frmLibrary, frmHotMoments, frmPreview, frmDebug,
            frmNote};
}

ProgramWindows CreateProgramWindows(QWidget* main) {
    ProgramWindows w;
    w.frmSetup = Shell(main, "frmSetup", "Kinoloop - Setup", {520, 420});
    w.frmOpenSave = Shell(main, "frmOpenSave", "Kinoloop", {560, 400});
    w.frmAbout = Shell(main, "frmAbout", "Kinoloop - About", {420, 320});
    w.frmMsgBox = new TfrmMsgBox(main);
    w.frmScripts = Shell(main, "frmScripts", "Kinoloop - Script Editor", {720, 520});
    w.frmLibrary = Shell(main, "frmLibrary", "Node Library", {420, 480});
    w.frmHotMoments = new TfrmHotMoments(main);
    w.frmPreview = Shell(main, "frmPreview", "Kinoloop - Effects Preview", {560, 440});
    w.frmDebug = new TfrmDebug(main);
    w.frmNote = new TfrmNote(main);
    return w;
}

void ShowOnTop(QWidget* window) {
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace kinoloop
