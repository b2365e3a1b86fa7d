// Builds a movie with every node kind, notes and a selection in the real main window, and saves screenshots of
// the whole screen: the main window, the context menu open at the hot-moment conversions, then the message box
// over the window. Run under an X server (scripts/screenshots.sh).
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <deque>
#include <fstream>

#include "link/event_wait.h"
#include "model/ui/node_properties_panel.h"
#include "model/ui/tfrm_note.h"
#include "model/ui/timeline_context_menu.h"
#include "model/ui/timeline_editor.h"
#include "model/ui/timeline_grid_view.h"
#include "shell/notices.h"
#include "shell/program_folder.h"
#include "shell/ui/tfrm_main.h"
#include "shell/ui/tfrm_msg_box.h"

using namespace kinoloop;

namespace {

void Settle(int ms) { ServeEventsFor(std::chrono::milliseconds(ms)); }

bool Save(const QString& file) {
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    const bool ok = shot.save(file);
    std::printf("%s %s\n", ok ? "saved" : "FAILED", qPrintable(file));
    return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(out);
    EnsureProgramFolders();
    {
        std::ofstream ini(OptFolder() / "settings.ini");
        ini << "[settings]\nfirstrun=0\nprompts=0\ntimeline=10\n[insim]\nlocalport=47011\nremoteport=47010\n";
    }
    MainOptions options;
    options.hotKey = false;
    options.forceToast = true;
    TfrmMain window(options);
    window.show();
    Settle(600);

    // Answers the questions the commands ask: the replay spans the timeline.
    TfrmMsgBox* box = window.windows().frmMsgBox;
    std::deque<char> answers{'Y'};
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        if (!box->isVisible() || !box->Pending() || answers.empty()) return;
        const char answer = answers.front();
        answers.pop_front();
        QTest::mouseClick(answer == 'N' ? box->RightButton() : box->LeftButton(), Qt::LeftButton);
    });
    answerer.start(10);

    TimelineEditor* editor = window.editor();
    TimelineContextMenu* menu = editor->ContextMenu();
    const auto select = [&](int column, int row) {
        GridSelection selection;
        selection.Start(column, row);
        editor->Timeline()->SetSelection(selection);
        editor->SelectCell(column, row);
    };
    const auto range = [&](int from, int to, int row) {
        select(from, row);
        GridSelection selection;
        selection.Start(from, row);
        selection.Extend(to, row);
        editor->Timeline()->SetSelection(selection);
    };
    const auto note = [&](int column, int row, const char* text) {
        select(column, row);
        QTimer::singleShot(50, [&window, text] {
            window.windows().frmNote->Memo()->setPlainText(text);
            QTest::mouseClick(window.windows().frmNote->OkButton(), Qt::LeftButton);
        });
        menu->AddNote1->trigger();
    };
    auto* addTrack = window.findChild<QObject*>("btnAddRow");
    for (int i = 0; i < 5; ++i) QMetaObject::invokeMethod(addTrack, "click");
    Movie& movie = window.movie();
    const char* names[] = {"Replay", "Cameras", "Scripts", "Effects", "Sound", "Moments"};
    for (int row = 1; row <= 6; ++row) movie.strTracks.SetCell(0, row, names[row - 1]);

    select(0, 1);
    menu->AddReplay1->trigger();
    select(3, 1);
    menu->AddReplayStart1->trigger();
    select(5, 2);
    menu->AddCamera1->trigger();
    range(5, 24, 2);
    menu->DistributeOverSelectedRange1->trigger();
    select(30, 2);
    menu->AddCamera1->trigger();
    range(30, 44, 2);
    menu->DistributeOverSelectedRange1->trigger();
    note(30, 2, "Slow orbit\naround the leader");
    select(12, 3);
    menu->AddScript1->trigger();
    select(20, 4);
    menu->AddEffect1->trigger();
    answers.push_back('Y');
    range(20, 27, 4);
    menu->DistributeOverSelectedRange1->trigger();
    select(8, 5);
    menu->AddSound1->trigger();
    range(8, 40, 5);
    menu->DistributeOverSelectedRange1->trigger();
    note(8, 5, "Engine sound");
    MomentNode moment;
    moment.column = 50;
    moment.row = 6;
    moment.length = 6;
    movie.AddMomentRecord(moment);
    movie.strTimeline.SetCell(50, 6, "H");
    for (int c = 51; c < 56; ++c) movie.strTimeline.SetCell(c, 6, "h");
    select(65, 3);
    menu->AddMovieStop1->trigger();
    movie.CurrentFrame = 36;
    window.AddTimeMarker();
    movie.CurrentFrame = 47;
    window.AddTimeMarker();

    // The camera selected, a range selected beside it, the current frame between.
    select(30, 2);
    GridSelection dragged;
    dragged.Start(46, 4);
    dragged.Extend(58, 4);
    editor->Timeline()->SetSelection(dragged);
    movie.CurrentFrame = 36;
    editor->RefreshGrids();
    window.ShowFrameInfo();
    Settle(800);
    bool ok = Save(out + "/main_window.png");

    // The context menu on the hot moment, open at "Convert Selected Hot Moment to..." > "Default LFS Camera...".
    select(50, 6);
    const QPoint at = editor->Timeline()->viewport()->mapToGlobal(QPoint(200, 120));
    menu->popup(at);
    Settle(200);
    QMenu* convert = menu->ConvertHotmomentto1;
    menu->setActiveAction(convert->menuAction());
    const QRect item = menu->actionGeometry(convert->menuAction());
    convert->popup(menu->mapToGlobal(QPoint(item.right(), item.top())));
    Settle(200);
    QMenu* cameras = menu->ConvertSelectedItems.DefaultLFSCamera;
    convert->setActiveAction(cameras->menuAction());
    const QRect inner = convert->actionGeometry(cameras->menuAction());
    cameras->popup(convert->mapToGlobal(QPoint(inner.right(), inner.top())));
    Settle(400);
    ok = Save(out + "/context_menu.png") && ok;
    cameras->close();
    convert->close();
    menu->close();
    Settle(200);

    QTimer::singleShot(400, [&] {
        ok = Save(out + "/message_box.png") && ok;
        QTest::mouseClick(box->RightButton(), Qt::LeftButton);
    });
    window.notices().AskYes("Would you like to reset Live for Speed back to the main screen?");
    return ok ? 0 : 1;
}
