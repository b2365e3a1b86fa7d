#pragma once
// `TfrmMain`: the main window. It owns the movie, the settings and the services, lays out the regions and wires
// menus, buttons and timers to them; the work itself is done by the objects it composes.
#include <QMainWindow>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/movie.h"
#include "shell/settings.h"
#include "shell/ui/custom_cursors.h"
#include "shell/ui/program_windows.h"

class QLabel;

namespace kinoloop {

class BalloonPresenter;
class Diagnostics;
class CameraWait;
class PanelForLink;
class MovieFiles;
class MomentConversions;
class SoundBrowse;
class ScreenshotCommands;
class PlaybackParts;
class PlaybackSystem;
class ReplayControl;
class TimelineCommands;
class TimelineForLink;
class UdpLink;
class EffectSettingsPanel;
class GlobalHotKey;
class MainActions;
class MainNotices;
class Notices;
class NodePropertiesPanel;
class SimulatorLauncher;
class SimulatorPanel;
class SimulatorWindowHost;
class SimulatorPort;
class StatusStrip;
class TimelineEditor;

struct MainOptions {
    bool debug = false;       // "/debug" was the first argument
    bool forceToast = false;  // balloons as in-window toasts even where a tray exists
    bool hotKey = true;       // grab F9 on the X root window
    Diagnostics* diagnostics = nullptr;  // what "/debug" switches on (the application's)
    std::function<bool(const QUrl&)> openUrl;  // hands a folder to the desktop; QDesktopServices by default
};

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(MainOptions options = {}, QWidget* parent = nullptr);
    ~TfrmMain() override;

    Movie& movie() { return movie_; }
    TSettings& settings() { return settings_; }
    Notices& notices();
    const ProgramWindows& windows() const { return windows_; }
    TimelineEditor* editor() const { return editor_; }
    NodePropertiesPanel* properties() const { return properties_; }
    StatusStrip* statusStrip() const { return status_; }
    MainActions* actions() const { return actions_; }
    BalloonPresenter* balloons() const { return balloons_; }
    GlobalHotKey* hotKey() const { return hotKey_; }
    QWidget* simulatorPanel() const;  // `panLFS`, the parent of the embedded simulator window
    PlaybackSystem& playback() { return *playback_; }
    PlaybackParts* playbackParts() const { return playbackParts_.get(); }
    MovieFiles* movieFiles() const { return movieFiles_.get(); }
    SoundBrowse* soundBrowse() const { return soundBrowse_.get(); }
    ScreenshotCommands* screenshots() const { return screenshots_.get(); }
    MomentConversions* momentConversions() const { return momentConversions_; }
    const CustomCursors& cursors() const { return cursors_; }
    QTimer& tmrAutosave() { return tmrAutosave_; }
    UdpLink& link() { return *link_; }
    ReplayControl& replays() { return *replays_; }
    SimulatorLauncher& launcher() { return *launcher_; }
    TimelineCommands* commands() const { return commands_; }
    const std::vector<std::string>& StartupFailures() const { return startupFailures_; }

    int FrameExtraWidth() const { return frameExtraWidth_; }
    int FrameExtraHeight() const { return frameExtraHeight_; }
    bool RenderSizeLock = false;

    // Shows the frame labels for CurrentFrame (`ShowFrameInfo`).
    void ShowFrameInfo();
    // Re-places the simulator panel in `panMain` and the simulator's window in the panel.
    void panMainResize();
    // The movie's grids changed size or content outside the editor (new movie, opened file, track commands).
    void RefreshTimeline();
    // Brings the window to the front (a second start asked for it).
    void BringToFront();
    // Opens a project file into the movie (a file named on the command line); a damaged or missing file is
    // reported and the movie stays as it was. True when the movie was replaced.
    bool OpenProjectFile(const std::string& path);
    // Drops a time marker at the current frame (F9 and "Add Time Marker").
    void AddTimeMarker();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildRegions();
    void WireCommands();
    void RunStartupSequence();
    void RunShowSequence();
    void LoadCustomCursors();
    void ClickMainPanel();
    void AttachPlaybackParts();
    void WireMovieFiles();
    void WireScreenshots();
    void SetRenderControlsEnabled(bool enabled);

    MainOptions options_;
    Movie movie_;
    TSettings settings_;
    std::unique_ptr<UdpLink> link_;
    std::unique_ptr<ReplayControl> replays_;
    // The simulator's window: found, embedded into panLFS and placed; null host where X11 is not available.
    std::unique_ptr<SimulatorWindowHost> windowHost_;
    std::unique_ptr<SimulatorLauncher> launcher_;
    std::unique_ptr<PlaybackSystem> playback_;
    std::unique_ptr<PlaybackParts> playbackParts_;
    std::unique_ptr<MovieFiles> movieFiles_;
    std::unique_ptr<SoundBrowse> soundBrowse_;
    std::unique_ptr<ScreenshotCommands> screenshots_;
    std::unique_ptr<SimulatorPort> simulator_;
    std::unique_ptr<CameraWait> cameraWait_;
    std::unique_ptr<PanelForLink> panelForLink_;
    std::unique_ptr<TimelineForLink> timelineForLink_;
    TimelineCommands* commands_ = nullptr;
    MomentConversions* momentConversions_ = nullptr;
    MainActions* actions_ = nullptr;
    StatusStrip* status_ = nullptr;
    TimelineEditor* editor_ = nullptr;
    NodePropertiesPanel* properties_ = nullptr;
    EffectSettingsPanel* effectSettings_ = nullptr;
    SimulatorPanel* panMain_ = nullptr;
    QWidget* panOther_ = nullptr;
    BalloonPresenter* balloons_ = nullptr;
    std::unique_ptr<MainNotices> notices_;
    ProgramWindows windows_;
    GlobalHotKey* hotKey_ = nullptr;
    QTimer tmrPause_;
    QTimer tmrAutosave_;
    CustomCursors cursors_;
    int frameExtraWidth_ = 0;
    int frameExtraHeight_ = 0;
    bool shown_ = false;
    bool closing_ = false;
    std::vector<std::string> startupFailures_;
};

}  // namespace kinoloop
