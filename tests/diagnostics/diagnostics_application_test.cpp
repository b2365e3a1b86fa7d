#include <gtest/gtest.h>

#include <QEvent>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "diagnostics/ui/diagnostics.h"
#include "diagnostics/ui/kinoloop_application.h"
#include "diagnostics/ui/tfm_qel_log.h"
#include "temp_folder.h"

namespace kinoloop {
namespace {

namespace fs = std::filesystem;

KinoloopApplication& App() {
    static KinoloopApplication* app = [] {
        if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "diagnostics_ui_tests";
        static char* argv[] = {name, nullptr};
        return new KinoloopApplication(argc, argv);
    }();
    return *app;
}

// Fails at every event it is sent.
class Thrower : public QObject {
public:
    bool event(QEvent*) override {
        ++received;
        if (throwsInt) throw 42;
        throw std::runtime_error("first\nsecond");
    }
    int received = 0;
    bool throwsInt = false;
};

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class DiagnosticsTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        DiagnosticsHooks hooks;
        hooks.log.now = [] { return std::string("09/12/2024 10:11:12"); };
        hooks.message = [this](const std::string& text) { messages.push_back(text); };
        hooks.showException = [this](const ShownException& shown) {
            this->shown.push_back(shown);
            if (onShow) onShow();
        };
        App().SetDiagnostics(
            std::make_unique<Diagnostics>(folder / "kinoloop", folder / "kinoloop.log", hooks));
        thrower.setObjectName("btnBoom");
    }
    void TearDown() override { App().SetDiagnostics(nullptr); }

    Diagnostics& diagnostics() { return *App().diagnostics(); }
    bool Send() {
        QEvent event(QEvent::User);
        return QCoreApplication::sendEvent(&thrower, &event);
    }
    int ExceptEntries() {
        int count = 0;
        for (const std::string& entry : diagnostics().log().Entries())
            count += entry.find("[ EXCEPT ]") != std::string::npos;
        return count;
    }

    testing::TempFolder folder;
    Thrower thrower;
    std::vector<std::string> messages;
    std::vector<ShownException> shown;
    std::function<void()> onShow;
};

TEST_F(DiagnosticsTest, WithDiagnosticsOnAnEscapingExceptionIsLoggedAndShownAndTheProgramGoesOn) {
    diagnostics().SwitchOn("TfrmMain::RunStartupSequence");
    EXPECT_FALSE(Send());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].infos.Type, "std::runtime_error ( std::exception )");
    EXPECT_EQ(shown[0].infos.SenderClass, "QObject");
    EXPECT_EQ(shown[0].infos.SenderName, "btnBoom");
    EXPECT_TRUE(shown[0].logging);
    // The report is on disk at once, indented under the ENTER entry, the message's second line aligned.
    const std::string file = ReadFile(folder / "kinoloop.log");
    EXPECT_NE(file.find("[ ENTER  ] TfrmMain::RunStartupSequence\r\n"), std::string::npos);
    const std::string prefix = "# 09/12/2024 10:11:12 [ EXCEPT ] ";
    const std::string blanks(prefix.size(), ' ');
    EXPECT_NE(file.find(prefix + "  Type         : std::runtime_error ( std::exception )\r\n"),
              std::string::npos)
        << file;
    EXPECT_NE(file.find(blanks + "  Sender Name  : btnBoom\r\n"), std::string::npos) << file;
    EXPECT_NE(
        file.find(blanks + "  Message      : first\r\n" + blanks + std::string(2 + 15, ' ') + "second\r\n"),
        std::string::npos)
        << file;
    // The handler runs again next time: nothing was left broken.
    EXPECT_FALSE(Send());
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_EQ(thrower.received, 2);
}

TEST_F(DiagnosticsTest, WithDiagnosticsOffTheExceptionIsShownButNothingIsWritten) {
    EXPECT_FALSE(Send());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_FALSE(shown[0].logging);
    EXPECT_NE(shown[0].report.find("Message      : first"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder / "kinoloop.log"));
}

TEST_F(DiagnosticsTest, AnExceptionOfNoKnownTypeIsReportedAsUnknown) {
    diagnostics().SwitchOn("main");
    thrower.throwsInt = true;
    EXPECT_FALSE(Send());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].infos.Type, "<Unknown>");
    EXPECT_EQ(shown[0].infos.Message, "<Unknown>");
    EXPECT_EQ(ExceptEntries(), 1);
}

TEST_F(DiagnosticsTest, AnExceptionWhileOneIsShowingIsLoggedButNotShownAgain) {
    diagnostics().SwitchOn("main");
    onShow = [this] { Send(); };  // a repaint behind the box fails again
    EXPECT_FALSE(Send());
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(ExceptEntries(), 2);
}

TEST_F(DiagnosticsTest, AFailureWhileShowingIsLoggedAndTheProgramGoesOn) {
    diagnostics().SwitchOn("main");
    onShow = [] { throw std::runtime_error("no screen"); };
    EXPECT_FALSE(Send());
    EXPECT_EQ(ExceptEntries(), 1);
    const std::string& last = diagnostics().log().Entries().back();
    EXPECT_NE(last.find("[ INFO   ] Error on displaying Exception :\r\n"), std::string::npos) << last;
    EXPECT_NE(last.find("no screen\r\n"), std::string::npos) << last;
    EXPECT_NE(last.find("(no screen)"), std::string::npos) << last;
    onShow = nullptr;
    EXPECT_FALSE(Send());
    EXPECT_EQ(shown.size(), 2u) << "the next exception is shown again";
}

TEST_F(DiagnosticsTest, SwitchingOnTwiceWritesOneStartBlockAndOneEnterEntry) {
    diagnostics().SwitchOn("TfrmMain::RunStartupSequence");
    diagnostics().SwitchOn("TfrmMain::RunStartupSequence");
    const std::string file = ReadFile(folder / "kinoloop.log");
    EXPECT_EQ(file.find("START LOGGING"), file.rfind("START LOGGING"));
    EXPECT_NE(file.find("START LOGGING : kinoloop at 09/12/2024 10:11:12"), std::string::npos);
    int enters = 0;
    for (const std::string& entry : diagnostics().log().Entries())
        enters += entry.find("[ ENTER  ]") != std::string::npos;
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(diagnostics().debug().Indent(), 2);
}

TEST_F(DiagnosticsTest, TheLogEndsWithTheStopBlockWhenTheDiagnosticsEnd) {
    diagnostics().SwitchOn("main");
    App().SetDiagnostics(nullptr);
    const std::string file = ReadFile(folder / "kinoloop.log");
    EXPECT_NE(file.find("# STOP LOGGING at 09/12/2024 10:11:12\r\n"), std::string::npos) << file;
}

TEST_F(DiagnosticsTest, ALogThatCannotStartSaysSoAndStaysOff) {
    App().SetDiagnostics(nullptr);
    DiagnosticsHooks hooks;
    hooks.message = [this](const std::string& text) { messages.push_back(text); };
    hooks.showException = [this](const ShownException& shown) { this->shown.push_back(shown); };
    App().SetDiagnostics(
        std::make_unique<Diagnostics>(folder / "kinoloop", folder / "no" / "kinoloop.log", hooks));
    diagnostics().SwitchOn("main");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Error on starting logging ", 0), 0u);
    EXPECT_FALSE(diagnostics().log().Active());
    // Exceptions are still reported to the user.
    EXPECT_FALSE(Send());
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_FALSE(shown[0].logging);
}

TEST_F(DiagnosticsTest, TheUserSeesTheMessageTheTypeAndTheReportAndCanOpenTheLog) {
    // The program's own message box, not the test's recorder.
    App().SetDiagnostics(nullptr);
    DiagnosticsHooks hooks;
    hooks.log.now = [] { return std::string("09/12/2024 10:11:12"); };
    App().SetDiagnostics(std::make_unique<Diagnostics>(folder / "kinoloop", folder / "kinoloop.log", hooks));
    diagnostics().SwitchOn("main");
    QString text;
    QString details;
    bool logButtonEnabled = false;
    QTimer::singleShot(50, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        details = box->detailedText();
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == "View &logfile") {
                logButtonEnabled = button->isEnabled();
                button->click();
            }
        }
    });
    EXPECT_FALSE(Send());
    EXPECT_TRUE(text.startsWith("This module has encounter the following error:")) << text.toStdString();
    EXPECT_TRUE(text.contains("first\nsecond"));
    EXPECT_TRUE(text.contains("std::runtime_error ( std::exception )"));
    EXPECT_TRUE(details.contains("Sender Name  : btnBoom")) << details.toStdString();
    EXPECT_TRUE(logButtonEnabled);
    ASSERT_NE(diagnostics().logWindow(), nullptr) << "View logfile opened the log";
    EXPECT_TRUE(diagnostics().logWindow()->isVisible());
    EXPECT_TRUE(diagnostics().logWindow()->memLog()->toPlainText().contains("[ EXCEPT ]"));
}

TEST_F(DiagnosticsTest, TheLogWindowShowsACopyOfTheEntriesAndCloseHidesIt) {
    diagnostics().SwitchOn("main");
    diagnostics().log().WriteEntry(LogKind::Info, "look here");
    diagnostics().log().ShowLog();
    TfmQELLog* window = diagnostics().logWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "kinoloop - Log");
    EXPECT_EQ(window->size(), QSize(500, 350));
    const QString text = window->memLog()->toPlainText();
    EXPECT_TRUE(text.contains("START LOGGING")) << text.toStdString();
    EXPECT_TRUE(text.contains("[ INFO   ] look here"));
    EXPECT_TRUE(window->memLog()->isReadOnly());
    diagnostics().log().WriteEntry(LogKind::Info, "later");
    EXPECT_FALSE(window->memLog()->toPlainText().contains("later")) << "a copy taken when it opened";
    window->btnClose()->click();
    EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace kinoloop
