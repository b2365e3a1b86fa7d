// The timeline editor's and the shell's widgets driven as a user drives them, on the offscreen platform.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QVBoxLayout>
#include <fstream>

#include "fake_simulator.h"
#include "model/field_text.h"
#include "model/movie.h"
#include "model/ui/node_properties_panel.h"
#include "model/ui/effect_settings_panel.h"
#include "model/ui/tfrm_note.h"
#include "model/ui/timeline_context_menu.h"
#include "model/ui/timeline_editor.h"
#include "model/ui/timeline_grid_view.h"
#include "model/ui/track_grid_view.h"
#include "qt_app.h"
#include "scripted_notices.h"
#include "shell/ui/balloon.h"
#include "shell/ui/custom_cursors.h"
#include "cursor_file.h"
#include "shell/ui/tfrm_msg_box.h"
#include "temp_folder.h"

namespace kinoloop {
namespace {

using testing::EnsureApp;
using testing::Soon;
using testing::WaitFor;
using testing::CursorFile;
using testing::WriteFile;

class UiTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(EnsureApp()); }
};

// ---- the message box ----

class MsgBoxTest : public UiTest {};

TEST_F(MsgBoxTest, ButtonSetsShowTheirButtonsAndAnswerByTheButtonPressed) {
    TfrmMsgBox box;
    const struct {
        char buttons;
        bool clickLeft;
        bool leftVisible;
        const char* left;
        const char* right;
        char answer;
    } cases[] = {
        {'O', false, false, "", "Ok", 'O'},
        {'Y', true, true, "Yes", "No", 'Y'},
        {'Y', false, true, "Yes", "No", 'N'},
        {'C', true, true, "Ok", "Cancel", 'O'},
        {'C', false, true, "Ok", "Cancel", 'C'},
    };
    for (const auto& c : cases) {
        bool leftVisible = false;
        QString left, right, title, text;
        Soon([&] {
            leftVisible = box.LeftButton()->isVisible();
            left = box.LeftButton()->text();
            right = box.RightButton()->text();
            title = box.windowTitle();
            text = box.TextLabel()->text();
            QTest::mouseClick(c.clickLeft ? box.LeftButton() : box.RightButton(), Qt::LeftButton);
        });
        const char answer = box.Ask('I', c.buttons, "Kinoloop", "A question");
        EXPECT_EQ(answer, c.answer) << c.buttons;
        EXPECT_EQ(leftVisible, c.leftVisible) << c.buttons;
        EXPECT_EQ(left, c.left) << c.buttons;
        EXPECT_EQ(right, c.right) << c.buttons;
        EXPECT_EQ(title, "Kinoloop");
        EXPECT_EQ(text, "A question");
        EXPECT_FALSE(box.isVisible()) << "a click hides the box";
    }
    EXPECT_EQ(box.size(), QSize(298, 90));
}

TEST_F(MsgBoxTest, AnUnknownIconKeepsThePreviousPicture) {
    TfrmMsgBox box;
    Soon([&] { QTest::mouseClick(box.RightButton(), Qt::LeftButton); });
    box.Ask('X', 'O', "Kinoloop", "refused");
    EXPECT_EQ(box.PictureLetter(), 'X');
    Soon([&] { QTest::mouseClick(box.RightButton(), Qt::LeftButton); });
    box.Ask('Q', 'O', "Kinoloop", "other");
    EXPECT_EQ(box.PictureLetter(), 'X');
    Soon([&] { QTest::mouseClick(box.RightButton(), Qt::LeftButton); });
    box.Ask('E', 'O', "Kinoloop", "error");
    EXPECT_EQ(box.PictureLetter(), 'E');
}

TEST_F(MsgBoxTest, ClosingByTheTitleBarBoxGivesAnAnswerTheSetAllows) {
    TfrmMsgBox box;
    const struct {
        char buttons, answer;
    } cases[] = {{'O', 'O'}, {'Y', 'N'}, {'C', 'C'}};
    for (const auto& c : cases) {
        Soon([&] { box.close(); });
        EXPECT_EQ(box.Ask('I', c.buttons, "Kinoloop", "closing"), c.answer) << c.buttons;
    }
}

TEST_F(MsgBoxTest, TimersRunWhileTheBoxWaitsAndASecondRequestSharesTheAnswer) {
    TfrmMsgBox box;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(5);
    char inner = '?';
    Soon([&] {
        // A request made from an event while the first waits takes over the window.
        Soon([&] { QTest::mouseClick(box.LeftButton(), Qt::LeftButton); }, 60);
        inner = box.Ask('I', 'Y', "Kinoloop", "second");
    });
    const char outer = box.Ask('I', 'Y', "Kinoloop", "first");
    EXPECT_EQ(inner, 'Y');
    EXPECT_EQ(outer, 'Y');
    EXPECT_GT(ticks, 0) << "the timer was served during the wait";
}

// ---- custom cursors ----

TEST(CustomCursors, HotSpotFromTheCursorFilesDirectory) {
    EXPECT_EQ(CursorHotSpot(CursorFile({5, 7}, 0)), QPoint(5, 7));
    EXPECT_EQ(CursorHotSpot(CursorFile({0, 31}, 0)), QPoint(0, 31));
    EXPECT_EQ(CursorHotSpot(CursorFile({5, 7}, 0, 1)), std::nullopt) << "an icon file is not a cursor";
    EXPECT_EQ(CursorHotSpot(CursorFile({5, 7}, 0).left(21)), std::nullopt) << "cut before the entry's end";
    EXPECT_EQ(CursorHotSpot(QByteArray("GIF89a and more bytes than a directory")), std::nullopt);
}

TEST_F(UiTest, CursorFilesOfImgAreRegisteredByNumber) {
    testing::TempFolder img;
    WriteFile(img / "hand.cur", CursorFile({5, 7}, qRgb(200, 0, 0)));
    WriteFile(img / "select.cur", CursorFile({16, 16}, qRgb(0, 0, 200)));
    CustomCursors cursors;
    cursors.Load(img.Path());

    EXPECT_FALSE(cursors.Has(CustomCursors::kPoint)) << "point.cur is missing";
    EXPECT_EQ(cursors.Cursor(CustomCursors::kPoint).shape(), Qt::ArrowCursor);
    const struct {
        int number;
        QPoint hotSpot;
        QRgb colour;
    } cases[] = {{CustomCursors::kHand, {5, 7}, qRgb(200, 0, 0)}, {CustomCursors::kSelect, {16, 16}, qRgb(0, 0, 200)}};
    for (const auto& c : cases) {
        ASSERT_TRUE(cursors.Has(c.number)) << c.number;
        const QCursor cursor = cursors.Cursor(c.number);
        EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
        EXPECT_EQ(cursor.hotSpot(), c.hotSpot);
        const QImage picture = cursor.pixmap().toImage();
        ASSERT_EQ(picture.size(), QSize(32, 32));
        EXPECT_EQ(QColor(picture.pixel(3, 3)).rgb(), c.colour) << c.number;
    }
}

TEST_F(UiTest, AnUnreadableCursorFileLeavesItsNumberTheArrow) {
    testing::TempFolder img;
    WriteFile(img / "point.cur", CursorFile({1, 1}, 0, 1));          // an icon, not a cursor
    WriteFile(img / "hand.cur", CursorFile({1, 1}, 0).left(200));    // the picture cut short
    WriteFile(img / "select.cur", QByteArray("not a cursor at all"));
    CustomCursors cursors;
    cursors.Load(img.Path());
    for (int number : {CustomCursors::kPoint, CustomCursors::kHand, CustomCursors::kSelect}) {
        EXPECT_FALSE(cursors.Has(number)) << number;
        EXPECT_EQ(cursors.Cursor(number).shape(), Qt::ArrowCursor);
    }
}

// ---- balloons ----

TEST_F(UiTest, BalloonToastReplacesThePreviousOneAndCutsLongTexts) {
    QWidget main;
    main.resize(800, 600);
    main.show();
    BalloonPresenter balloons(&main, /*forceToast=*/true);
    balloons.Show("Kinoloop 2", "Loading Replay, Please Wait", 2, 5000);
    ASSERT_NE(balloons.Toast(), nullptr);
    EXPECT_TRUE(balloons.Toast()->text().contains("Loading Replay, Please Wait"));
    balloons.Show(QString(80, 'T'), QString(300, 'x'), 1, 5000);
    EXPECT_FALSE(balloons.Toast()->text().contains("Loading Replay"));
    EXPECT_EQ(balloons.LastTitle().size(), 63);
    EXPECT_EQ(balloons.LastText().size(), 255);
    balloons.Show("Kinoloop 2", "short", 2, 30);
    EXPECT_TRUE(WaitFor([&] { return balloons.Toast() == nullptr; }, 2000)) << "the toast goes when its time is up";
}

// ---- the note window ----

TEST_F(UiTest, NoteWindowRefusesSeparatorsAndStoresLineBreaksAsQuestionMarks) {
    TfrmNote note;
    QString result;
    Soon([&] {
        QTest::keyClicks(note.Memo(), "a:b?c|d");
        QTest::mouseClick(note.OkButton(), Qt::LeftButton);
    });
    result = note.EditNote("  ");
    EXPECT_EQ(result, "abcd");
    Soon([&] {
        note.Memo()->setPlainText("one\ntwo");
        QTest::mouseClick(note.OkButton(), Qt::LeftButton);
    });
    EXPECT_EQ(note.EditNote("old"), "one?two");
    Soon([&] {
        EXPECT_EQ(note.Memo()->toPlainText(), "kept");
        QTest::mouseClick(note.OkButton(), Qt::LeftButton);
    });
    EXPECT_EQ(note.EditNote("  kept  "), "kept");
    EXPECT_EQ(NoteFromMemo(QString(5, '?') + "x:y|z\r\nw"), "xyz?w");
}

TEST_F(UiTest, NoteWindowHoldsAtMost120Characters) {
    TfrmNote note;
    Soon([&] {
        note.Memo()->setPlainText(QString(130, 'n'));
        QTest::mouseClick(note.OkButton(), Qt::LeftButton);
    });
    EXPECT_EQ(note.EditNote("").size(), 120);
}

// ---- the timeline editor ----

class EditorTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        movie.ResetTimeline(60, 25);
        effectPanel = std::make_unique<EffectSettingsPanel>();
        windowHolder = std::make_unique<QWidget>();
        properties = new NodePropertiesPanel;
        properties->SetMovie(&movie);
        properties->SetEffectControls(effectPanel->Controls());
        TimelineEditorContext context;
        context.movie = &movie;
        context.notices = &notices;
        context.properties = properties;
        context.simulator = &simulator;
        context.fps = [] { return 25; };
        context.showReadout = [this](const QString& text) { readout = text; };
        editor = new TimelineEditor(context);
        QWidget& window = *windowHolder;
        window.setLayout(new QVBoxLayout);
        window.layout()->addWidget(editor);
        window.layout()->addWidget(properties);
        window.resize(1000, 500);
        window.show();
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        windowHolder.reset();
        effectPanel.reset();
        QCoreApplication::processEvents();
    }

    void AddTracks(int count) {
        for (int i = 0; i < count; ++i) {
            const int row = movie.strTimeline.RowCount();
            movie.strTimeline.InsertTrack(row);
            movie.strTracks.InsertRow(row, TrackGrid::Row{"Track " + std::to_string(row), "", ""});
        }
        editor->RefreshGrids();
        QCoreApplication::processEvents();  // the table lays its rows out lazily
    }
    void Place(int column, int row, const std::string& code) { movie.strTimeline.SetCell(column, row, code); }
    QPoint CellCentre(int column, int row) const {
        const CellRect r = editor->Timeline()->Layout().CellAt(column, row);
        return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }

    testing::TempProgramFolder home;
    Movie movie;
    testing::ScriptedNotices notices;
    testing::FakeSimulator simulator;
    std::unique_ptr<EffectSettingsPanel> effectPanel;
    std::unique_ptr<QWidget> windowHolder;
    NodePropertiesPanel* properties = nullptr;
    TimelineEditor* editor = nullptr;
    QString readout;
};

TEST_F(EditorTest, ScrollingEitherGridScrollsTheOther) {
    AddTracks(39);
    QScrollBar* timelineBar = editor->Timeline()->verticalScrollBar();
    QScrollBar* trackBar = editor->Tracks()->verticalScrollBar();
    ASSERT_GT(timelineBar->maximum(), 5);
    timelineBar->setValue(5);
    EXPECT_EQ(trackBar->value(), 5);
    trackBar->setValue(2);
    EXPECT_EQ(timelineBar->value(), 2);
    EXPECT_EQ(editor->Timeline()->Layout().FirstTrackRow(), 3);

    // The wheel over the track grid moves the timeline as well.
    QWheelEvent wheel(QPointF(20, 40), editor->Tracks()->viewport()->mapToGlobal(QPointF(20, 40)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(editor->Tracks()->viewport(), &wheel);
    EXPECT_GT(trackBar->value(), 2);
    EXPECT_EQ(timelineBar->value(), trackBar->value());
    QWheelEvent back(QPointF(20, 40), editor->Timeline()->viewport()->mapToGlobal(QPointF(20, 40)), QPoint(),
                     QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(editor->Timeline()->viewport(), &back);
    EXPECT_EQ(trackBar->value(), timelineBar->value());
}

TEST_F(EditorTest, DraggingShowsTheSelectionReadOutAndPublishesTheSelection) {
    QWidget* viewport = editor->Timeline()->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, CellCentre(3, 1));
    QMouseEvent move(QEvent::MouseMove, CellCentre(52, 1), viewport->mapToGlobal(CellCentre(52, 1)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
    EXPECT_EQ(readout, "Selected 50 cells, 2.00 seconds");
    EXPECT_EQ(movie.selection, (TimelineSelection{3, 1, 52, 1, 3, 1}));
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, CellCentre(52, 1));

    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, CellCentre(7, 1));
    QMouseEvent one(QEvent::MouseMove, CellCentre(7, 1) + QPoint(1, 0), viewport->mapToGlobal(CellCentre(7, 1)),
                    Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &one);
    EXPECT_EQ(readout, "Selected 1 cells, 0.04 seconds");
    // With Shift held the read-out is left alone.
    readout.clear();
    QMouseEvent shifted(QEvent::MouseMove, CellCentre(9, 1), viewport->mapToGlobal(CellCentre(9, 1)), Qt::NoButton,
                        Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(viewport, &shifted);
    EXPECT_TRUE(readout.isEmpty());
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, CellCentre(9, 1));
}

TEST_F(EditorTest, SelectingAContinuationCellSelectsTheCameraAndSendsIt) {
    movie.SelCol = 10;
    movie.SelRow = 1;
    CameraNode camera;
    camera.length = 3;
    camera.viewPlayer = 255;
    camera.fieldOfView = 72.5f;
    movie.AddCameraRecord(camera);
    Place(10, 1, "C");
    Place(11, 1, "c");
    Place(12, 1, "c");
    QTest::mouseClick(editor->Timeline()->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(12, 1));
    EXPECT_EQ(movie.SelCol, 10) << "the head becomes the selected cell";
    EXPECT_EQ(movie.CurrentFrame, 12.0f);
    EXPECT_EQ(properties->ShownKind(), 'C');
    EXPECT_EQ(properties->lblNodeType()->text(), "Camera");
    EXPECT_EQ(properties->cmbPlayer()->currentText(), "255 (default)");
    EXPECT_EQ(properties->CameraBox(6)->text(), "72.5");
    EXPECT_EQ(simulator.calls, (std::vector<std::string>{"CPP", "SST", "poll on"}));

    // An empty cell clears the buffer, stops polling and shows the empty panel.
    QTest::mouseClick(editor->Timeline()->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(30, 1));
    EXPECT_EQ(movie.txtRecords.LineCount(), 0);
    EXPECT_FALSE(simulator.polling);
    EXPECT_EQ(properties->ShownKind(), 'N');
    EXPECT_EQ(properties->lblNodeType()->text(), "KNLOOP");
}

TEST_F(EditorTest, SelectingANodeWithANoteShowsTheNoteAsTheGridsHint) {
    movie.SelCol = 4;
    movie.SelRow = 1;
    movie.AddScriptRecord(ScriptNode{});
    movie.nodeStore.Find(4, 1)->note = "first?second";
    Place(4, 1, "Sn");
    editor->SelectCell(4, 1);
    EXPECT_EQ(editor->Timeline()->NoteHint(), "first\nsecond");
    editor->SelectCell(6, 1);
    EXPECT_TRUE(editor->Timeline()->NoteHint().isEmpty()) << "an empty cell switches the hint off";
}

TEST_F(EditorTest, ContextMenuWarnsWithoutTheSimulatorAndFollowsTheLock) {
    simulator.windowFound = false;
    movie.strTracks.SetCell(2, 1, "L");
    movie.SelTrack = 1;
    editor->OpenContextMenu(QPoint(10, 10));
    ASSERT_EQ(notices.boxes.size(), 1u);
    EXPECT_EQ(notices.boxes[0].text,
              "Live for Speed doesn't appear to be loaded, some functions of Kinoloop may not work properly");
    TimelineContextMenu* menu = editor->ContextMenu();
    EXPECT_FALSE(menu->AddCamera1->isEnabled());
    EXPECT_FALSE(menu->Delete1->isEnabled());
    EXPECT_FALSE(menu->Edit1->menuAction()->isEnabled());
    EXPECT_TRUE(menu->MoveLFSHere1->menuAction()->isEnabled()) << "Move LFS Here is never changed";
    menu->hide();
    movie.strTracks.SetCell(2, 1, "");
    simulator.windowFound = true;
    editor->OpenContextMenu(QPoint(10, 10));
    EXPECT_EQ(notices.boxes.size(), 1u);
    EXPECT_TRUE(menu->AddCamera1->isEnabled());
    EXPECT_TRUE(menu->Delete1->isEnabled());
    menu->hide();
}

TEST_F(EditorTest, ContextMenuItemsInMenuOrder) {
    QStringList captions;
    for (QAction* action : editor->ContextMenu()->actions()) captions << (action->isSeparator() ? "-" : action->text());
    EXPECT_EQ(captions, (QStringList{"Edit", "-", "Add Replay", "Add Camera", "Add Script", "Add Effect",
                                     "Add Sound File", "Add Replay Start", "Add Replay Stop", "Add Note",
                                     "Add Time Marker", "-", "Add Camera Start Marker", "Add Camera End Marker", "-",
                                     "Convert Selected Hot Moment to...", "Convert All Hot Moments to...",
                                     "Distribute Node", "Delete", "-", "Move LFS Here And..."}));
    EXPECT_EQ(editor->ContextMenu()->Cut1->shortcut(), QKeySequence("Ctrl+Alt+X"));
    EXPECT_EQ(editor->ContextMenu()->Delete1->shortcut(), QKeySequence(Qt::Key_Delete));
}

TEST_F(EditorTest, PaintingDrawsKindColoursSelectionAndTheCurrentFrame) {
    Place(1, 1, "C");
    Place(2, 1, "c");
    Place(3, 1, "Tn");
    movie.CurrentFrame = 6;
    GridSelection selection;
    selection.Start(8, 1);
    selection.Extend(9, 1);
    editor->Timeline()->SetSelection(selection);
    const QImage image = editor->Timeline()->viewport()->grab().toImage();
    const auto pixel = [&](int column, int row, int dx, int dy) {
        const CellRect r = editor->Timeline()->Layout().CellAt(column, row);
        return QColor(image.pixel(r.left + dx, r.top + dy));
    };
    EXPECT_EQ(pixel(1, 1, 1, 3), QColor(79, 128, 255)) << "camera fill";
    EXPECT_EQ(pixel(1, 1, 4, 11), QColor(Qt::white)) << "the head's ellipse";
    EXPECT_EQ(pixel(2, 1, 4, 9), QColor(Qt::black)) << "the continuation line";
    EXPECT_EQ(pixel(3, 1, 1, 12), QColor(255, 102, 102)) << "sound fill";
    EXPECT_EQ(pixel(3, 1, 5, 3), QColor(255, 153, 153)) << "note mark";
    EXPECT_EQ(pixel(5, 1, 3, 5), QColor(234, 232, 228)) << "every fifth column shaded";
    EXPECT_EQ(pixel(4, 1, 3, 5), QColor(Qt::white));
    EXPECT_EQ(pixel(9, 1, 3, 5), QColor(Qt::black)) << "selected, not focused";
    EXPECT_NE(pixel(8, 1, 3, 5), QColor(Qt::black)) << "the focused cell keeps its background";
    EXPECT_EQ(pixel(6, 1, 4, 8), QColor(255, 0, 0)) << "current frame line";
    EXPECT_EQ(pixel(6, 0, 3, 8), QColor(255, 153, 153)) << "current frame header box";
    EXPECT_EQ(pixel(7, 0, 3, 2), QColor(212, 208, 200)) << "header colour";
}

TEST_F(EditorTest, FollowingTheFrameKeepsItInTheMiddle) {
    TimelineGridView* view = editor->Timeline();
    const int visible = view->WholeVisibleColumns();
    view->FollowFrame(visible * 3);
    EXPECT_EQ(view->Layout().FirstColumn(), visible * 3 - visible / 2);
    view->ScrollToCell(0, 1);
    view->FollowFrame(visible / 2 - 1);
    EXPECT_EQ(view->Layout().FirstColumn(), 0);
}

TEST_F(EditorTest, TrackGridNamesArePicturedAndEditable) {
    AddTracks(2);
    movie.strTracks.SetCell(2, 2, "L");
    movie.SelTrack = 3;
    editor->Tracks()->Refresh();
    TrackGridView* tracks = editor->Tracks();
    EXPECT_EQ(tracks->rowCount(), 3);
    EXPECT_EQ(tracks->item(0, 0)->text(), "Untitled Track");
    EXPECT_FALSE(tracks->item(2, 1)->icon().isNull()) << "current-row picture on the selected track";
    EXPECT_TRUE(tracks->item(0, 1)->icon().isNull());
    EXPECT_FALSE(tracks->item(1, 2)->icon().isNull()) << "lock picture";
    EXPECT_FALSE(tracks->item(0, 2)->flags() & Qt::ItemIsSelectable) << "only names become the current cell";
    tracks->item(1, 0)->setText("Cameras");
    EXPECT_EQ(movie.strTracks.At(2).name, "Cameras");
}

// ---- the properties panel ----

class PropertiesTest : public EditorTest {
protected:
    void Camera(int column, CameraNode camera = {}) {
        movie.SelCol = column;
        movie.SelRow = 1;
        movie.AddCameraRecord(camera);
        Place(column, 1, "C");
        movie.txtRecords.Load(movie.FindNodeText(true, column, 1));
        properties->ShowNodeProperties('C');
    }
    std::string Stored(int column, int line) {
        return SplitFields(movie.nodeStore.Find(column, 1)->fieldText).at(static_cast<std::size_t>(line));
    }
};

TEST_F(PropertiesTest, ViewPlayerListShowsAndStoresThePlayer) {
    const struct {
        int player;
        const char* shown;
    } cases[] = {{255, "255 (default)"}, {0, "0 (pole)"}, {7, "7"}};
    int column = 10;
    for (const auto& c : cases) {
        CameraNode camera;
        camera.viewPlayer = static_cast<std::uint8_t>(c.player);
        Camera(column, camera);
        EXPECT_EQ(properties->cmbPlayer()->currentText(), c.shown);
        column += 5;
    }
    Camera(50);
    properties->cmbPlayer()->activated(1);
    EXPECT_EQ(Stored(50, 10), "0");
    properties->cmbPlayer()->activated(13);
    EXPECT_EQ(Stored(50, 10), "12");
    properties->cmbCamera()->activated(3);
    EXPECT_EQ(Stored(50, 11), "3");
}

TEST_F(PropertiesTest, CameraBarsStoreClampedValuesAndBoxesStoreOnEnter) {
    Camera(20);
    // Opening the field-of-view bar on a field of view of 0 moves it to 20 and stores 20.
    QTest::mouseClick(properties->CameraButton(6), Qt::LeftButton);
    EXPECT_TRUE(properties->CameraBar(6)->isVisible());
    EXPECT_EQ(properties->CameraBar(6)->value(), 20);
    EXPECT_EQ(Stored(20, 12), "20");
    EXPECT_EQ(properties->CameraBox(6)->text(), "20");
    const std::size_t sentBefore = simulator.calls.size();

    // 120000 typed into X is stored without a range check; the bar then opens at it.
    properties->CameraBox(0)->setText("120000");
    QTest::keyClick(properties->CameraBox(0), Qt::Key_Return);
    EXPECT_EQ(Stored(20, 4), "120000");
    QTest::mouseClick(properties->CameraButton(0), Qt::LeftButton);
    EXPECT_EQ(properties->CameraBar(0)->value(), 120000);

    // Z above its range is clamped to 10 metres when its bar opens.
    properties->CameraBox(2)->setText("900000");
    QTest::mouseClick(properties->CameraButton(2), Qt::LeftButton);
    EXPECT_EQ(Stored(20, 6), "655360");
    properties->CameraBar(3)->setValue(16384);
    EXPECT_EQ(Stored(20, 7), "16384");
    EXPECT_EQ(properties->CameraBox(3)->text(), "16384");
    (void)sentBefore;

    // A box that holds no whole number leaves its bar closed and stores nothing.
    properties->CameraBox(6)->setText("72.5");
    properties->HideCameraBars();
    QTest::mouseClick(properties->CameraButton(6), Qt::LeftButton);
    EXPECT_FALSE(properties->CameraBar(6)->isVisible());
    EXPECT_EQ(Stored(20, 12), "20");
}

TEST_F(PropertiesTest, KindPanelsShowTheirFields) {
    movie.SelCol = 30;
    movie.SelRow = 1;
    SoundNode sound;
    sound.path = "C?\\music\\a.mp3";
    movie.AddSoundRecord(sound);
    movie.txtRecords.Load(movie.FindNodeText(true, 30, 1));
    properties->ShowNodeProperties('T');
    EXPECT_EQ(properties->ShownKind(), 'T');
    EXPECT_TRUE(properties->KindPanel('T')->isVisible());
    EXPECT_FALSE(properties->KindPanel('C')->isVisible());
    EXPECT_EQ(properties->txtSoundFile()->text(), "C:\\music\\a.mp3");

    properties->SetScripts({"intro.kls", "orbit.kls"});
    movie.SelCol = 31;
    ScriptNode script;
    script.scriptName = "orbit.kls";
    movie.AddScriptRecord(script);
    movie.txtRecords.Load(movie.FindNodeText(true, 31, 1));
    properties->ShowNodeProperties('S');
    EXPECT_EQ(properties->cmbScripts()->currentText(), "orbit.kls");
    properties->cmbScripts()->activated(0);
    EXPECT_EQ(SplitFields(movie.nodeStore.Find(31, 1)->fieldText)[4], "intro.kls");

    properties->ShowNodeProperties('N');
    EXPECT_EQ(properties->ShownKind(), 'N');
    for (char kind : {'C', 'E', 'G', 'R', 'T', 'S'}) EXPECT_FALSE(properties->KindPanel(kind)->isVisible());
    properties->ShowNodeProperties('Z');  // unknown: the panel stays as it was
    EXPECT_EQ(properties->ShownKind(), 'N');
}

TEST_F(PropertiesTest, ReplayStartListStoresTheChosenReplay) {
    movie.SelCol = 0;
    movie.SelRow = 1;
    ReplayNode replay;
    replay.fileName = "race.spr";
    movie.AddReplayRecord(replay);
    movie.SelCol = 60;
    movie.AddStartRecord(StartNode{});
    properties->RefreshReplayStarts();
    ASSERT_EQ(properties->cmbReplayStart()->count(), 1);
    EXPECT_EQ(properties->cmbReplayStart()->itemText(0), "race.spr at cell [0,1]");
    movie.txtRecords.Load(movie.FindNodeText(true, 60, 1));
    properties->ShowNodeProperties('G');
    EXPECT_EQ(properties->lblNodeType()->text(), "Start");
    properties->cmbReplayStart()->activated(0);
    const auto fields = SplitFields(movie.nodeStore.Find(60, 1)->fieldText);
    EXPECT_EQ(fields[4], "race.spr");
    EXPECT_EQ(fields[5], "0");
    EXPECT_EQ(fields[6], "1");
}

TEST_F(PropertiesTest, EffectPanelFillsTheEffectSettings) {
    properties->SetEffects({{"Sepia", "Kinoloop", "Warm brown tones"}, {"Blur", "Kinoloop", "Soft"}});
    movie.SelCol = 40;
    movie.SelRow = 1;
    EffectNode effect;
    effect.effectName = "Blur";
    effect.param1 = 3;
    effect.text = "hello";
    movie.AddEffectRecord(effect);
    movie.txtRecords.Load(movie.FindNodeText(true, 40, 1));
    properties->ShowNodeProperties('E');
    const EffectSettingsControls& c = effectPanel->Controls();
    EXPECT_EQ(c.lblEffect->text(), "Effect: Blur - Kinoloop");
    EXPECT_EQ(c.lblEffectDetails->text(), "Track: Untitled Track Cell: 40");
    EXPECT_EQ(c.txtParam->text(), "3");
    EXPECT_EQ(c.txtMessage->text(), "hello");
    EXPECT_EQ(c.txtEffectID->text(), "1");
    EXPECT_EQ(c.txtAuthorNotes->toPlainText(), "Soft");
    properties->cmbEffects()->activated(0);
    EXPECT_EQ(SplitFields(movie.nodeStore.Find(40, 1)->fieldText)[4], "Sepia");
    EXPECT_EQ(c.txtEffectID->text(), "0");
    properties->ShowNodeProperties('N');
    EXPECT_EQ(c.lblEffect->text(), "Effect: No effect is selected");
    EXPECT_EQ(c.txtEffectID->text(), "-1");
}

}  // namespace
}  // namespace kinoloop
