// The main window as a user drives it: commands from the timeline's context menu, the track buttons, the exit
// question and the camera editors that talk to the simulator over UDP.
#include <gtest/gtest.h>

// Before Qt's headers: their "slots" keyword would clash with the fixture's names.
#include "../hotmoments/moment_fixtures.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QNetworkDatagram>
#include <QSlider>
#include <QTabBar>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QUdpSocket>
#include <cstring>
#include <deque>
#include <fstream>

#include "link/udp_link.h"
#include "model/field_text.h"
#include "playback/wiring/playback_system.h"
#include "project/project_file.h"
#include "model/ui/node_properties_panel.h"
#include "model/ui/timeline_context_menu.h"
#include "model/ui/timeline_editor.h"
#include "model/ui/timeline_grid_view.h"
#include "model/ui/tfrm_note.h"
#include "model/ui/track_grid_view.h"
#include <QPlainTextEdit>
#include "qt_app.h"
#include "shell/program_folder.h"
#include "playback/ui/tfrm_debug.h"
#include "shell/ui/main_actions.h"
#include "shell/ui/movie_files.h"
#include "shell/ui/sound_browse.h"
#include "audio/sound_nodes.h"
#include "audio/pulse_mixer.h"
#include "audio/wave_file.h"
#include "shell/ui/playback_parts.h"
#include "shell/ui/status_strip.h"
#include "shell/ui/tfrm_main.h"
#include "shell/ui/tfrm_msg_box.h"
#include "temp_folder.h"
#include "hotmoments/moment_nodes.h"
#include "shell/ui/tfrm_hot_moments.h"
#include "box_answerer.h"
#include "cursor_file.h"

namespace kinoloop {
namespace {

using testing::EnsureApp;
using testing::WaitFor;
using testing::BoxAnswerer;

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(EnsureApp());
        ASSERT_TRUE(peer.bind(QHostAddress::LocalHost, 0));
        QUdpSocket probe;  // a free port for Kinoloop's own listener
        ASSERT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
        const quint16 localPort = probe.localPort();
        probe.close();
        std::ofstream ini(OptFolder() / "settings.ini");
        ini << "[settings]\nfirstrun=0\nprompts=1\ntimeline=1\n[record]\nfps=25\n[insim]\nhost=127.0.0.1\n"
            << "localport=" << localPort << "\nremoteport=" << peer.localPort() << "\n";
        ini.close();
        std::filesystem::create_directories(ScrFolder());
        std::ofstream(ScrFolder() / "Pan.script") << "begin end.";
        std::ofstream(ScrFolder() / "notes.txt") << "not a script";
        MainOptions options;
        options.hotKey = false;
        options.forceToast = true;
        options.openUrl = [this](const QUrl& url) {
            opened.push_back(url);
            return true;
        };
        window = std::make_unique<TfrmMain>(options);
        window->resize(1200, 800);
        window->show();
        answerer = std::make_unique<BoxAnswerer>(window->windows().frmMsgBox);
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        answerer.reset();
        window.reset();
        QCoreApplication::processEvents();
    }

    Movie& movie() { return window->movie(); }
    TimelineContextMenu* menu() { return window->editor()->ContextMenu(); }
    // Selects a cell as a click does.
    void Select(int column, int row) {
        GridSelection selection;
        selection.Start(column, row);
        window->editor()->Timeline()->SetSelection(selection);
        window->editor()->SelectCell(column, row);
    }
    void SelectRange(int fromColumn, int toColumn, int row) {
        Select(fromColumn, row);
        GridSelection selection;
        selection.Start(fromColumn, row);
        selection.Extend(toColumn, row);
        window->editor()->Timeline()->SetSelection(selection);
    }
    std::string Cell(int column, int row) { return std::string(movie().strTimeline.Cell(column, row)); }
    std::string Status() { return window->statusStrip()->lblLastAction->text().toStdString(); }

    testing::TempProgramFolder home;
    QUdpSocket peer;
    std::unique_ptr<TfrmMain> window;
    std::unique_ptr<BoxAnswerer> answerer;
    std::vector<QUrl> opened;  // what "Open Movies Folder" handed to the desktop
};

TEST_F(MainWindowTest, StartsWithTheSettingsAnEmptyMovieAndTheLink) {
    EXPECT_EQ(window->windowTitle(), "Kinoloop");
    EXPECT_EQ(movie().strTimeline.ColumnCount(), 60 * 25 + 5);
    EXPECT_EQ(movie().strTracks.At(1).name, "Untitled Track");
    EXPECT_EQ(window->playback().tmrPlay.IntervalMs(), 40);
    EXPECT_FALSE(window->tmrAutosave().isActive());
    EXPECT_TRUE(window->link().IsListening());
    EXPECT_TRUE(window->StartupFailures().empty());
    EXPECT_EQ(window->statusStrip()->lblCurrFrame->text(), "Frame: 0");
    EXPECT_EQ(window->statusStrip()->lblFPS->text(), "25fps");
    const QStringList captions{"Kinoloop - Setup", "Kinoloop", "Kinoloop - About", "Kinoloop",
                               "Kinoloop - Script Editor", "Node Library", "Hot Moment Scan",
                               "Kinoloop - Effects Preview", "Timeline Debug", "Node Note"};
    QStringList seen;
    for (QWidget* w : window->windows().All()) seen << w->windowTitle();
    EXPECT_EQ(seen, captions);
}

TEST_F(MainWindowTest, AddingEveryNodeKindByTheContextMenu) {
    const struct {
        QAction* TimelineContextMenu::*item;
        int column;
        const char* code;
        const char* tag;
        char panel;
        const char* kindName;
        const char* status;
    } cases[] = {
        {&TimelineContextMenu::AddReplay1, 0, "R", "REP", 'R', "Replay", "Last Action: Added new replay node at cell 0:1"},
        {&TimelineContextMenu::AddCamera1, 10, "C", "CAM", 'C', "Camera", "Last Action: Added new camera node at cell 10:1"},
        {&TimelineContextMenu::AddScript1, 20, "S", "SCR", 'S', "Script", "Last Action: Added new script node at cell 20:1"},
        {&TimelineContextMenu::AddEffect1, 30, "E", "EFF", 'E', "Effect", "Last Action: Added new effect node at cell 30:1"},
        {&TimelineContextMenu::AddSound1, 40, "T", "SND", 'T', "Sound", "Last Action: Added new sound node at cell 40:1"},
        {&TimelineContextMenu::AddReplayStart1, 50, "G", "STT", 'G', "Start", "Last Action: Added new start node at cell 50:1"},
        {&TimelineContextMenu::AddMovieStop1, 60, "X", "STP", 'N', "KNLOOP", "Last Action: Added new stop node at cell 60:1"},
    };
    answerer->Answer('N');  // the replay does not span the timeline
    for (const auto& c : cases) {
        Select(c.column, 1);
        (menu()->*c.item)->trigger();
        EXPECT_EQ(Cell(c.column, 1), c.code) << c.tag;
        const NodeText* record = movie().nodeStore.Find(c.column, 1);
        ASSERT_NE(record, nullptr) << c.tag;
        EXPECT_EQ(record->tag, c.tag);
        EXPECT_EQ(window->properties()->ShownKind(), c.panel) << c.tag;
        EXPECT_EQ(window->properties()->lblNodeType()->text(), c.kindName) << c.tag;
        EXPECT_EQ(Status(), c.status);
    }
    EXPECT_EQ(Cell(1, 1), "") << "answering N leaves a one-cell replay";
    EXPECT_EQ(movie().nodeStore.Size(), 7u);
    EXPECT_EQ(answerer->texts.front(),
              "Would you like Kinoloop to extend the replay span over the length of the timeline. (This is "
              "recommended) ?");
    EXPECT_NE(std::find(answerer->texts.begin(), answerer->texts.end(),
                        "Adjust the camera using the options in the properties panel below"),
              answerer->texts.end());

    // The time marker goes to a "Time Markers" track at the current frame.
    Select(33, 1);
    menu()->AddTimeMarker1->trigger();
    const int markers = movie().strTracks.FindTrack("Time Markers");
    ASSERT_EQ(markers, 2);
    EXPECT_EQ(Cell(33, markers), "M");
    EXPECT_EQ(window->editor()->Tracks()->rowCount(), 2) << "the track grid shows the new track";

    // A note on the camera.
    Select(10, 1);
    QTimer::singleShot(20, [this] {
        window->windows().frmNote->findChild<QPlainTextEdit*>("txtNote")->setPlainText("orbit\nslow");
        QTest::mouseClick(window->windows().frmNote->findChild<QPushButton*>("btnOk"), Qt::LeftButton);
    });
    menu()->AddNote1->trigger();
    EXPECT_EQ(Cell(10, 1), "Cn");
    EXPECT_EQ(movie().nodeStore.Find(10, 1)->note, "orbit?slow");
}

TEST_F(MainWindowTest, PasteCutDistributeAndDeleteThroughTheMenu) {
    Select(5, 1);
    menu()->AddSound1->trigger();
    // Distribute the sound over five cells.
    SelectRange(5, 9, 1);
    menu()->DistributeOverSelectedRange1->trigger();
    EXPECT_EQ(Cell(5, 1), "T");
    for (int c = 6; c <= 9; ++c) EXPECT_EQ(Cell(c, 1), "t") << c;
    EXPECT_EQ(SplitFields(movie().nodeStore.Find(5, 1)->fieldText)[3], "5");

    // Copy, then paste where there is not enough room.
    Select(5, 1);
    menu()->Copy1->trigger();
    EXPECT_EQ(Status(), "Last Action: Copied node at cell 5:1");
    Select(20, 1);
    menu()->AddCamera1->trigger();
    Select(17, 1);
    menu()->Paste1->trigger();
    EXPECT_EQ(answerer->texts.back(),
              "There is not enough space to paste the copied node. The space required is 5 cells");
    EXPECT_EQ(Cell(17, 1), "");
    Select(30, 1);
    menu()->Paste1->trigger();
    EXPECT_EQ(Cell(30, 1), "T");
    EXPECT_EQ(Cell(34, 1), "t");

    // Cut moves the node: the old cells empty, the record stays hidden for the paste.
    Select(20, 1);
    const std::size_t before = movie().nodeStore.Size();
    menu()->Cut1->trigger();
    EXPECT_EQ(Cell(20, 1), "");
    EXPECT_EQ(movie().nodeStore.Size(), before);
    Select(50, 1);
    menu()->Paste1->trigger();
    EXPECT_EQ(Cell(50, 1), "C");

    // Delete by the Delete key's action removes the node and its cells.
    Select(30, 1);
    menu()->Delete1->trigger();
    EXPECT_EQ(Cell(30, 1), "");
    EXPECT_EQ(Cell(34, 1), "");
    EXPECT_EQ(movie().nodeStore.Find(30, 1), nullptr);
    EXPECT_EQ(Status(), "Last Action: Deleted node at cell 30:1");
    EXPECT_EQ(window->properties()->ShownKind(), 'N');
}

TEST_F(MainWindowTest, TrackButtonsAddMoveLockAndDeleteTracks) {
    QTest::mouseClick(window->statusStrip()->btnAddRow, Qt::LeftButton);
    EXPECT_EQ(movie().strTracks.RowCount(), 3);
    EXPECT_EQ(window->editor()->Tracks()->rowCount(), 2);
    EXPECT_EQ(Status(), "Last Action: Added new track");
    Select(3, 2);
    menu()->AddScript1->trigger();
    movie().SelTrack = 2;
    QTest::mouseClick(window->statusStrip()->btnMoveUp, Qt::LeftButton);
    EXPECT_EQ(Cell(3, 1), "S");
    EXPECT_EQ(movie().nodeStore.Find(3, 1)->row, 1);
    QTest::mouseClick(window->statusStrip()->btnLock, Qt::LeftButton);
    EXPECT_TRUE(movie().strTracks.IsLocked(1));
    window->editor()->OpenContextMenu(QPoint(5, 5));
    EXPECT_FALSE(menu()->AddCamera1->isEnabled()) << "a locked track disables the editing items";
    menu()->hide();
    answerer->Answer('Y');
    QTest::mouseClick(window->statusStrip()->btnDeleteRow, Qt::LeftButton);
    EXPECT_EQ(movie().strTracks.RowCount(), 2);
    EXPECT_EQ(window->editor()->Tracks()->rowCount(), 1);
}

TEST_F(MainWindowTest, OpensAProjectFileAndRefusesADamagedOne) {
    Select(0, 1);
    answerer->Answer('N');
    menu()->AddReplay1->trigger();
    Select(40, 1);
    menu()->AddCamera1->trigger();
    const std::filesystem::path file = SavFolder() / "test.knloop";
    ASSERT_TRUE(WriteMovie(movie(), file));
    movie().ResetTimeline(60, 25);
    window->RefreshTimeline();
    ASSERT_TRUE(window->OpenProjectFile(file.string()));
    EXPECT_EQ(Cell(40, 1), "C");
    EXPECT_EQ(movie().header.MovieFileName, "test.knloop");
    EXPECT_EQ(window->properties()->cmbReplayStart()->count(), 1);

    std::ofstream(SavFolder() / "broken.knloop") << "not a project";
    EXPECT_FALSE(window->OpenProjectFile((SavFolder() / "broken.knloop").string()));
    EXPECT_FALSE(answerer->texts.back().empty()) << "the damage is reported";
    EXPECT_EQ(Cell(40, 1), "C") << "the movie stays as it was";
}

TEST_F(MainWindowTest, PreviewWithoutAReplayIsRefusedWithAMessage) {
    const std::size_t before = answerer->texts.size();
    window->actions()->QuickPreview->trigger();
    EXPECT_GT(answerer->texts.size(), before) << "the user is told why nothing plays";
    EXPECT_FALSE(window->playback().tmrPlay.IsActive());
    window->actions()->StopPlayback->trigger();
    EXPECT_FALSE(window->playback().tmrPlay.IsActive());
}

TEST_F(MainWindowTest, StartUpAttachesEveryPlaybackPartAndFillsTheScriptList) {
    PlaybackSystem& playback = window->playback();
    ASSERT_NE(window->playbackParts(), nullptr);
    PlaybackEngines& engines = window->playbackParts()->engines();
    EXPECT_EQ(playback.scripts.runner, &engines.scripts);
    EXPECT_EQ(playback.audio.audio, &engines.audio);
    EXPECT_EQ(playback.recorder.recorder, &engines.recorder);
    EXPECT_GT(playback.recorder.delayMs, 0);
    EXPECT_EQ(playback.capture.session, &engines.session);
    EXPECT_EQ(playback.capture.panelCapture, &engines.panelCapture);
    ASSERT_TRUE(static_cast<bool>(playback.capture.placement));
    EXPECT_EQ(playback.assembly.plugins, &engines.plugins.plugins);
    EXPECT_EQ(playback.debug.target, dynamic_cast<TfrmDebug*>(window->windows().frmDebug));
    EXPECT_NE(playback.debug.target, nullptr);
    EXPECT_EQ(playback.panel.target, window->playbackParts());
    EXPECT_EQ(playback.controls.target, window->playbackParts());

    // The capture looks where the simulator panel is on the screen.
    QWidget* panel = window->simulatorPanel();
    const PanelPlacement placement = playback.capture.placement();
    const ScreenRect rect = PanelCaptureRect(placement);
    const QPoint topLeft = panel->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(rect.x, topLeft.x());
    EXPECT_EQ(rect.y, topLeft.y());
    EXPECT_EQ(rect.width, panel->width());
    EXPECT_EQ(rect.height, panel->height());

    QStringList scripts;
    for (int i = 0; i < window->properties()->cmbScripts()->count(); ++i) {
        scripts << window->properties()->cmbScripts()->itemText(i);
    }
    EXPECT_EQ(scripts, QStringList{"Pan.script"});
}

TEST_F(MainWindowTest, ARenderLocksTheControlsAndHoldsThePanelSizeUntilItEnds) {
    PlaybackParts& parts = *window->playbackParts();
    parts.SetControlsEnabled(false);
    EXPECT_FALSE(window->editor()->isEnabled());
    EXPECT_FALSE(window->properties()->isEnabled());
    EXPECT_FALSE(window->actions()->RenderMovie->isEnabled());
    EXPECT_FALSE(window->actions()->OpenMovie->isEnabled());
    EXPECT_TRUE(window->actions()->StopPlayback->isEnabled()) << "the render can still be stopped";
    parts.SetControlsEnabled(true);
    EXPECT_TRUE(window->editor()->isEnabled());
    EXPECT_TRUE(window->actions()->RenderMovie->isEnabled());

    parts.SetRenderSize(320, 240);
    EXPECT_TRUE(window->RenderSizeLock);
    EXPECT_EQ(window->simulatorPanel()->size(), QSize(320, 240));
    window->panMainResize();
    EXPECT_EQ(window->simulatorPanel()->size(), QSize(320, 240)) << "a resize keeps the render's size";
    parts.RestoreSize();
    EXPECT_FALSE(window->RenderSizeLock);
}

TEST_F(MainWindowTest, RenderMovieWithoutAReplayIsRefusedAndGivesTheControlsBack) {
    const std::size_t before = answerer->texts.size();
    window->actions()->RenderMovie->trigger();
    QCoreApplication::processEvents();
    EXPECT_GT(answerer->texts.size(), before) << "the user is told why nothing is rendered";
    EXPECT_NE(window->playback().render.Outcome().state, RenderOutcome::State::Recording);
    EXPECT_FALSE(window->playback().modes.Rendering);
    EXPECT_TRUE(window->actions()->RenderMovie->isEnabled());
    EXPECT_TRUE(window->editor()->isEnabled());
}

TEST_F(MainWindowTest, SaveMovieWritesIntoSavAndTheMovieTakesTheFilesName) {
    Select(40, 1);
    menu()->AddCamera1->trigger();
    std::filesystem::path asked;
    window->movieFiles()->SetPathChooser(
        [&asked](bool save, const std::filesystem::path& folder, const std::string& name) {
            EXPECT_TRUE(save);
            EXPECT_EQ(name, "unknown.knloop");
            asked = folder;
            return (folder / "clip").string();
        });
    window->actions()->SaveMovie->trigger();
    EXPECT_EQ(asked, SavFolder());
    const std::filesystem::path file = SavFolder() / "clip.knloop";
    ASSERT_TRUE(std::filesystem::exists(file)) << "\".knloop\" is added to a bare name";
    EXPECT_EQ(movie().header.MovieFileName, "clip.knloop");
    EXPECT_EQ(movie().header.MovieFolder, SavFolder().string() + "/");
    Result<Movie> read = ReadMovie(file);
    ASSERT_TRUE(read) << read.Message();
    EXPECT_EQ(std::string(read.Value().strTimeline.Cell(40, 1)), "C");

    // A name typed with the extension in another case keeps it as typed.
    EXPECT_TRUE(window->movieFiles()->SaveTo(SavFolder() / "Race.KNLOOP"));
    EXPECT_TRUE(std::filesystem::exists(SavFolder() / "Race.KNLOOP"));
    EXPECT_FALSE(std::filesystem::exists(SavFolder() / "Race.KNLOOP.knloop"));
}

TEST_F(MainWindowTest, SavingOverAFileAsksFirstAndAFailedSaveKeepsTheOldName) {
    const std::filesystem::path file = SavFolder() / "old.knloop";
    std::filesystem::create_directories(SavFolder());
    std::ofstream(file) << "keep me";
    answerer->Answer('N');
    EXPECT_FALSE(window->movieFiles()->SaveTo(file));
    EXPECT_NE(std::find(answerer->texts.begin(), answerer->texts.end(),
                        "File already exists, do you want to override it?"),
              answerer->texts.end());
    std::ifstream in(file);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "keep me") << "\"N\" changes nothing";
    EXPECT_EQ(movie().header.MovieFileName, "unknown.knloop");

    answerer->Answer('Y');
    EXPECT_TRUE(window->movieFiles()->SaveTo(file));
    EXPECT_TRUE(ReadMovie(file)) << "\"Y\" replaces the file";

    const std::size_t before = answerer->texts.size();
    EXPECT_FALSE(window->movieFiles()->SaveTo(SavFolder() / "no such folder" / "lost.knloop"));
    EXPECT_GT(answerer->texts.size(), before) << "the failure is told";
    EXPECT_EQ(movie().header.MovieFileName, "old.knloop") << "the movie keeps the name it was saved under";
}

TEST_F(MainWindowTest, OpenMovieReadsTheChosenFileAndStartNewMovieResetsIt) {
    Select(40, 1);
    menu()->AddCamera1->trigger();
    ASSERT_TRUE(window->movieFiles()->SaveTo(SavFolder() / "saved.knloop"));
    window->playback().modes.PreviewMode = true;

    // "N" to the question keeps the work.
    answerer->Answer('N');
    window->actions()->StartNewMovie->trigger();
    EXPECT_EQ(Cell(40, 1), "C");

    answerer->Answer('Y');
    window->actions()->StartNewMovie->trigger();
    EXPECT_EQ(Cell(40, 1), "");
    EXPECT_TRUE(movie().nodeStore.Empty());
    EXPECT_EQ(movie().header, MovieHeader{});
    EXPECT_EQ(movie().strTracks.At(1).name, "Untitled Track");
    EXPECT_EQ(Status(), "Last Action: No Action");
    EXPECT_FALSE(window->playback().modes.PreviewMode);

    window->movieFiles()->SetPathChooser([](bool save, const std::filesystem::path& folder, const std::string&) {
        EXPECT_FALSE(save);
        return (folder / "saved.knloop").string();
    });
    window->actions()->OpenMovie->trigger();
    EXPECT_EQ(Cell(40, 1), "C");
    EXPECT_EQ(movie().header.MovieFileName, "saved.knloop");

    // A cancelled dialog changes nothing.
    window->movieFiles()->SetPathChooser([](bool, const std::filesystem::path&, const std::string&) {
        return std::string();
    });
    window->actions()->OpenMovie->trigger();
    EXPECT_EQ(movie().header.MovieFileName, "saved.knloop");
}

TEST_F(MainWindowTest, AudioKeysMissingFromTheFileDefaultFromTheRecordingMixer) {
    if (std::getenv("KINOLOOP_PULSE") == nullptr) GTEST_SKIP() << "needs the sound server of scripts/test-env.sh";
    PulseMixer mixer;
    EXPECT_EQ(window->settings().audiodevice, mixer.CurrentDestination());
    EXPECT_EQ(window->settings().audiochannel, mixer.SelectedLine());
    const int volume = mixer.LineVolume(mixer.SelectedLine());
    ASSERT_GT(volume, 0) << "the test server's source has a volume, unlike the built-in default of 0";
    EXPECT_EQ(window->settings().audiovolume, volume);
}

TEST_F(MainWindowTest, AutosaveWritesASavedMovieToItsFileButNotWhileRendering) {
    MovieFiles& files = *window->movieFiles();
    EXPECT_FALSE(files.Autosave()) << "a never saved movie has no file to write";
    EXPECT_FALSE(std::filesystem::exists(SavFolder() / "unknown.knloop"));

    const std::filesystem::path file = SavFolder() / "auto.knloop";
    ASSERT_TRUE(files.SaveTo(file));
    Select(40, 1);
    menu()->AddCamera1->trigger();
    window->playback().modes.Rendering = true;
    EXPECT_FALSE(files.Autosave());
    EXPECT_EQ(std::string(ReadMovie(file).Value().strTimeline.Cell(40, 1)), "") << "nothing is written while rendering";

    window->playback().modes.Rendering = false;
    window->tmrAutosave().setInterval(1);
    window->tmrAutosave().start();
    EXPECT_TRUE(WaitFor([&file] {
        Result<Movie> read = ReadMovie(file);
        return read && std::string(read.Value().strTimeline.Cell(40, 1)) == "C";
    })) << "the timer's tick writes the movie";
    window->tmrAutosave().stop();
}

TEST_F(MainWindowTest, BrowsingASoundGivesTheNodeTheFileAndItsLength) {
    Select(5, 1);
    menu()->AddSound1->trigger();
    const std::filesystem::path file = home / "two seconds.wav";
    const WaveFormat format;
    ASSERT_EQ(WriteWaveFile(file, format, std::vector<std::uint8_t>(format.BytesPerSecond() * 2, 0)), "");

    int asked = 0;
    window->soundBrowse()->SetPathChooser([&asked] {
        ++asked;
        return std::string();
    });
    window->properties()->btnBrowseSound()->click();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Cell(6, 1), "") << "a cancelled dialog changes nothing";

    Select(5, 1);
    window->soundBrowse()->SetPathChooser([&file] { return file.string(); });
    window->properties()->btnBrowseSound()->click();
    EXPECT_EQ(Cell(5, 1), "T");
    for (int c = 6; c < 5 + 2 * 25; ++c) ASSERT_EQ(Cell(c, 1), "t") << c;
    EXPECT_EQ(Cell(5 + 2 * 25, 1), "") << "two seconds at 25 fps cover 50 cells";
    EXPECT_EQ(window->properties()->txtSoundFile()->text().toStdString(), file.string());
    EXPECT_EQ(SoundNodePaths(movie().nodeStore), std::vector<std::string>{file.string()});
}

TEST_F(MainWindowTest, OpenMoviesFolderOpensMovOnlyWhenItExists) {
    std::filesystem::remove_all(MovFolder());
    window->actions()->OpenMoviesFolder->trigger();
    EXPECT_TRUE(opened.empty()) << "no Mov folder, nothing opened";
    EXPECT_FALSE(std::filesystem::exists(MovFolder())) << "and none created";

    std::filesystem::create_directories(MovFolder());
    window->actions()->OpenMoviesFolder->trigger();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(QString::fromStdString(MovFolder().string())));
    EXPECT_TRUE(answerer->texts.empty());
    EXPECT_EQ(window->actions()->OpenMoviesFolder->text(), "Open Movies Folder");
}

TEST_F(MainWindowTest, HotMomentNodesBecomeCamerasByTheContextMenu) {
    // The recorder of the hot-moments window holds Anna (3) at frame 12 and Bert (4) at frame 40.
    TMoments& recorder = window->windows().frmHotMoments->moments();
    recorder.AddPlayer(testing::Player(3, "Anna", 30));
    recorder.AddPlayer(testing::Player(4, "Bert", 40));
    recorder.AddCarData(12, testing::Packet({testing::Car(3, 1000, -2000, {.z = 300, .heading = 10000})}));
    recorder.AddCarData(40, testing::Packet({testing::Car(4, 8000, 9000, {.z = 900, .heading = 123})}));
    const std::vector<MomentListRow> rows = {{"12", "12", "0", "Drift", "Anna", "", "3", "-1"},
                                             {"40", "40", "0", "Drift", "Bert", "", "4", "-1"}};
    const int row = AddToTimeline(movie(), window->notices(), rows).trackRow;
    ASSERT_GT(row, 0);
    ASSERT_EQ(Cell(12, row), "Hn");

    const ConvertMenuItems& selected = menu()->ConvertSelectedItems;
    const ConvertMenuItems& all = menu()->ConvertAllItems;
    EXPECT_EQ(selected.DefaultLFSCamera->title(), "Default LFS Camera...");
    EXPECT_EQ(selected.ShiftUTrackingCamera->title(), "Shift+U Tracking Camera...");
    const std::vector<QString> captions = {"...Arcade Camera", "...Helicopter Camera", "...TV Camera",
                                           "...Driver Camera", "...Custom Camera",    "...Follow Car",
                                           "...Static Camera"};
    for (std::size_t i = 0; i < captions.size(); ++i) {
        EXPECT_EQ(selected.targets[i]->text(), captions[i]);
        EXPECT_EQ(all.targets[i]->text(), captions[i]);
    }
    for (const auto& [menuOf, items] : {std::pair{menu()->ConvertHotmomentto1, &selected},
                                        std::pair{menu()->ConvertAllCamerasto1, &all}}) {
        EXPECT_EQ(menuOf->actions(), (QList<QAction*>{items->DefaultLFSCamera->menuAction(),
                                                     items->ShiftUTrackingCamera->menuAction()}));
    }

    // The selected node becomes a static tracking camera where Anna was, turned by half a turn.
    Select(12, row);
    answerer->texts.clear();
    selected.targets[static_cast<int>(ConvertMenuTarget::TrackingStatic)]->trigger();
    EXPECT_EQ(Cell(12, row), "C");
    const NodeText* camera = movie().nodeStore.Find(12, row);
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->tag, "CAM");
    const std::vector<std::string> fields = SplitFields(camera->fieldText);
    ASSERT_EQ(fields.size(), 15u);
    EXPECT_EQ(std::vector<std::string>(fields.begin() + 4, fields.end()),
              (std::vector<std::string>{"1000", "-2000", "300", "42768", "0", "0", "30", "2", "80", "0", "72"}));
    EXPECT_TRUE(answerer->texts.empty()) << "converting the selected node says nothing";
    EXPECT_EQ(Cell(40, row), "Hn");

    // "Convert All" to the driver's camera takes Bert's node and says it is done.
    all.targets[static_cast<int>(ConvertMenuTarget::Driver)]->trigger();
    EXPECT_EQ(Cell(40, row), "C");
    const NodeText* driver = movie().nodeStore.Find(40, row);
    ASSERT_NE(driver, nullptr);
    const std::vector<std::string> driverFields = SplitFields(driver->fieldText);
    EXPECT_EQ(std::vector<std::string>(driverFields.begin() + 4, driverFields.end()),
              (std::vector<std::string>{"8000", "9000", "900", "0", "0", "0", "40", "3", "80", "0", "8192"}));
    EXPECT_EQ(answerer->texts, std::vector<std::string>{kConversionComplete});
    for (const NodeText& record : movie().nodeStore.Records()) EXPECT_NE(record.tag, "MOM");

    // With the track locked, neither menu can be opened.
    menu()->ApplyLock(true);
    EXPECT_FALSE(menu()->ConvertHotmomentto1->menuAction()->isEnabled());
    EXPECT_FALSE(menu()->ConvertAllCamerasto1->menuAction()->isEnabled());
}

TEST_F(MainWindowTest, TheHotMomentScanWindowScansListsAndAddsToTheTimeline) {
    TfrmHotMoments* scan = window->windows().frmHotMoments;
    EXPECT_EQ(window->link().handler().Ports().hotMoments, scan) << "the link's hot-moments window";
    EXPECT_EQ(window->link().handler().Ports().carData, &scan->recorder()) << "and its recorder";

    // Set-up for a replay: shown at the first page, idle, the race labels waiting for a scan.
    scan->TabSet1->setCurrentIndex(2);
    scan->SetupScan("race.spr");
    EXPECT_TRUE(scan->isVisible());
    EXPECT_EQ(scan->windowTitle(), "Hot Moment Scan");
    EXPECT_EQ(scan->lblScan->text(), "Replay to be scanned: race.spr");
    EXPECT_EQ(scan->pages->currentIndex(), 0);
    EXPECT_EQ(scan->lblLocation->text(), "Location: start scan first");
    EXPECT_EQ(scan->lblWind->text(), "Wind: start scan first");
    EXPECT_TRUE(scan->btnStartScan->isEnabled());
    EXPECT_FALSE(scan->ScanRunning());

    // Start: car data every 100 ms is asked for, the movie plays (refused here: it has no replay), scanning.
    WaitFor([this] { return peer.hasPendingDatagrams(); }, 300);
    while (peer.hasPendingDatagrams()) peer.receiveDatagram();
    QTest::mouseClick(scan->btnStartScan, Qt::LeftButton);
    EXPECT_TRUE(scan->ScanRunning());
    EXPECT_FALSE(scan->btnStartScan->isEnabled());
    EXPECT_FALSE(scan->btnAddToTimeline->isEnabled());
    EXPECT_EQ(scan->lblStatus->text(), "Status: Scanning...");
    EXPECT_FALSE(scan->lblHint->isHidden());
    EXPECT_TRUE(scan->tmrDisplayMoments().isActive());
    QByteArray nli;
    ASSERT_TRUE(WaitFor([&] {
        while (peer.hasPendingDatagrams()) {
            const QByteArray data = peer.receiveDatagram().data();
            if (data.startsWith("NLI")) nli = data;
        }
        return !nli.isEmpty();
    })) << "no NLI reached the simulator";
    std::int32_t interval = 0;
    std::memcpy(&interval, nli.constData() + 4, sizeof interval);
    EXPECT_EQ(interval, 100);

    // Cars recorded during the scan; the refresh lists what the analysis finds. Anna drifts at frame 12.
    TMoments& recorder = scan->moments();
    recorder.AddPlayer(testing::Player(3, "Anna", 30));
    recorder.AddCarData(12, testing::Packet({testing::Car(3, 0, 0, {.speed = 5000, .direction = 0, .heading = 8192})}));
    scan->cmbInterval->setCurrentText("5");
    EXPECT_EQ(scan->tmrDisplayMoments().interval(), 5000) << "a new interval takes effect at once";
    scan->RefreshMoments();
    const std::vector<MomentListRow> listed = scan->ListedRows();
    EXPECT_EQ(listed, MomentListRows(recorder));
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(scan->lblHotMomentsNumber->text(),
              QString("Hot Moments Found: %1").arg(recorder.HotMoments().size()));
    const MomentListRow& drift = listed.front();
    EXPECT_EQ(drift.Start, "12");
    EXPECT_EQ(drift.Action, "Drift");
    EXPECT_EQ(drift.Player1, "Anna");
    EXPECT_EQ(drift.Player2, "") << "a one-car moment has no second player";
    EXPECT_EQ(drift.Player2ID, "-1");

    // The end of the race stops the scan as "Stop Scan" does; the list stays for "Add To Timeline".
    scan->StopScan();
    EXPECT_FALSE(scan->ScanRunning());
    EXPECT_TRUE(scan->btnStartScan->isEnabled());
    EXPECT_TRUE(scan->btnAddToTimeline->isEnabled());
    EXPECT_FALSE(scan->tmrDisplayMoments().isActive());
    EXPECT_EQ(scan->lblStatus->text(), "Status: Idle");
    EXPECT_TRUE(scan->lblHint->isHidden());
    EXPECT_EQ(scan->ListedRows(), listed);

    const int rows = movie().strTracks.RowCount();
    answerer->texts.clear();
    QTest::mouseClick(scan->btnAddToTimeline, Qt::LeftButton);
    ASSERT_EQ(movie().strTracks.RowCount(), rows + 1);
    const int row = rows;  // the new last row
    EXPECT_EQ(movie().strTracks.At(row).name, "Hot Moments");
    EXPECT_EQ(Cell(12, row), "Hn");
    EXPECT_EQ(answerer->texts, std::vector<std::string>{kMomentsAdded});

    // Exit during a scan: recording ends, the replay is left playing, the window hides.
    QTest::mouseClick(scan->btnStartScan, Qt::LeftButton);
    EXPECT_TRUE(recorder.Samples().empty()) << "a new scan clears the recorder";
    QTest::mouseClick(scan->btnExit, Qt::LeftButton);
    EXPECT_FALSE(scan->isVisible());
    EXPECT_FALSE(scan->ScanRunning());
    EXPECT_TRUE(scan->btnAddToTimeline->isEnabled());
}

TEST_F(MainWindowTest, HotMomentSlidersShowTheirThresholdsAndDefaultPutsThemBack) {
    TfrmHotMoments* scan = window->windows().frmHotMoments;
    EXPECT_EQ(scan->lblDistance->text(), "Distance Threshold: 6.0m");
    EXPECT_EQ(scan->lblDrift->text(), "Drift Threshold: 10.0°");
    EXPECT_EQ(scan->lblAV->text(), "Angular Velocity: 4000");
    scan->trkDistThreshold->setValue(65);
    scan->trkDriftThreshold->setValue(5);
    scan->trkAngVel->setValue(12345);
    EXPECT_EQ(scan->lblDistance->text(), "Distance Threshold: 6.5m");
    EXPECT_EQ(scan->lblDrift->text(), "Drift Threshold: 0.5°");
    EXPECT_EQ(scan->lblAV->text(), "Angular Velocity: 12345");
    scan->trkDistThreshold->setValue(500);
    EXPECT_EQ(scan->trkDistThreshold->value(), 200) << "the slider ends at 20.0 m";
    QTest::mouseClick(scan->btnDefault, Qt::LeftButton);
    EXPECT_EQ(scan->trkDistThreshold->value(), 60);
    EXPECT_EQ(scan->trkDriftThreshold->value(), 100);
    EXPECT_EQ(scan->trkAngVel->value(), 4000);
    EXPECT_EQ(scan->lblDistance->text(), "Distance Threshold: 6.0m");
    EXPECT_EQ(scan->lblDrift->text(), "Drift Threshold: 10.0°");
    EXPECT_EQ(scan->lblAV->text(), "Angular Velocity: 4000");
}

TEST_F(MainWindowTest, HotMomentWindowShowsTheRaceFromTheStatePacket) {
    TfrmHotMoments* scan = window->windows().frmHotMoments;
    StateReport state;
    state.track = "BL1R";
    state.numPlayers = 3;
    state.numConnections = 2;
    state.numFinished = 1;
    state.raceProgress = 2;
    state.qualMins = 0;
    state.raceLaps = 5;
    state.weather = 1;
    state.wind = 2;
    scan->ShowRaceInfo(state);
    const std::vector<std::pair<QLabel*, QString>> expected = {
        {scan->lblLocation, "Location: BL1R"},         {scan->lblPlayers, "Number of Player: 3"},
        {scan->lblNumConnections, "Number of Connections: 2"}, {scan->lblNumFinished, "Number Finished: 1"},
        {scan->lblRaceProgress, "Race Progress: 2"},   {scan->lblQualMins, "Qualify Minutes: 0"},
        {scan->lblRaceLaps, "Race Laps: 5"},           {scan->lblWeather, "Weather: 1"},
        {scan->lblWind, "Wind: 2"},
    };
    for (const auto& [label, text] : expected) EXPECT_EQ(label->text(), text);
    EXPECT_EQ(scan->LastState().track, "BL1R");
}

// Img/point.cur present at start-up.
class PointCursorTest : public MainWindowTest {
protected:
    void SetUp() override {
        std::filesystem::create_directories(ImgFolder());
        testing::WriteFile(ImgFolder() / "point.cur", testing::CursorFile({3, 4}, qRgb(0, 200, 0)));
        MainWindowTest::SetUp();
    }
};

TEST_F(PointCursorTest, CursorOneGoesOnTheClickableControls) {
    ASSERT_TRUE(window->cursors().Has(CustomCursors::kPoint));
    EXPECT_FALSE(window->cursors().Has(CustomCursors::kHand));
    TfrmHotMoments* scan = window->windows().frmHotMoments;
    const std::vector<QWidget*> clickable = {window->editor()->Timeline()->viewport(),
                                             window->findChild<QToolButton*>("btnScreenshot"),
                                             window->properties()->CameraBar(0),
                                             scan->btnStartScan,
                                             scan->trkAngVel,
                                             scan->TabSet1,
                                             window->windows().frmMsgBox->LeftButton()};
    for (QWidget* widget : clickable) {
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->cursor().shape(), Qt::BitmapCursor) << widget->objectName().toStdString();
        EXPECT_EQ(widget->cursor().hotSpot(), QPoint(3, 4)) << widget->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, WithoutCursorFilesTheControlsKeepTheirCursors) {
    EXPECT_FALSE(window->cursors().Has(CustomCursors::kPoint));
    EXPECT_EQ(window->findChild<QToolButton*>("btnScreenshot")->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_NE(window->editor()->Timeline()->viewport()->cursor().shape(), Qt::BitmapCursor);
}

TEST_F(MainWindowTest, AnsweringNoToTheExitQuestionKeepsTheProgramRunning) {
    answerer->Answer('N');
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(answerer->texts.back(), "Are you sure you want to exit Kinoloop? Any unsaved work will be lost");
    answerer->Answer('Y');
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, CameraTrackBarsStoreClampedValuesAndSendTheCamera) {
    Select(12, 1);
    menu()->AddCamera1->trigger();
    // Drain what adding the camera sent ("SST").
    WaitFor([this] { return peer.hasPendingDatagrams(); }, 1000);
    while (peer.hasPendingDatagrams()) peer.receiveDatagram();

    NodePropertiesPanel* panel = window->properties();
    QTest::mouseClick(panel->CameraButton(6), Qt::LeftButton);  // field of view 0 opens the bar at 20
    EXPECT_EQ(SplitFields(movie().nodeStore.Find(12, 1)->fieldText)[12], "20");
    ASSERT_TRUE(WaitFor([this] { return peer.hasPendingDatagrams(); }, 2000)) << "no datagram reached the peer";
    QByteArray cpp;
    while (peer.hasPendingDatagrams()) {
        const QByteArray data = peer.receiveDatagram().data();
        if (data.startsWith("CPP")) cpp = data;
    }
    ASSERT_EQ(cpp.size(), 32);
    float fov = 0;
    std::memcpy(&fov, cpp.constData() + 24, sizeof fov);
    EXPECT_EQ(fov, 20.0f);

    panel->CameraBox(3)->setText("70000");  // heading above one turn
    QTest::mouseClick(panel->CameraButton(3), Qt::LeftButton);
    EXPECT_EQ(SplitFields(movie().nodeStore.Find(12, 1)->fieldText)[7], "65536");
    EXPECT_TRUE(WaitFor([this] { return peer.hasPendingDatagrams(); }, 2000));
}

}  // namespace
}  // namespace kinoloop
