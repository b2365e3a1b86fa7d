#include "shell/ui/tfrm_main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include "model/ui/effect_settings_panel.h"
#include "model/ui/properties_panel.h"
#include "model/ui/simulator_port.h"
#include "model/ui/tfrm_note.h"
#include "model/ui/timeline_context_menu.h"
#include "model/ui/timeline_editor.h"
#include "model/ui/timeline_view.h"
#include "model/ui/track_grid_view.h"
#include "platform/global_hot_key.h"
#include "shell/program_folder.h"
#include "shell/ui/balloon.h"
#include "shell/ui/main_actions.h"
#include "shell/ui/main_notices.h"
#include "shell/ui/simulator_panel.h"
#include "shell/ui/startup_rules.h"
#include "shell/ui/startup_sequence.h"
#include "shell/ui/status_strip.h"
#include "shell/ui/tfrm_msg_box.h"

namespace kinoloop {
namespace {

constexpr int kCameraPollMs = 750;

// The editor's view of the simulator link, kept by the main window. The polling timer is the window's own;
// the packets go through the link once it is composed here.
class LinkPort : public SimulatorPort {
public:
    explicit LinkPort(QTimer& poll) : poll_(poll) {}
    // TODO(link): true once the link's window host has found and embedded the simulator's window.
    bool WindowFound() const override { return false; }
    // TODO(link): "CPP" from the node field buffer through the link's SendCameraPacket.
    void SendCamera() override {}
    // TODO(link): "SST" through the link's SendValuePacket.
    void RequestState() override {}
    void StartCameraPolling() override { poll_.start(); }
    void StopCameraPolling() override { poll_.stop(); }
    bool CameraPolling() const override { return poll_.isActive(); }

private:
    QTimer& poll_;
};

QGroupBox* SidePanel(const char* name, const char* caption, QWidget* content) {
    auto* box = new QGroupBox(caption);
    box->setObjectName(name);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(4, 4, 4, 4);
    if (content != nullptr) layout->addWidget(content);
    return box;
}

}  // namespace

TfrmMain::TfrmMain(MainOptions options, QWidget* parent) : QMainWindow(parent), options_(options) {
    setObjectName("frmMain");
    setWindowTitle("Kinoloop");
    resize(906, 727);
    for (QTimer* timer : {&tmrPlay_, &tmrGetCamera_, &tmrPause_, &tmrAutosave_}) timer->stop();
    tmrGetCamera_.setInterval(kCameraPollMs);
    tmrPause_.setSingleShot(true);
    simulator_ = std::make_unique<LinkPort>(tmrGetCamera_);

    BuildRegions();
    windows_ = CreateProgramWindows(this);
    balloons_ = new BalloonPresenter(this, options_.forceToast);
    notices_ = std::make_unique<MainNotices>(windows_.frmMsgBox, balloons_);
    WireCommands();
    RunStartupSequence();
}

TfrmMain::~TfrmMain() = default;

Notices& TfrmMain::notices() { return *notices_; }

QWidget* TfrmMain::simulatorPanel() const { return panMain_->panLFS(); }

void TfrmMain::BuildRegions() {
    actions_ = new MainActions(this);
    auto* central = new QWidget;
    auto* outer = new QHBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(2);
    outer->addWidget(actions_->BuildToolPanel());

    auto* centre = new QSplitter(Qt::Vertical);
    auto* timelineBase = new QWidget;
    timelineBase->setObjectName("panTimelineBase");
    auto* timelineLayout = new QVBoxLayout(timelineBase);
    timelineLayout->setContentsMargins(0, 0, 0, 0);
    timelineLayout->setSpacing(1);
    properties_ = new PropertiesPanel;
    properties_->SetMovie(&movie_);

    status_ = new StatusStrip;
    // The editor is built in WireCommands, once the message box and note window exist.
    timelineLayout->addWidget(status_);
    centre->addWidget(timelineBase);

    panMain_ = new SimulatorPanel;
    centre->addWidget(panMain_);
    centre->addWidget(properties_);
    centre->setStretchFactor(0, 2);
    centre->setStretchFactor(1, 3);
    centre->setStretchFactor(2, 0);
    centre->setSizes({260, 384, 150});
    outer->addWidget(centre, 1);

    panOther_ = new QWidget;
    panOther_->setObjectName("panOther");
    panOther_->setFixedWidth(230);
    auto* side = new QVBoxLayout(panOther_);
    side->setContentsMargins(2, 2, 2, 2);
    auto* wizardStart = new QPushButton("Start");
    wizardStart->setObjectName("btnWizardStart");
    side->addWidget(SidePanel("panWizard", "Getting Started Wizard", wizardStart));
    effectSettings_ = new EffectSettingsPanel;
    side->addWidget(SidePanel("panEffects", "Effects Configuration", effectSettings_));
    QGroupBox* sequence = SidePanel("panSequence", "Intro/Outro Sequence", nullptr);
    sequence->hide();
    side->addWidget(sequence);
    side->addStretch(1);
    outer->addWidget(panOther_);
    setCentralWidget(central);
    properties_->SetEffectControls(effectSettings_->Controls());
}

void TfrmMain::WireCommands() {
    TimelineEditorContext context;
    context.movie = &movie_;
    context.notices = notices_.get();
    context.properties = properties_;
    context.simulator = simulator_.get();
    context.fps = [this] { return settings_.fps; };
    context.prompts = [this] { return settings_.prompts == 1; };
    context.frameChanged = [this] { ShowFrameInfo(); };
    context.showReadout = [this](const QString& text) { status_->lblLastAction->setText(text); };
    editor_ = new TimelineEditor(context);
    auto* timelineLayout = static_cast<QVBoxLayout*>(centralWidget()->findChild<QWidget*>("panTimelineBase")->layout());
    timelineLayout->insertWidget(0, editor_, 1);

    movie_.onLastAction = [this](const std::string& text) { status_->SetLastAction(QString::fromStdString(text)); };
    for (QAction* action : editor_->ContextMenu()->ShortcutActions()) addAction(action);
    connect(editor_->ContextMenu()->AddTimeMarker1, &QAction::triggered, this, &TfrmMain::AddTimeMarker);
    // TODO(foundation): connect the add, edit, distribute and camera-marker items and the track buttons to the
    // node, editing and track commands of model/node_commands.h, editing_commands.h and track_commands.h.

    connect(actions_->ExitKinoloop, &QAction::triggered, this, &QWidget::close);
    connect(actions_->SetupKinoloop, &QAction::triggered, this, [this] { ShowOnTop(windows_.frmSetup); });
    connect(actions_->LoadScriptEditor, &QAction::triggered, this, [this] { ShowOnTop(windows_.frmScripts); });
    connect(actions_->NodeLibrary, &QAction::triggered, this, [this] { ShowOnTop(windows_.frmLibrary); });
    connect(actions_->AboutKinoloop, &QAction::triggered, this, [this] { ShowOnTop(windows_.frmAbout); });
    connect(panMain_, &SimulatorPanel::resized, this, &TfrmMain::panMainResize);
    connect(panMain_, &SimulatorPanel::clicked, this, &TfrmMain::ClickMainPanel);

    PropertiesHooks hooks;
    hooks.stopCameraPolling = [this] { tmrGetCamera_.stop(); };
    hooks.scanReplay = [this] { ShowOnTop(windows_.frmHotMoments); };
    hooks.editScript = [this] { ShowOnTop(windows_.frmScripts); };
    // TODO(link): hooks.replayFiles (FillReplayList), hooks.trackNameOf and hooks.applyReplay from the replay
    // control; TODO(audio): hooks.browseSound from the sound nodes' file dialog.
    properties_->SetHooks(std::move(hooks));

    if (options_.hotKey) {
        hotKey_ = new GlobalHotKey(GlobalHotKey::kF9, this);
        connect(hotKey_, &GlobalHotKey::activated, this, &TfrmMain::AddTimeMarker);
    }
}

void TfrmMain::RunStartupSequence() {
    StartupSequence steps;
    steps.Add("Diagnostics", [this]() -> std::string {
        // TODO(diagnostics): switch on the log file and exception reports when options_.debug is set.
        return {};
    });
    steps.Add("Working state", [this]() -> std::string {
        movie_.NextNodeID = 0;
        movie_.CopiedNodeID = -1;
        RenderSizeLock = false;
        return {};
    });
    steps.Add("Frame sizes", [this]() -> std::string {
        frameExtraWidth_ = frameGeometry().width() - width();
        frameExtraHeight_ = frameGeometry().height() - height();
        return {};
    });
    steps.Add("Settings", [this]() -> std::string {
        // TODO(foundation): settings_ = LoadSettings(OptFolder() / "settings.ini", mixer) once settings.cpp lands;
        // until then the defaults of TSettings stand.
        return {};
    });
    steps.Add("Movie header", [this]() -> std::string {
        movie_.header = MovieHeader{};
        return {};
    });
    steps.Add("Autosave timer", [this]() -> std::string {
        if (const auto timer = AutosaveFromSetting(settings_.autosave)) {
            tmrAutosave_.setInterval(timer->intervalMs);
            if (timer->enabled) tmrAutosave_.start(); else tmrAutosave_.stop();
        }
        return {};
    });
    steps.Add("Process priority", [this]() { return ApplyProcessPriority(settings_.priority); });
    steps.Add("Frame clock", [this]() -> std::string {
        tmrPlay_.setInterval(FrameClockInterval(settings_.fps));
        tmrPlay_.setTimerType(Qt::PreciseTimer);
        return {};
    });
    steps.Add("Timeline", [this]() -> std::string {
        movie_.ResetTimeline(std::max(settings_.timeline, 1) * 60, std::max(settings_.fps, 1));
        RefreshTimeline();
        ShowFrameInfo();
        properties_->ShowNodeProperties('N');
        return {};
    });
    steps.Add("Simulator link", [this]() -> std::string {
        // TODO(link): open the UDP link (host, remoteport, localport) and return its failure text.
        return {};
    });
    steps.Add("Launch picture", [this]() -> std::string {
        const QString picture = QString::fromStdString((ImgFolder() / "loadlfs.jpg").string());
        if (QFile::exists(picture)) panMain_->imgRunLFS()->setPixmap(QPixmap(picture));
        return {};
    });
    steps.Add("Lists", [this]() -> std::string {
        // TODO(link, scripting, render): FillReplayList, the script list and ScanPlugins, in that order.
        return {};
    });
    steps.Add("Audio engine", [this]() -> std::string {
        // TODO(audio): create the audio engine.
        return {};
    });
    steps.Add("Hot key", [this]() -> std::string {
        if (hotKey_ == nullptr || hotKey_->Register()) return {};
        return hotKey_->ErrorText().toStdString();
    });
    steps.Add("Cursors", [this]() -> std::string {
        LoadCustomCursors();
        return {};
    });
    startupFailures_ = steps.Run();
}

void TfrmMain::LoadCustomCursors() {
    // Img/point.cur is the pointing cursor of every clickable control; a missing file keeps the default.
    const QString path = QString::fromStdString((ImgFolder() / "point.cur").string());
    QPixmap picture;
    if (!QFile::exists(path) || !picture.load(path)) return;
    const QCursor point(picture, 0, 0);
    QList<QWidget*> clickable{editor_->Timeline()->viewport(), editor_->Tracks()->viewport(),
                              panMain_->imgRunLFS()};
    for (QToolButton* button : findChildren<QToolButton*>()) clickable.append(button);
    for (QPushButton* button : findChildren<QPushButton*>()) clickable.append(button);
    for (int i = 0; i < 7; ++i) clickable.append(properties_->CameraBar(i));
    for (QWidget* widget : clickable) widget->setCursor(point);
    windows_.frmMsgBox->LeftButton()->setCursor(point);
    windows_.frmMsgBox->RightButton()->setCursor(point);
}

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    QMetaObject::invokeMethod(this, &TfrmMain::RunShowSequence, Qt::QueuedConnection);
}

void TfrmMain::RunShowSequence() {
    // Without a window manager a maximise request is not honoured: take the screen's free area as well.
    if (QScreen* screen = this->screen()) setGeometry(screen->availableGeometry());
    showMaximized();
    if (settings_.firstrun == 1) ShowOnTop(windows_.frmSetup);
    if (settings_.scale == 1) {
        panMain_->panLFS()->resize(panMain_->width() - 150, panMain_->height() - 40);
    } else {
        panMain_->panLFS()->resize(512, 384);
    }
    QCoreApplication::processEvents();
    panMainResize();
    notices_->ShowBalloon(kBalloonTitle,
                          "Welcome to Kinoloop 2\r\nRemember to check out the Wizard located to\r\nthe top right of "
                          "the main window",
                          BalloonKind::Information, kBalloonLongMs);
    if (!startupFailures_.empty()) {
        std::string text = "Kinoloop started with problems:";
        for (const std::string& failure : startupFailures_) text += "\n" + failure;
        notices_->Inform(text);
    }
}

void TfrmMain::panMainResize() {
    QWidget* panel = panMain_->panLFS();
    if (settings_.scale == 1 && !RenderSizeLock) {
        panel->resize(std::max(panMain_->width() - 150, 1), std::max(panMain_->height() - 40, 1));
    }
    panMain_->CentrePanels();
    // TODO(link): move the embedded simulator window to x -(FrameExtraWidth div 2), y 3 x FrameExtraWidth -
    // FrameExtraHeight, size panel + frame sizes, through the window host.
}

void TfrmMain::ClickMainPanel() {
    movie_.txtRecords.Clear();
    tmrGetCamera_.stop();
    properties_->ShowNodeProperties('N');
}

void TfrmMain::ShowFrameInfo() {
    status_->ShowFrameInfo(kinoloop::ShowFrameInfo(movie_.CurrentFrame, settings_.format, settings_.fps));
}

void TfrmMain::RefreshTimeline() {
    if (editor_ != nullptr) editor_->RefreshGrids();
}

void TfrmMain::BringToFront() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

void TfrmMain::AddTimeMarker() {
    // TODO(foundation): the time-marker command of model/node_commands.h (find or add the "Time Markers" track,
    // write "M" at the current frame), then RefreshTimeline().
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->ignore();
        return;
    }
    closing_ = true;
    const bool exit =
        notices_->ShowMsgBox(icon::Information, buttons::YesNo, kProductName,
                             "Are you sure you want to exit Kinoloop? Any unsaved work will be lost") == 'Y';
    closing_ = false;
    if (!exit) {
        event->ignore();
        return;
    }
    event->accept();
    QCoreApplication::quit();
}

}  // namespace kinoloop
