#include "shell/ui/tfrm_main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QSlider>
#include <QTabBar>
#include <QVBoxLayout>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include "diagnostics/ui/diagnostics.h"
#include "model/ui/effect_settings_panel.h"
#include "project/project_file.h"
#include "model/ui/node_properties_panel.h"
#include "audio/pulse_mixer.h"
#include "link/replay_control.h"
#include "link/simulator_launcher.h"
#include "link/udp_link.h"
#include "playback/ui/tfrm_debug.h"
#include "playback/wiring/playback_system.h"
#include "scripting/script_files.h"
#include "model/ui/simulator_port.h"
#include "model/ui/timeline_commands.h"
#include "model/ui/tfrm_note.h"
#include "model/ui/timeline_context_menu.h"
#include "model/ui/timeline_editor.h"
#include "model/ui/timeline_grid_view.h"
#include "model/ui/track_grid_view.h"
#include "platform/global_hot_key.h"
#include "platform/x11_window_host.h"
#include "shell/program_folder.h"
#include "shell/settings.h"
#include "shell/ui/balloon.h"
#include "shell/ui/link_adapters.h"
#include "shell/ui/main_actions.h"
#include "shell/ui/main_notices.h"
#include "shell/ui/movie_files.h"
#include "shell/ui/moment_conversions.h"
#include "shell/ui/screenshot_commands.h"
#include "shell/ui/tfrm_hot_moments.h"
#include "shell/ui/sound_browse.h"
#include "shell/ui/playback_parts.h"
#include "shell/ui/simulator_panel.h"
#include "shell/ui/startup_rules.h"
#include "shell/ui/startup_sequence.h"
#include "shell/ui/status_strip.h"
#include "shell/ui/tfrm_msg_box.h"

namespace kinoloop {
namespace {

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
    for (QTimer* timer : {&tmrPause_, &tmrAutosave_}) timer->stop();
    tmrPause_.setSingleShot(true);

    BuildRegions();
    windows_ = CreateProgramWindows(this);
    balloons_ = new BalloonPresenter(this, options_.forceToast);
    notices_ = std::make_unique<MainNotices>(windows_.frmMsgBox, balloons_);
    link_ = std::make_unique<UdpLink>(movie_, settings_);
    replays_ = std::make_unique<ReplayControl>(link_->handler(), *notices_);
    // The simulator's X11 window becomes a child of panLFS; without X11 the host is null and the simulator keeps
    // its own window.
    windowHost_ = X11WindowHost::Open(static_cast<NativeWindow>(panMain_->panLFS()->winId()));
    launcher_ = std::make_unique<SimulatorLauncher>(link_->handler(), *notices_, windowHost_.get());
    connect(panMain_, &SimulatorPanel::runSimulatorClicked, this, [this] { launcher_->imgRunLFSClick(); });
    connect(actions_->AdjustLFSToFit, &QAction::triggered, this, [this] { launcher_->AdjustLfsToFit(); });
    playback_ = std::make_unique<PlaybackSystem>(movie_, settings_, *notices_, *link_, *replays_);
    simulator_ = std::make_unique<LinkForEditor>(*link_);
    cameraWait_ = std::make_unique<LinkCameraWait>(*link_);
    WireCommands();
    RunStartupSequence();
}

TfrmMain::~TfrmMain() {
    // The companion windows go with the main window's children, after the link: the scan window says goodbye
    // to the simulator now.
    windows_.frmHotMoments->ShutDown();
    // Back to the root window first: a window destroyed with its parent panel would end the simulator.
    if (launcher_) launcher_->ReleaseSimulatorWindow();
}

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
    properties_ = new NodePropertiesPanel;
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

    TimelineCommandsContext commandContext;
    commandContext.movie = &movie_;
    commandContext.notices = notices_.get();
    commandContext.editor = editor_;
    commandContext.properties = properties_;
    commandContext.simulator = simulator_.get();
    commandContext.note = windows_.frmNote;
    commandContext.cameraWait = cameraWait_.get();
    commandContext.prompts = [this] { return settings_.prompts == 1; };
    commandContext.resetSimulator = [this] { link_->handler().SendMessagePacket("MST", "/end"); };
    TrackButtons trackButtons{status_->btnAddRow, status_->btnDeleteRow, status_->btnMoveUp, status_->btnMoveDown,
                              status_->btnLock};
    commands_ = new TimelineCommands(commandContext, trackButtons, this);

    // The link reads and drives the properties panel and the timeline through their ports.
    panelForLink_ = std::make_unique<PanelForLink>(*properties_);
    timelineForLink_ = std::make_unique<TimelineForLink>(*editor_->Timeline());
    LinkPorts ports;
    ports.panel = panelForLink_.get();
    ports.timeline = timelineForLink_.get();
    ports.carData = &windows_.frmHotMoments->recorder();
    ports.hotMoments = windows_.frmHotMoments;
    playback_->FillLinkPorts(ports);
    link_->SetPorts(ports);

    Transport& transport = playback_->transport;
    connect(actions_->QuickPreview, &QAction::triggered, this, [&transport] { transport.QuickPreview1Click(); });
    connect(actions_->PreviewMovie, &QAction::triggered, this, [&transport] { transport.PreviewMovie1Click(); });
    connect(actions_->DebugMovie, &QAction::triggered, this, [&transport] { transport.DebugMovie1Click(); });
    connect(actions_->StopPlayback, &QAction::triggered, this, [this, &transport] {
        replays_->StopWaiting();
        transport.btnStopMovieClick();
    });
    // Each frame the clock plays is shown, and kept in the middle of the timeline while the movie plays.
    transport.onFrameChanged = [this] {
        if (link_->state().Playing) editor_->Timeline()->FollowFrame(static_cast<int>(RoundHalfEven(movie_.CurrentFrame)));
        editor_->Timeline()->viewport()->update();
        ShowFrameInfo();
    };
    // The script runner, audio, recorder, capture and film assembly are attached at start-up (AttachPlaybackParts).
    connect(actions_->RenderMovie, &QAction::triggered, this, [this] { playback_->render.RenderMovie(); });
    const auto moveHere = [this](bool play) {
        replays_->MoveLfsHere(play, properties_->cmbReplay()->currentText().toStdString(),
                              playback_->modes.LastPlayedFrame);
    };
    connect(editor_->ContextMenu()->MoveLFSHereAndPlay1, &QAction::triggered, this, [moveHere] { moveHere(true); });
    connect(editor_->ContextMenu()->MoveLFSHereAndPause1, &QAction::triggered, this, [moveHere] { moveHere(false); });
    connect(actions_->UnFreezeLFS, &QAction::triggered, this, [this] { replays_->UnFreeze(); });
    connect(actions_->ReconnectKinoloop, &QAction::triggered, this, [this] { link_->handler().Reconnect(); });

    WireMovieFiles();
    WireScreenshots();
    HotMomentsContext scan;
    scan.movie = &movie_;
    scan.notices = notices_.get();
    scan.sendValue = [this](std::string_view tag, std::int32_t value) { link_->handler().SendValuePacket(tag, value); };
    scan.quickPreview = [&transport] { transport.QuickPreview1Click(); };
    scan.stopPlayback = [this] { actions_->StopPlayback->trigger(); };
    scan.trackNameOf = [this](const std::string& replay) {
        QString upper = QString::fromStdString(replay).toUpper();
        return replays_->ReadReplayTrackName(replay, upper.endsWith(".SPR"));
    };
    scan.refreshTimeline = [this] {
        RefreshTimeline();
        ShowFrameInfo();
    };
    windows_.frmHotMoments->SetContext(std::move(scan));
    MomentConversionsContext conversions;
    conversions.movie = &movie_;
    conversions.notices = notices_.get();
    conversions.moments = &windows_.frmHotMoments->moments();
    conversions.refresh = [this] { RefreshTimeline(); };
    momentConversions_ = new MomentConversions(std::move(conversions), *editor_->ContextMenu(), this);
    connect(actions_->ExitKinoloop, &QAction::triggered, this, &QWidget::close);
    connect(actions_->SetupKinoloop, &QAction::triggered, this, [this] { ShowOnTop(windows_.frmSetup); });
    connect(actions_->LoadScriptEditor, &QAction::triggered, this, [this] { ShowOnTop(windows_.frmScripts); });
    connect(actions_->NodeLibrary, &QAction::triggered, this, [this] { ShowOnTop(windows_.frmLibrary); });
    connect(actions_->AboutKinoloop, &QAction::triggered, this, [this] { ShowOnTop(windows_.frmAbout); });
    connect(panMain_, &SimulatorPanel::resized, this, &TfrmMain::panMainResize);
    connect(panMain_, &SimulatorPanel::clicked, this, &TfrmMain::ClickMainPanel);

    PropertiesHooks hooks;
    hooks.stopCameraPolling = [this] { link_->Stop(); };
    hooks.replayFiles = [this] {
        QStringList files;
        for (const std::string& file : replays_->FillReplayList()) files << QString::fromStdString(file);
        return files;
    };
    hooks.trackNameOf = [this](const QString& file) {
        return QString::fromStdString(
            replays_->ReadReplayTrackName(file.toStdString(), file.toUpper().endsWith(".SPR")));
    };
    hooks.applyReplay = [this](const QString& file) { replays_->btnApplyReplayClick(file.toStdString()); };
    hooks.scanReplay = [this](const QString& file) { replays_->btnScanClick(file.toStdString()); };
    hooks.editScript = [this] { ShowOnTop(windows_.frmScripts); };
    SoundBrowseContext sound;
    sound.movie = &movie_;
    sound.notices = notices_.get();
    sound.measure = [this]() -> SoundFileMeasure* {
        return playbackParts_ ? &playbackParts_->engines().audio : nullptr;
    };
    sound.fps = [this] { return std::max(settings_.fps, 1); };
    sound.shown = [this](bool stored, const std::string& path) {
        if (stored) properties_->txtSoundFile()->setText(QString::fromStdString(path));
        RefreshTimeline();
    };
    soundBrowse_ = std::make_unique<SoundBrowse>(std::move(sound));
    hooks.browseSound = [this] { soundBrowse_->Browse(); };
    properties_->SetHooks(std::move(hooks));

    if (options_.hotKey) {
        hotKey_ = new GlobalHotKey(GlobalHotKey::kF9, this);
        connect(hotKey_, &GlobalHotKey::activated, this, &TfrmMain::AddTimeMarker);
    }
}

void TfrmMain::WireMovieFiles() {
    MovieFilesContext context;
    context.movie = &movie_;
    context.notices = notices_.get();
    context.modes = &playback_->modes;
    context.timelineSeconds = [this] { return std::max(settings_.timeline, 1) * 60; };
    context.fps = [this] { return std::max(settings_.fps, 1); };
    context.refresh = [this] {
        RefreshTimeline();
        properties_->RefreshReplayStarts();
        properties_->ShowNodeProperties('N');
        ShowFrameInfo();
    };
    context.open = [this](const std::string& path) { return OpenProjectFile(path); };
    movieFiles_ = std::make_unique<MovieFiles>(std::move(context));
    MovieFiles* files = movieFiles_.get();
    connect(actions_->StartNewMovie, &QAction::triggered, this, [files] { files->StartNewMovie(); });
    connect(actions_->OpenMovie, &QAction::triggered, this, [files] { files->OpenMovieClick(); });
    connect(actions_->SaveMovie, &QAction::triggered, this, [files] { files->SaveMovieClick(); });
    connect(&tmrAutosave_, &QTimer::timeout, this, [files] { files->Autosave(); });
}

void TfrmMain::WireScreenshots() {
    ScreenshotContext context;
    context.notices = notices_.get();
    context.simulatorWindowFound = [this] { return link_->state().SimulatorWindow != 0; };
    context.capture = [this]() -> PanelCapture* {
        return playbackParts_ ? &playbackParts_->engines().panelCapture : nullptr;
    };
    context.placement = [this] { return playbackParts_ ? playbackParts_->Placement() : PanelPlacement{}; };
    context.setLastAction = [this](const std::string& text) { movie_.SetLastAction(text); };
    context.openUrl = options_.openUrl;
    screenshots_ = std::make_unique<ScreenshotCommands>(std::move(context));
    ScreenshotCommands* shots = screenshots_.get();
    connect(actions_->Screenshot, &QAction::triggered, this, [shots] { shots->Screenshot1Click(); });
    connect(actions_->OpenMoviesFolder, &QAction::triggered, this, [shots] { shots->OpenMoviesFolder1Click(); });
}

void TfrmMain::RunStartupSequence() {
    StartupSequence steps;
    steps.Add("Diagnostics", [this]() -> std::string {
        // The log records the main window's creation as the first procedure entered.
        if (options_.debug && options_.diagnostics != nullptr) {
            options_.diagnostics->SwitchOn("TfrmMain::RunStartupSequence");
        }
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
        // The audio keys missing from the file default from the recording mixer; without a sound server they
        // keep their built-in values.
        PulseMixer mixer;
        settings_ = LoadSettings(OptFolder() / "settings.ini", &mixer);
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
        playback_->ApplySettings();
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
        return link_->Open();
    });
    steps.Add("Launch picture", [this]() -> std::string {
        const QString picture = QString::fromStdString((ImgFolder() / "loadlfs.jpg").string());
        if (QFile::exists(picture)) panMain_->imgRunLFS()->setPixmap(QPixmap(picture));
        return {};
    });
    steps.Add("Lists", [this]() -> std::string {
        properties_->cmbReplay()->clear();
        for (const std::string& file : replays_->FillReplayList()) {
            properties_->cmbReplay()->addItem(QString::fromStdString(file));
        }
        QStringList scripts;
        for (const std::string& name : FillScriptList(ScrFolder())) scripts << QString::fromStdString(name);
        properties_->SetScripts(scripts);
        return {};
    });
    // The plug-in scan, the audio engine, the recorder and the capture behind the playback system.
    steps.Add("Playback parts", [this]() -> std::string {
        AttachPlaybackParts();
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

void TfrmMain::AttachPlaybackParts() {
    PlaybackPartsContext context;
    context.simulatorPanel = panMain_->panLFS();
    context.setSizeLock = [this](bool locked) {
        RenderSizeLock = locked;
        if (!locked && settings_.scale != 1) panMain_->panLFS()->resize(512, 384);
    };
    context.placeSimulator = [this] { panMainResize(); };
    context.setControlsEnabled = [this](bool enabled) { SetRenderControlsEnabled(enabled); };
    context.debug = static_cast<TfrmDebug*>(windows_.frmDebug);
    playbackParts_ = std::make_unique<PlaybackParts>(*playback_, std::move(context), *notices_);
    std::vector<EffectEntry> effects;
    for (const TPlugin& plugin : playbackParts_->engines().plugins.plugins) {
        effects.push_back({QString::fromStdString(plugin.name), QString::fromStdString(plugin.author),
                           QString::fromStdString(plugin.notes)});
    }
    properties_->SetEffects(std::move(effects));
}

void TfrmMain::SetRenderControlsEnabled(bool enabled) {
    // While a render records only "Stop" stays usable: anything else would change what is being filmed.
    for (QWidget* region : {static_cast<QWidget*>(editor_), static_cast<QWidget*>(properties_),
                            static_cast<QWidget*>(status_), panOther_}) {
        region->setEnabled(enabled);
    }
    for (QAction* action : actions_->findChildren<QAction*>()) {
        if (action != actions_->StopPlayback) action->setEnabled(enabled);
    }
}

void TfrmMain::LoadCustomCursors() {
    // Cursors 2 and 3 are registered for what may use them; cursor 1 (Img/point.cur) is the pointing cursor of
    // every clickable control, and a missing file keeps the controls' default.
    cursors_.Load(ImgFolder());
    if (!cursors_.Has(CustomCursors::kPoint)) return;
    const QCursor point = cursors_.Cursor(CustomCursors::kPoint);
    QList<QWidget*> clickable{editor_->Timeline()->viewport(), editor_->Tracks()->viewport(),
                              panMain_->imgRunLFS()};
    for (QToolButton* button : findChildren<QToolButton*>()) clickable.append(button);
    for (QPushButton* button : findChildren<QPushButton*>()) clickable.append(button);
    for (int i = 0; i < 7; ++i) clickable.append(properties_->CameraBar(i));
    // The scan window's buttons are children of this window already; its sliders, tabs and list are not buttons.
    TfrmHotMoments* scan = windows_.frmHotMoments;
    clickable << scan->trkDistThreshold << scan->trkDriftThreshold << scan->trkAngVel << scan->TabSet1
              << scan->lstMoments->viewport();
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
    if (launcher_) launcher_->PlaceSimulatorWindow();
}

void TfrmMain::ClickMainPanel() {
    movie_.txtRecords.Clear();
    link_->Stop();
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
    // Qt stamps its focus request with the time of the last X event it saw. When the request to come forward
    // is the first thing in a while, the server drops a request older than the last focus change (without a
    // window manager nobody else gives the focus), so it is asked again with the server's present time.
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 != nullptr && windowHandle() != nullptr && windowHandle()->isExposed()) {
        xcb_set_input_focus(x11->connection(), XCB_INPUT_FOCUS_PARENT, static_cast<xcb_window_t>(winId()),
                            XCB_CURRENT_TIME);
        xcb_flush(x11->connection());
    }
}

bool TfrmMain::OpenProjectFile(const std::string& path) {
    const Status opened = OpenMovie(movie_, path);
    if (!opened) {
        notices_->Inform(opened.Message());
        return false;
    }
    RefreshTimeline();
    properties_->RefreshReplayStarts();
    properties_->ShowNodeProperties('N');
    ShowFrameInfo();
    return true;
}

void TfrmMain::AddTimeMarker() { commands_->AddTimeMarker(); }

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
