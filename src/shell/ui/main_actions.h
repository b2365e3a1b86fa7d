#pragma once
// The main window's commands: the menu bar's items with their shortcuts, and the twelve tool buttons on the left
// edge, each bound to the action of the same purpose.
#include <QObject>

class QAction;
class QMainWindow;
class QMenu;
class QWidget;

namespace kinoloop {

class MainActions : public QObject {
    Q_OBJECT
public:
    explicit MainActions(QMainWindow* window);

    // File
    QAction* StartNewMovie;
    QAction* OpenMovie;
    QAction* SaveMovie;
    QAction* OpenMoviesFolder;
    QAction* ExitKinoloop;
    // Options
    QAction* SetupKinoloop;
    QAction* AdjustLFSToFit;
    QAction* UnFreezeLFS;
    QAction* ReconnectKinoloop;
    // Movie
    QAction* QuickPreview;
    QAction* PreviewMovie;
    QAction* DebugMovie;
    QAction* RenderMovie;
    QAction* StopPlayback;  // tool button only
    // Tools
    QAction* LoadScriptEditor;
    QAction* NodeLibrary;
    QAction* Screenshot;
    // Help
    QMenu* HelpMenu;
    QAction* GettingStartedWizard;
    QAction* AboutKinoloop;

    // `panTools`: the twelve tool buttons, top to bottom.
    QWidget* BuildToolPanel();
};

}  // namespace kinoloop
