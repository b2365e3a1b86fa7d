// What needs a real X server: the system-wide F9 hot key sent with xdotool, and the single-instance guard between
// two starts of the program. Run under scripts/test-env.sh (Xvfb); skipped without a display.
#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QTest>
#include <QProcess>
#include <QUdpSocket>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "link/simulator_launcher.h"
#include "link/udp_link.h"
#include "model/movie.h"
#include "platform/global_hot_key.h"
#include "platform/single_instance.h"
#include "platform/x11_window_host.h"
#include "qt_app.h"
#include "shell/program_folder.h"
#include "shell/ui/tfrm_main.h"
#include "temp_folder.h"

namespace kinoloop {
namespace {

using testing::EnsureApp;
using testing::Platform;
using testing::WaitFor;

quint16 FreeUdpPort() {
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

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
    QString windowId;
    ASSERT_TRUE(WaitFor(
        [&] {
            QProcess search;
            search.start("xdotool", {"search", "--onlyvisible", "--pid", QString::number(first.processId()),
                                     "--name", "^Kinoloop$"});
            search.waitForFinished();
            windowId = QString::fromLocal8Bit(search.readAllStandardOutput()).split('\n').first().trimmed();
            return !windowId.isEmpty();
        },
        15000));
    FocusPointerRoot();

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(program, {});
    ASSERT_TRUE(second.waitForFinished(10000)) << "the second start must end by itself";
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    // The first window has taken the input focus.
    EXPECT_TRUE(WaitFor(
        [&] {
            QProcess focus;
            focus.start("xdotool", {"getwindowfocus"});
            focus.waitForFinished();
            return QString::fromLocal8Bit(focus.readAllStandardOutput()).trimmed() == windowId;
        },
        5000));
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
    MainOptions options;
    options.forceToast = true;
    options.hotKey = false;
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

}  // namespace
}  // namespace kinoloop
