// The link against the demo simulator under X: launching, embedding, replay moves and camera polling. The demo
// simulator logs every datagram it receives, so the tests check exactly what Kinoloop sent.
#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QFile>
#include <QUdpSocket>
#include <QWidget>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "link/event_wait.h"
#include "link/replay_control.h"
#include "link/simulator_launcher.h"
#include "link/udp_link.h"
#include "platform/x11_window_host.h"
#include "scripted_notices.h"
#include "temp_folder.h"
#include "time_bar.h"

namespace kinoloop {
namespace {

using namespace std::chrono_literals;

class WidgetsApplication : public ::testing::Environment {
public:
    void SetUp() override {
        if (std::getenv("DISPLAY") != nullptr && QCoreApplication::instance() == nullptr) {
            app_ = new QApplication(argc_, argv_);
        }
    }
    void TearDown() override { delete app_; }

private:
    int argc_ = 1;
    char name_[32] = "link_integration_tests";
    char* argv_[2] = {name_, nullptr};
    QApplication* app_ = nullptr;
};
[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new WidgetsApplication);

quint16 FreePort() {
    QUdpSocket probe;
    probe.bind(QHostAddress::Any, 0);
    return probe.localPort();
}

// One line of the demo simulator's log: "<ms> <replay hundredths> <IN|OUT|NOTE> <TAG> <details>".
struct LogLine {
    long replayTime = 0;
    std::string direction, tag, details;
};

class CountingClock : public FrameClock {
public:
    void Start() override {
        active = true;
        ++starts;
    }
    void Stop() override { active = false; }
    bool IsActive() const override { return active; }
    bool active = false;
    int starts = 0;
};

class CameraPanel : public PropertiesPanel {
public:
    bool CameraPanelVisible() const override { return cameraVisible; }
    bool ReplayPanelVisible() const override { return false; }
    void ShowNodeProperties(char kind) override { cameraVisible = kind == 'C'; }
    void SetPropertiesLabel(const std::string&) override {}
    void ShowTrackName(const std::string&, const std::string&) override {}
    void RefreshReplayStarts() override {}
    bool cameraVisible = false;
};

class LinkIntegrationTest : public ::testing::Test {
protected:
    static constexpr int kFrameExtraWidth = 8;
    static constexpr int kFrameExtraHeight = 50;

    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "DISPLAY is not set: these tests need an X server";
        const char* build = std::getenv("KINOLOOP_BUILD_DIR");
        ASSERT_NE(build, nullptr) << "KINOLOOP_BUILD_DIR names the build folder";
        ASSERT_TRUE(QFile::exists(QString(build) + "/bin/demosim")) << "demosim is not built";

        title = "Kinoloop link test " + std::to_string(getpid());
        logPath = (logFolder / "demosim.log").string();
        setenv("DEMOSIM_LOG", logPath.c_str(), 1);
        setenv("DEMOSIM_TITLE", title.c_str(), 1);

        settings.lfspath = std::string(build) + "/bin/";
        settings.exeoverride = "demosim";
        settings.windowname = title;
        settings.localport = FreePort();
        settings.remoteport = FreePort();
        settings.admin = "secret";
        movie.ResetTimeline(60, 25);

        panelWidget = std::make_unique<QWidget>();
        panelWidget->setAttribute(Qt::WA_NativeWindow);
        panelWidget->resize(512, 384);
        panelWidget->show();
        ServeEventsFor(200ms);
        host = X11WindowHost::Open(panelWidget->winId());
        ASSERT_NE(host, nullptr);

        LinkPorts ports;
        ports.frameClock = &clock;
        ports.panel = &properties;
        link = std::make_unique<UdpLink>(movie, settings, ports);
        ASSERT_EQ(link->Open(), "");
        launcher = std::make_unique<SimulatorLauncher>(link->handler(), notices, host.get());
        launcher->SetFrameExtra(kFrameExtraWidth, kFrameExtraHeight);
        control = std::make_unique<ReplayControl>(link->handler(), notices);
    }

    void TearDown() override {
        if (HasFailure() && !logPath.empty()) {
            // Keep the simulator's log for whoever looks into the failure.
            const std::string kept = "/tmp/kl-link-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".log";
            std::filesystem::copy_file(logPath, kept, std::filesystem::copy_options::overwrite_existing);
            std::cerr << "demo simulator log kept in " << kept << "\n";
        }
        if (launcher) launcher->ReleaseSimulatorWindow();
        if (launcher && launcher->LastProcessId() > 0) kill(static_cast<pid_t>(launcher->LastProcessId()), SIGTERM);
    }

    void Launch() {
        launcher->imgRunLFSClick();
        ASSERT_NE(link->state().SimulatorWindow, 0u) << "the demo simulator's window was not found";
        ASSERT_TRUE(WaitForLog([](const LogLine& l) { return l.direction == "IN" && l.tag == "VER"; }));
    }

    std::vector<LogLine> Log() const {
        std::vector<LogLine> lines;
        std::ifstream in(logPath);
        std::string text;
        while (std::getline(in, text)) {
            std::istringstream fields(text);
            long ms = 0;
            LogLine line;
            fields >> ms >> line.replayTime >> line.direction >> line.tag;
            std::getline(fields, line.details);
            if (!line.details.empty() && line.details[0] == ' ') line.details.erase(0, 1);
            lines.push_back(line);
        }
        return lines;
    }

    bool WaitForLog(const std::function<bool(const LogLine&)>& match, std::chrono::milliseconds limit = 5000ms) {
        return ServeEventsUntil(
                   [&] {
                       for (const LogLine& l : Log())
                           if (match(l)) return true;
                       return false;
                   },
                   {}, limit) == WaitOutcome::Done;
    }

    testing::TempFolder logFolder;
    std::string title, logPath;
    TSettings settings;
    Movie movie;
    std::unique_ptr<QWidget> panelWidget;  // made only when there is a display
    std::unique_ptr<X11WindowHost> host;
    CountingClock clock;
    CameraPanel properties;
    testing::ScriptedNotices notices;
    std::unique_ptr<UdpLink> link;
    std::unique_ptr<SimulatorLauncher> launcher;
    std::unique_ptr<ReplayControl> control;
};

TEST_F(LinkIntegrationTest, LaunchEmbedsTheWindowAtItsPlaceAndAnnouncesTheLink) {
    Launch();
    const NativeWindow window = link->state().SimulatorWindow;
    EXPECT_EQ(host->ParentOf(window), panelWidget->winId());
    const auto inner = host->ScreenRectangle(window);
    const auto outer = host->ScreenRectangle(panelWidget->winId());
    ASSERT_TRUE(inner && outer);
    const WindowRect expected = SimulatorPlacement(512, 384, kFrameExtraWidth, kFrameExtraHeight);
    EXPECT_EQ((WindowRect{inner->x - outer->x, inner->y - outer->y, inner->width, inner->height}), expected);

    EXPECT_TRUE(WaitForLog([&](const LogLine& l) {
        return l.direction == "IN" && l.tag == "ISI" &&
               l.details == "port=" + std::to_string(settings.localport) + " options=59 options2=0 admin=\"secret\"";
    }));
    ASSERT_FALSE(notices.balloons.empty());
    EXPECT_EQ(notices.balloons[0].text, "Loading Live for Speed, Please Wait");

    // A resize of the panel places the window again.
    panelWidget->resize(640, 480);
    ServeEventsFor(100ms);
    launcher->PlaceSimulatorWindow();
    const auto resized = host->ScreenRectangle(window);
    ASSERT_TRUE(resized);
    EXPECT_EQ(resized->width, 640 + kFrameExtraWidth);
    EXPECT_EQ(resized->height, 480 + kFrameExtraHeight - 2 * kFrameExtraWidth);
}

TEST_F(LinkIntegrationTest, MoveToFrame250StepsTheFrozenReplayExactly) {
    Launch();
    EXPECT_EQ(control->LoadReplayAndMove("demo.spr", true, false, 250), MoveResult::Moved);
    EXPECT_TRUE(clock.active);
    EXPECT_GE(clock.starts, 2) << "the first running report starts the clock, and the move ends with it on";
    ASSERT_TRUE(WaitForLog([](const LogLine& l) { return l.direction == "IN" && l.tag == "TMS" && l.details == "0"; }));

    const std::vector<LogLine> log = Log();
    auto load = std::find_if(log.begin(), log.end(), [](const LogLine& l) {
        return l.direction == "IN" && l.tag == "MST" && l.details == "\"/spr demo\"";
    });
    ASSERT_NE(load, log.end()) << "the replay load command";
    auto freeze = std::find_if(load, log.end(), [](const LogLine& l) {
        return l.direction == "IN" && l.tag == "TMS" && l.details == "1";
    });
    ASSERT_NE(freeze, log.end()) << "the first running report freezes the simulator";
    auto thaw = std::find_if(freeze, log.end(), [](const LogLine& l) {
        return l.direction == "IN" && l.tag == "TMS" && l.details == "0";
    });
    ASSERT_NE(thaw, log.end());
    const auto steps = std::count_if(freeze, thaw, [](const LogLine& l) { return l.direction == "IN" && l.tag == "STP"; });
    const auto stepsOf4 = std::count_if(freeze, thaw, [](const LogLine& l) {
        return l.direction == "IN" && l.tag == "STP" && l.details == "4";
    });
    EXPECT_EQ(steps, 250);
    EXPECT_EQ(stepsOf4, 250);
    EXPECT_EQ(thaw->replayTime, 1000) << "the replay stood at 10 s when its time was let run";
    EXPECT_EQ(movie.CurrentFrame, 248);
}

TEST_F(LinkIntegrationTest, PollingWhilePausedWritesTheSimulatorsCameraIntoTheNode) {
    Launch();
    ASSERT_EQ(control->LoadReplayAndMove("demo.spr", false, false, 25), MoveResult::Moved);
    ASSERT_TRUE(WaitForLog([](const LogLine& l) {
        return l.direction == "OUT" && l.tag == "STA" && l.details.find("flags=") == 0 &&
               (std::stoi(l.details.substr(6)) & 4) != 0;
    })) << "the simulator reports itself paused";
    ServeEventsFor(200ms);

    CameraNode node;
    node.fieldOfView = 45;
    node.time = 25;
    movie.SelCol = 40;
    movie.SelRow = 1;
    movie.AddCameraRecord(node);
    movie.txtRecords.Load(movie.FindNodeText(false, 40, 1));
    properties.cameraVisible = true;
    link->Start();

    ASSERT_TRUE(WaitForLog([](const LogLine& l) {
        if (l.direction != "IN" || l.tag != "CPP") return false;
        const auto at = l.details.find("flags=");
        return at != std::string::npos && (std::stoi(l.details.substr(at + 6)) & 8192) != 0;
    })) << "a camera with the view override goes back";
    EXPECT_EQ(movie.txtRecords.Line(field::CamY), "-13107200");
    EXPECT_EQ(movie.txtRecords.Line(field::CamZ), "7864320");
    EXPECT_EQ(movie.txtRecords.Line(field::CamPitch), "5461");
    EXPECT_EQ(movie.txtRecords.Line(field::CamFov), "90");
    EXPECT_EQ(movie.txtRecords.Line(field::CamTime), "25");
    EXPECT_EQ(movie.FindNodeText(false, 40, 1), movie.txtRecords.FieldText());
    link->Stop();
}

TEST_F(LinkIntegrationTest, TheEmbeddedWindowShowsThePausedReplayTimeInItsBar) {
    Launch();
    ASSERT_EQ(control->LoadReplayAndMove("demo.spr", false, false, 50), MoveResult::Moved);
    ASSERT_TRUE(WaitForLog([](const LogLine& l) {
        return l.direction == "OUT" && l.tag == "STA" && (std::stoi(l.details.substr(6)) & 4) != 0;
    }));
    ServeEventsFor(300ms);  // the window repaints after the pause
    long pausedAt = -1;
    for (const LogLine& l : Log()) {
        if (l.direction == "OUT" && l.tag == "STA" && (std::stoi(l.details.substr(6)) & 4) != 0) pausedAt = l.replayTime;
    }
    ASSERT_GE(pausedAt, 200) << "50 frames of 4 hundredths";

    const QImage picture = panelWidget->screen()->grabWindow(panelWidget->winId()).toImage().convertToFormat(QImage::Format_RGB888);
    ASSERT_FALSE(picture.isNull());
    const auto bar = demosim::ReadTimeBar(picture.constBits(), picture.width(), picture.height(),
                                          static_cast<std::size_t>(picture.bytesPerLine()), 3);
    ASSERT_TRUE(bar) << "no time bar in the captured panel";
    EXPECT_EQ(static_cast<long>(bar->hundredths), pausedAt);
}

}  // namespace
}  // namespace kinoloop
