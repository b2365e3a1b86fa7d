#pragma once
// `TfrmHotMoments` ("Hot Moment Scan"): the thresholds, starting and stopping a scan of the movie's replay,
// the race information and the hot moments found, and "Add To Timeline". It owns the hot-moment recorder; the
// link hands it the cars and players of a scan (`recorder()`) and sees it as its `HotMomentsWindow` port.
#include <QDialog>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "hotmoments/moment_nodes.h"
#include "hotmoments/moments.h"
#include "hotmoments/recorder_sink.h"
#include "link/link_ports.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QStackedWidget;
class QTabBar;
class QTreeWidget;

namespace kinoloop {

class Notices;

struct HotMomentsContext {
    Movie* movie = nullptr;
    Notices* notices = nullptr;
    std::function<void(std::string_view tag, std::int32_t value)> sendValue;  // "NLI", "ISC" to the simulator
    std::function<void()> quickPreview;  // plays the movie's replay in the simulator
    std::function<void()> stopPlayback;  // the main window's "Stop Playback"
    std::function<std::string(const std::string& replay)> trackNameOf;  // "" when it cannot be read
    std::function<void()> refreshTimeline;  // after "Add To Timeline" added a track
};

class TfrmHotMoments : public QDialog, public HotMomentsWindow {
    Q_OBJECT
public:
    static constexpr int kDefaultDistance = 60;
    static constexpr int kDefaultDrift = 100;
    static constexpr int kDefaultAngVel = 4000;

    explicit TfrmHotMoments(QWidget* parent = nullptr);
    ~TfrmHotMoments() override;

    // The main window gives the window what it talks to once the link and the movie exist.
    void SetContext(HotMomentsContext context) { ctx_ = std::move(context); }
    // The end of the program: stops the refresh and tells the simulator to stop sending car data ("ISC" 0);
    // afterwards the window talks to nothing. The main window calls it while the link still exists.
    void ShutDown();

    // The recorder, created with the window and kept for the program's life.
    TMoments& moments() { return moments_; }
    // The link's car-data port: records go into the recorder unchanged.
    CarDataSink& recorder() { return sink_; }

    // HotMomentsWindow
    bool IsVisible() const override { return isVisible(); }
    bool ScanRunning() const override;
    void ShowRaceInfo(const StateReport& state) override;
    void StoreRst(const std::array<std::uint8_t, packet::kRstSize>& record) override { lastRst_ = record; }
    void ShowScanCount(const std::string& text) override;
    void StopScan() override { btnStopScanClick(); }
    void SetupScan(const std::string& replayName) override;

    void btnStartScanClick();
    void btnStopScanClick();
    void btnExitClick();
    void btnDefaultClick();
    void btnAddToTimelineClick();
    // `tmrDisplayMomentsTimer`: analyses the recorder and refills the list.
    void RefreshMoments();

    // The list's rows as text, top to bottom (what "Add To Timeline" takes).
    std::vector<MomentListRow> ListedRows() const;
    const std::array<std::uint8_t, packet::kRstSize>& LastRst() const { return lastRst_; }
    const StateReport& LastState() const { return lastState_; }
    const std::string& ReplayName() const { return replayName_; }
    const std::string& TrackName() const { return trackName_; }
    QTimer& tmrDisplayMoments() { return tmrDisplayMoments_; }

    QTabBar* TabSet1;
    QStackedWidget* pages;
    QPushButton* btnExit;
    // Configure
    QLabel* lblDistance;
    QSlider* trkDistThreshold;
    QLabel* lblDrift;
    QSlider* trkDriftThreshold;
    QLabel* lblAV;
    QSlider* trkAngVel;
    QPushButton* btnDefault;
    // Start/Stop Scan
    QLabel* lblScan;
    QLabel* imgTrackName;
    QLabel* lblLocation;
    QLabel* lblPlayers;
    QLabel* lblNumConnections;
    QLabel* lblNumFinished;
    QLabel* lblRaceProgress;
    QLabel* lblQualMins;
    QLabel* lblRaceLaps;
    QLabel* lblWeather;
    QLabel* lblWind;
    QLabel* lblStatus;
    QLabel* lblHint;
    QPushButton* btnStopScan;
    QPushButton* btnStartScan;
    // Hot Moments
    QLabel* lblHotMomentsNumber;
    QLabel* lblScanNumber;
    QComboBox* cmbInterval;
    QTreeWidget* lstMoments;
    QPushButton* btnAddToTimeline;

private:
    QWidget* BuildConfigurePage();
    QWidget* BuildScanPage();
    QWidget* BuildMomentsPage();
    void ShowSliderLabels();
    void ResetRaceLabels();
    void SetIdle();

    HotMomentsContext ctx_;
    TMoments moments_;
    RecorderSink sink_{moments_};
    QTimer tmrDisplayMoments_;
    std::string replayName_;
    std::string trackName_;
    StateReport lastState_;
    std::array<std::uint8_t, packet::kRstSize> lastRst_{};
};

}  // namespace kinoloop
