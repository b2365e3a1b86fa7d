#include "shell/ui/main_actions.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace kinoloop {
namespace {

QAction* Make(QMenu* menu, QObject* owner, const char* name, const char* caption, const char* shortcut = nullptr) {
    auto* action = new QAction(caption, owner);
    action->setObjectName(name);
    if (shortcut != nullptr) action->setShortcut(QKeySequence(shortcut));
    if (menu != nullptr) menu->addAction(action);
    return action;
}

}  // namespace

MainActions::MainActions(QMainWindow* window) : QObject(window) {
    QMenuBar* bar = window->menuBar();
    QMenu* file = bar->addMenu("File");
    StartNewMovie = Make(file, this, "StartNewMovie1", "Start New Movie", "Ctrl+N");
    OpenMovie = Make(file, this, "OpenMovie1", "Open Movie", "Ctrl+O");
    SaveMovie = Make(file, this, "SaveMovie1", "Save Movie", "Ctrl+S");
    file->addSeparator();
    OpenMoviesFolder = Make(file, this, "OpenMoviesFolder1", "Open Movies Folder");
    file->addSeparator();
    ExitKinoloop = Make(file, this, "ExitKinoloop1", "Exit Kinoloop");

    QMenu* options = bar->addMenu("Options");
    SetupKinoloop = Make(options, this, "SetupKinoloop1", "Setup Kinoloop", "Ctrl+Alt+S");
    options->addSeparator();
    AdjustLFSToFit = Make(options, this, "AdjustLFSToFit1", "Adjust LFS To Fit");
    UnFreezeLFS = Make(options, this, "UnFreezeLiveforSpeed1", "Un-Freeze Live for Speed");
    ReconnectKinoloop = Make(options, this, "ReconnectKinoloop1", "Reconnect Kinoloop");

    QMenu* movie = bar->addMenu("Movie");
    QuickPreview = Make(movie, this, "QuickPreview1", "Quick Preview", "Ctrl+Q");
    PreviewMovie = Make(movie, this, "PreviewMovie1", "Preview Movie", "Ctrl+P");
    DebugMovie = Make(movie, this, "DebugMovie1", "Debug Movie");
    movie->addSeparator();
    RenderMovie = Make(movie, this, "RenderMovie1", "Render Movie");
    StopPlayback = Make(nullptr, this, "StopPlayback1", "Stop Playback");

    QMenu* tools = bar->addMenu("Tools");
    LoadScriptEditor = Make(tools, this, "LoadScriptEditor1", "Load Script Editor", "Ctrl+E");
    NodeLibrary = Make(tools, this, "NodeLibrary1", "Node Library", "Ctrl+L");
    Screenshot = Make(tools, this, "Screenshot1", "Screenshot", "F12");

    HelpMenu = bar->addMenu("Help");
    GettingStartedWizard = Make(HelpMenu, this, "GettingStartedWizard1", "Getting Started Wizard");
    AboutKinoloop = Make(HelpMenu, this, "AboutKinoloop1", "About Kinoloop");

    // Shortcuts work wherever the focus is inside the main window.
    window->addAction(StopPlayback);
}

QWidget* MainActions::BuildToolPanel() {
    auto* panel = new QWidget;
    panel->setObjectName("panTools");
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    const struct {
        const char* name;
        const char* caption;
        QAction* action;
    } buttons[] = {
        {"btnQuickPreview", "Quick Preview", QuickPreview},   {"btnPreview", "Preview Movie", PreviewMovie},
        {"btnDebug", "Debug Movie", DebugMovie},              {"btnRender", "Render Movie", RenderMovie},
        {"btnStopMovie", "Stop Playback", StopPlayback},      {"btnScripts", "Script Editor", LoadScriptEditor},
        {"btnLibrary", "Node Library", NodeLibrary},          {"btnScreenshot", "Screenshot", Screenshot},
        {"btnSetup", "Setup", SetupKinoloop},                 {"btnAdjust", "Adjust LFS", AdjustLFSToFit},
        {"btnReconnect", "Reconnect", ReconnectKinoloop},     {"btnUnfreeze", "Un-Freeze LFS", UnFreezeLFS},
    };
    for (const auto& b : buttons) {
        auto* button = new QToolButton;
        button->setObjectName(b.name);
        button->setText(b.caption);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setFixedSize(86, 40);
        button->setCursor(Qt::PointingHandCursor);
        // The button does exactly what the menu item of the same purpose does.
        QAction* action = b.action;
        connect(button, &QToolButton::clicked, action, &QAction::trigger);
        layout->addWidget(button);
    }
    layout->addStretch(1);
    return panel;
}

}  // namespace kinoloop
