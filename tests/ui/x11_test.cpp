// What needs a real X server: the system-wide F9 hot key sent with xdotool, and the single-instance guard between
// two starts of the program. Run under scripts/test-env.sh (Xvfb); skipped without a display.
#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QTest>
#include <QProcess>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <QDate>
#include <QImage>
#include <QImageReader>
#include <QLocale>
#include <QToolButton>
#include <QWindow>

#include "box_answerer.h"
#include "link/simulator_launcher.h"
#include "render/screenshot.h"
#include "shell/ui/main_actions.h"
#include "shell/ui/status_strip.h"
#include "shell/ui/tfrm_hot_moments.h"
#include "hotmoments/moment_nodes.h"
#include "model/field_text.h"
#include "model/ui/timeline_context_menu.h"
#include "model/ui/timeline_editor.h"
#include "model/ui/timeline_grid_view.h"
#include "playback/wiring/playback_system.h"
#include <QPushButton>
#include <QThread>
#include "link/udp_link.h"
#include "model/movie.h"
#include "platform/global_hot_key.h"
#include "platform/single_instance.h"
#include "platform/x11_window_host.h"
#include "qt_app.h"
#include "shell/program_folder.h"
#include "shell/ui/tfrm_main.h"
#include "temp_folder.h"
#include "test_machine.h"

namespace kinoloop {
namespace {

using testing::EnsureApp;
using testing::FreeUdpPort;
using testing::Platform;
using testing::WaitFor;

void WriteSettings() {
    std::ofstream ini(OptFolder() / "settings.ini");
    ini << "[settings]\nfirstrun=0\nprompts=0\ntimeline=1\n[insim]\nhost=127.0.0.1\nlocalport=" << FreeUdpPort()
        << "\nremoteport=" << FreeUdpPort() << "\n";
}

// On a bare X server the input focus may be None, and then no key reaches anybody.
void FocusPointerRoot() {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11->connection();
    xcb_set_input_focus(connection, XCB_INPUT_FOCUS_POINTER_ROOT, XCB_INPUT_FOCUS_POINTER_ROOT, XCB_CURRENT_TIME);
    xcb_flush(connection);
}

bool Xdotool(const QStringList& arguments) { return QProcess::execute("xdotool", arguments) == 0; }

// A main window of a test: balloons as in-window toasts, and no F9 grab on the X server the tests share.
MainOptions QuietOptions() {
    MainOptions options;
    options.forceToast = true;
    options.hotKey = false;
    return options;
}

// A main window on fresh settings in a program folder of its own, shown until the X server has exposed it.
struct ShownMainWindow {
    ShownMainWindow() : window(SettingsWritten()) {
        window.show();
        exposed = WaitFor([&] { return window.windowHandle() != nullptr && window.windowHandle()->isExposed(); });
    }
    static MainOptions SettingsWritten() {
        WriteSettings();
        return QuietOptions();
    }
    testing::TempProgramFolder home;
    TfrmMain window;
    bool exposed = false;
};

class X11Test : public ::testing::Test {
protected:
    void SetUp() override {
        if (!EnsureApp(Platform::X11)) GTEST_SKIP() << "no X display";
        FocusPointerRoot();
    }
};

int MarkerCount(Movie& movie) {
    int count = 0;
    for (const NodeText& record : movie.nodeStore.Records()) count += record.tag == "MKR";
    return count;
}

TEST_F(X11Test, F9DropsATimeMarkerAtTheCurrentFrame) {
    testing::TempProgramFolder home;
    WriteSettings();
    MainOptions options;
    options.forceToast = true;
    TfrmMain window(options);
    window.show();
    ASSERT_NE(window.hotKey(), nullptr);
    ASSERT_TRUE(window.hotKey()->Registered()) << window.hotKey()->ErrorText().toStdString();
    Movie& movie = window.movie();

    const struct {
        float frame;
        int column;
        int markers;
    } presses[] = {
        {12.5f, 12, 1},  // halves go to the even frame
        {12.5f, 12, 1},  // twice at the same frame: one marker
        {13.5f, 14, 2},
    };
    for (const auto& p : presses) {
        movie.CurrentFrame = p.frame;
        ASSERT_TRUE(Xdotool({"key", "F9"}));
        ASSERT_TRUE(WaitFor([&] { return MarkerCount(movie) == p.markers; }, 3000)) << p.frame;
        const int track = movie.strTracks.FindTrack("Time Markers");
        ASSERT_GT(track, 0);
        EXPECT_EQ(movie.strTimeline.Cell(p.column, track), "M");
    }
    EXPECT_EQ(movie.SelCol, 0) << "the marker leaves the selection alone";

    // With Ctrl held it is another key.
    ASSERT_TRUE(Xdotool({"key", "ctrl+F9"}));
    WaitFor([] { return false; }, 200);
    EXPECT_EQ(MarkerCount(movie), 2);
}

TEST_F(X11Test, AGrabHeldByAnotherProgramIsReported) {
    QProcess holder;
    holder.start(QString::fromLocal8Bit(qgetenv("KINOLOOP_BUILD_DIR")) + "/tests/ui_grab_holder", {});
    ASSERT_TRUE(holder.waitForReadyRead(5000));
    ASSERT_EQ(holder.readLine().trimmed(), "grabbed");
    GlobalHotKey key(GlobalHotKey::kF9);
    EXPECT_FALSE(key.Register());
    EXPECT_EQ(key.ErrorText(), "Another program already uses the hot key F9");
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(5000));
    ASSERT_TRUE(WaitFor([&] { return key.Register(); }, 2000)) << "free again once the other program let go";
}

TEST_F(X11Test, ASecondInstanceAsksTheFirstToComeForward) {
    const QString name = QString("kl-test-%1").arg(QCoreApplication::applicationPid());
    SingleInstance first(name);
    ASSERT_TRUE(first.Claim());
    int raised = 0;
    QObject::connect(&first, &SingleInstance::raiseRequested, [&] { ++raised; });
    SingleInstance second(name);
    EXPECT_FALSE(second.Claim());
    EXPECT_TRUE(WaitFor([&] { return raised == 1; }));
}

TEST_F(X11Test, ASecondStartOfTheProgramEndsAndRaisesTheFirst) {
    testing::TempProgramFolder home;
    WriteSettings();
    const QString program = QString::fromLocal8Bit(qgetenv("KINOLOOP_BUILD_DIR")) + "/bin/kinoloop";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("KINOLOOP_INSTANCE", QString("kl-start-test-%1").arg(QCoreApplication::applicationPid()));
    env.insert("KINOLOOP_TOAST", "1");
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(program, {});
    ASSERT_TRUE(first.waitForStarted());
    // The first start's main window is up when xdotool finds it.
    ASSERT_TRUE(WaitFor(
        [&] {
            QProcess search;
            search.start("xdotool", {"search", "--onlyvisible", "--pid", QString::number(first.processId()),
                                     "--name", "^Kinoloop$"});
            search.waitForFinished();
            return !search.readAllStandardOutput().trimmed().isEmpty();
        },
        15000));
    FocusPointerRoot();

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(program, {});
    ASSERT_TRUE(second.waitForFinished(10000)) << "the second start must end by itself";
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    // The first window has taken the input focus (from the pointer root this test gave it). Its window is found
    // by the process it belongs to: its native child windows carry the same name.
    QString focused;
    QString owner;
    EXPECT_TRUE(WaitFor(
        [&] {
            QProcess focus;
            focus.start("xdotool", {"getwindowfocus"});
            focus.waitForFinished();
            focused = QString::fromLocal8Bit(focus.readAllStandardOutput()).trimmed();
            if (focused.isEmpty()) return false;
            QProcess pid;
            pid.start("xdotool", {"getwindowpid", focused});
            pid.waitForFinished();
            owner = QString::fromLocal8Bit(pid.readAllStandardOutput()).trimmed();
            return owner == QString::number(first.processId());
        },
        5000))
        << "the focus is on '" << focused.toStdString() << "' of process '" << owner.toStdString()
        << "', not on the first start's window (process " << first.processId() << ")";
    first.kill();
    first.waitForFinished();
}

TEST_F(X11Test, RunLfsStartsTheSimulatorAndEmbedsItsWindowInThePanel) {
    const char* build = std::getenv("KINOLOOP_BUILD_DIR");
    ASSERT_NE(build, nullptr) << "KINOLOOP_BUILD_DIR names the build folder";
    ASSERT_TRUE(std::filesystem::exists(std::string(build) + "/bin/demosim")) << "demosim is not built";
    testing::TempProgramFolder home;
    const std::string title = "Kinoloop run test " + std::to_string(getpid());
    setenv("DEMOSIM_TITLE", title.c_str(), 1);
    {
        std::ofstream ini(OptFolder() / "settings.ini");
        ini << "[settings]\nfirstrun=0\nprompts=0\ntimeline=1\nlfspath=" << build
            << "/bin/\nexeoverride=demosim\nwindowname=" << title << "\n[insim]\nhost=127.0.0.1\nlocalport="
            << FreeUdpPort() << "\nremoteport=" << FreeUdpPort() << "\n";
    }
    const MainOptions options = QuietOptions();
    std::int64_t simulator = 0;
    {
        TfrmMain window(options);
        window.show();
        ASSERT_TRUE(WaitFor([&] { return window.isVisible(); }));
        auto* runPicture = window.findChild<QLabel*>("imgRunLFS");
        ASSERT_NE(runPicture, nullptr);
        QTest::mouseClick(runPicture, Qt::LeftButton);  // returns once the launch has looked for the window
        simulator = window.launcher().LastProcessId();
        EXPECT_GT(simulator, 0);
        const NativeWindow embedded = window.link().state().SimulatorWindow;
        ASSERT_NE(embedded, 0u) << "the simulator's window was not found by its title";
        std::unique_ptr<X11WindowHost> observer = X11WindowHost::Open();
        ASSERT_NE(observer, nullptr);
        EXPECT_EQ(observer->ParentOf(embedded), window.simulatorPanel()->winId());
    }
    // The window was given back to the root before the main window went, so the simulator is still running.
    EXPECT_EQ(::kill(static_cast<pid_t>(simulator), 0), 0) << "the simulator ended with the main window";
    if (simulator > 0) ::kill(static_cast<pid_t>(simulator), SIGTERM);
    unsetenv("DEMOSIM_TITLE");
}

// The panel's corners, where no message box or balloon lies over the panel, are the panel's own black.
bool CornersAreDark(const QImage& picture) {
    const int right = picture.width() - 6;
    const int bottom = picture.height() - 6;
    for (const QPoint point : {QPoint(5, 5), QPoint(right, 5), QPoint(5, bottom), QPoint(right, bottom)}) {
        if (qGray(picture.pixel(point)) > 40) return false;
    }
    return true;
}

TEST_F(X11Test, ScreenshotSavesThePanelAsAJpegInMovAndSaysSo) {
    namespace fs = std::filesystem;
    ShownMainWindow shown;
    ASSERT_TRUE(shown.exposed);
    TfrmMain& window = shown.window;
    testing::BoxAnswerer answerer(window.windows().frmMsgBox);
    QTest::qWait(500);  // the show sequence: maximised, panel placed (a start-up notice is answered "O")
    answerer.texts.clear();
    const auto status = [&] { return window.statusStrip()->lblLastAction->text().toStdString(); };
    const std::string date =
        ScreenshotDatePart(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString());
    const std::string question =
        "Live for Speed doesn't appear to be loaded, do you want to take a screenshot anyway?";

    // F12 with no simulator: the question, then the panel as Mov/<date>_1.jpg (Mov is made again).
    fs::remove_all(MovFolder());
    answerer.Answer('Y');
    window.activateWindow();
    QTest::keyClick(&window, Qt::Key_F12);
    const fs::path first = MovFolder() / (date + "_1.jpg");
    ASSERT_TRUE(WaitFor([&] { return fs::exists(first); })) << status();
    EXPECT_EQ(answerer.texts, std::vector<std::string>{question});
    EXPECT_EQ(status(), "Last Action: Saved screenshot as '" + date + "_1.jpg' in to the Mov folder");
    QImageReader reader(QString::fromStdString(first.string()));
    EXPECT_EQ(reader.format(), "jpeg");
    const QImage picture = reader.read();
    EXPECT_EQ(picture.size(), window.simulatorPanel()->size());
    EXPECT_TRUE(CornersAreDark(picture)) << "the picture is not the black simulator panel";

    // The tool button does what the menu item does; the next picture takes the next number.
    answerer.Answer('Y');
    QTest::mouseClick(window.findChild<QToolButton*>("btnScreenshot"), Qt::LeftButton);
    EXPECT_TRUE(WaitFor([&] { return fs::exists(MovFolder() / (date + "_2.jpg")); })) << status();
    EXPECT_EQ(status(), "Last Action: Saved screenshot as '" + date + "_2.jpg' in to the Mov folder");

    // Answering "N" writes nothing and leaves the status line as it was.
    answerer.Answer('N');
    window.actions()->Screenshot->trigger();
    EXPECT_EQ(answerer.texts.size(), 3u);
    EXPECT_EQ(std::distance(fs::directory_iterator(MovFolder()), fs::directory_iterator()), 2);
    EXPECT_EQ(status(), "Last Action: Saved screenshot as '" + date + "_2.jpg' in to the Mov folder");
    EXPECT_EQ(window.actions()->Screenshot->shortcut(), QKeySequence(Qt::Key_F12));

    // With the simulator's window embedded nothing is asked.
    window.link().state().SimulatorWindow = static_cast<NativeWindow>(window.simulatorPanel()->winId());
    window.actions()->Screenshot->trigger();
    window.link().state().SimulatorWindow = 0;
    EXPECT_EQ(answerer.texts.size(), 3u);
    EXPECT_TRUE(fs::exists(MovFolder() / (date + "_3.jpg")));
}

TEST_F(X11Test, AScreenshotOfAnEarlierRunIsNotReplaced) {
    namespace fs = std::filesystem;
    ShownMainWindow shown;
    ASSERT_TRUE(shown.exposed);
    TfrmMain& window = shown.window;
    testing::BoxAnswerer answerer(window.windows().frmMsgBox);
    QTest::qWait(300);
    const std::string date =
        ScreenshotDatePart(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString());
    std::ofstream(MovFolder() / (date + "_1.jpg")) << "an earlier run's picture";
    answerer.Answer('Y');
    window.actions()->Screenshot->trigger();
    ASSERT_TRUE(WaitFor([&] { return fs::exists(MovFolder() / (date + "_2.jpg")); }));
    std::ifstream earlier(MovFolder() / (date + "_1.jpg"));
    std::string kept;
    std::getline(earlier, kept);
    EXPECT_EQ(kept, "an earlier run's picture");
}

// "/DEBUG" as the first argument writes the log beside the program (the program folder), from the start block
// to the stop block; without it no log is written.
TEST_F(X11Test, TheDebugSwitchWritesTheLogFileBesideTheProgram) {
    namespace fs = std::filesystem;
    const QString program = QString::fromLocal8Bit(qgetenv("KINOLOOP_BUILD_DIR")) + "/bin/kinoloop";
    for (const bool debug : {true, false}) {
        testing::TempProgramFolder home;
        WriteSettings();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KINOLOOP_INSTANCE", QString("kl-debug-test-%1").arg(QCoreApplication::applicationPid()));
        env.insert("KINOLOOP_TOAST", "1");
        env.insert("KINOLOOP_EXIT_WHEN_SHOWN", "1");
        QProcess run;
        run.setProcessEnvironment(env);
        run.start(program, debug ? QStringList{"/DEBUG"} : QStringList{});
        ASSERT_TRUE(run.waitForFinished(30000));
        EXPECT_EQ(run.exitCode(), 0);
        const fs::path log = home.Path() / "kinoloop.log";
        ASSERT_EQ(fs::exists(log), debug);
        if (!debug) continue;
        std::ifstream in(log, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_NE(text.find("# START LOGGING : kinoloop at "), std::string::npos) << text;
        EXPECT_NE(text.find("] TfrmMain::RunStartupSequence\r\n"), std::string::npos) << text;
        EXPECT_NE(text.find("# PROCESS  : " + program.toStdString() + "\r\n"), std::string::npos) << text;
        EXPECT_NE(text.find("# STOP LOGGING at "), std::string::npos) << text;
    }
}

// The whole road of a scan with the demo simulator (headless, on loopback): the scan window starts a quick
// preview from the replay start node at 15 s, where the demo race's third car begins to drift; the car data the
// simulator sends while the movie plays are recorded at the frames they arrive in; the list shows the drift;
// "Add To Timeline" puts it on a track, and the context menu turns it into a TV camera where the car was.
TEST_F(X11Test, AScanOfTheDemoRaceFindsTheDriftAndItBecomesACamera) {
    namespace fs = std::filesystem;
    const QString build = QString::fromLocal8Bit(qgetenv("KINOLOOP_BUILD_DIR"));
    const QString demosim = build + "/bin/demosim";
    ASSERT_TRUE(fs::exists(demosim.toStdString())) << "demosim is not built";
    testing::TempProgramFolder home;
    testing::TempFolder simulatorFolder;
    const QString data = QString::fromStdString(simulatorFolder.Path().string());
    ASSERT_EQ(QProcess::execute(demosim, {"--write-demo-replays", data}), 0);
    const quint16 simulatorPort = FreeUdpPort();
    {
        std::ofstream ini(OptFolder() / "settings.ini");
        ini << "[settings]\nfirstrun=0\nprompts=0\ntimeline=1\nlfspath=" << simulatorFolder.Path().string()
            << "/\n[record]\nfps=25\n[insim]\nhost=127.0.0.1\nlocalport=" << FreeUdpPort()
            << "\nremoteport=" << simulatorPort << "\n";
    }
    QProcess simulator;
    const fs::path simulatorLog = simulatorFolder / "demosim.log";
    simulator.start(demosim, {"--headless", "--insim", QString::number(simulatorPort), "--data", data, "--log",
                              QString::fromStdString(simulatorLog.string())});
    ASSERT_TRUE(simulator.waitForStarted(5000));
    ASSERT_TRUE(WaitFor([&] { return fs::exists(simulatorLog); }, 5000)) << "the simulator did not start";
    QThread::msleep(100);

    const MainOptions options = QuietOptions();
    {
        TfrmMain window(options);
        window.show();
        testing::BoxAnswerer answerer(window.windows().frmMsgBox);
        QTest::qWait(300);
        window.link().handler().SendInSimInit();  // the simulator answers on the port "ISI" names
        QTest::qWait(200);

        // The replay in column 0, the replay start node at frame 375 (15 s), the stop node at frame 450 (18 s).
        Movie& movie = window.movie();
        const auto add = [&movie](const std::string& tag, char head, int column, int row, const std::string& fields) {
            const int id = movie.NextNodeID;
            movie.AppendRecord(tag, column, row,
                               std::to_string(id) + ":" + std::to_string(column) + ":" + std::to_string(row) + ":" +
                                   fields);
            movie.strTimeline.SetCell(column, row, std::string(1, head));
        };
        add("REP", 'R', 0, 1, "1:demo.spr:-1");
        add("STT", 'G', 375, 1, "1:demo.spr:0:1");
        add("STP", 'X', 450, 1, "1");
        window.RefreshTimeline();

        TfrmHotMoments* scan = window.windows().frmHotMoments;
        scan->SetupScan("demo.spr");
        // The track's name comes from the replay file; its picture from Img, when there is one.
        ASSERT_FALSE(scan->TrackName().empty());
        EXPECT_TRUE(scan->imgTrackName->pixmap().isNull());
        QImage picture(87, 71, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        ASSERT_TRUE(picture.save(QString::fromStdString((ImgFolder() / (scan->TrackName() + ".jpg")).string())));
        scan->SetupScan("demo.spr");
        EXPECT_FALSE(scan->imgTrackName->pixmap().isNull());
        answerer.Answer('Y');  // the simulator's window is not embedded here: go on
        answerer.Answer('Y');  // start from the replay start node
        QTest::mouseClick(scan->btnStartScan, Qt::LeftButton);
        PlaybackSystem& playback = window.playback();
        ASSERT_TRUE(WaitFor([&] { return playback.tmrPlay.IsActive(); }, 30000)) << "the movie did not start";
        ASSERT_TRUE(WaitFor([&] { return !playback.tmrPlay.IsActive(); }, 30000)) << "the stop node did not stop it";
        EXPECT_TRUE(scan->ScanRunning()) << "the movie's stop is not the race's end";
        scan->StopScan();
        scan->RefreshMoments();

        TMoments& recorder = scan->moments();
        ASSERT_GT(recorder.SampleCount(), 10u) << "no car data was recorded";
        for (const TMoment& sample : recorder.Samples()) {
            EXPECT_GE(sample.Frame, 374);
            EXPECT_LE(sample.Frame, 451);
        }
        EXPECT_FALSE(recorder.Players().empty()) << "the players of the race were asked for and recorded";
        const std::vector<MomentListRow> rows = scan->ListedRows();
        const auto drift = std::find_if(rows.begin(), rows.end(), [](const MomentListRow& row) {
            return row.Action == "Drift";
        });
        ASSERT_NE(drift, rows.end()) << "the third car's drift was not found";
        EXPECT_EQ(drift->Player1.rfind("Unknown (", 0), std::string::npos) << "the driver has a name";
        EXPECT_EQ(drift->Player2ID, "-1");

        // Onto the timeline, then the first drift node becomes a TV camera where the car was.
        answerer.texts.clear();
        QTest::mouseClick(scan->btnAddToTimeline, Qt::LeftButton);
        EXPECT_EQ(answerer.texts, std::vector<std::string>{kMomentsAdded});
        const int row = movie.strTracks.RowCount() - 1;
        ASSERT_EQ(movie.strTracks.At(row).name, "Hot Moments");
        const int column = std::stoi(drift->Start);
        ASSERT_EQ(movie.strTimeline.Cell(column, row).substr(0, 1), "H");
        GridSelection selection;
        selection.Start(column, row);
        window.editor()->Timeline()->SetSelection(selection);
        window.editor()->SelectCell(column, row);
        // The first node of that cell is the list's first row at that frame: its player is the camera's car.
        const auto first = std::find_if(rows.begin(), rows.end(), [&](const MomentListRow& r) {
            return r.Start == drift->Start;
        });
        window.editor()->ContextMenu()->ConvertSelectedItems.targets[static_cast<int>(ConvertMenuTarget::TvCamera)]
            ->trigger();
        EXPECT_EQ(movie.strTimeline.Cell(column, row), "C");
        const NodeText* camera = movie.nodeStore.Find(column, row);
        ASSERT_NE(camera, nullptr);
        ASSERT_EQ(camera->tag, "CAM");
        const std::vector<std::string> fields = SplitFields(camera->fieldText);
        const TMoment* sample = recorder.FindSample(column);
        ASSERT_NE(sample, nullptr);
        const int plid = std::stoi(first->Player1ID);
        const auto car = std::find_if(sample->Cars.begin(), sample->Cars.end(),
                                      [plid](const TPlayerPos& c) { return c.PLID == plid; });
        ASSERT_NE(car, sample->Cars.end());
        EXPECT_EQ(fields[4], std::to_string(car->X));
        EXPECT_EQ(fields[5], std::to_string(car->Y));
        EXPECT_EQ(fields[6], std::to_string(car->Z));
        EXPECT_EQ(fields[11], "2") << "a TV camera";
        EXPECT_EQ(fields[14], "8192") << "the simulator's own camera kinds override its view";
    }
    simulator.terminate();
    if (!simulator.waitForFinished(3000)) simulator.kill();
}

}  // namespace
}  // namespace kinoloop
