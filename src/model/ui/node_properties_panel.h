#pragma once
// The properties panel under the simulator's view: the common part and one panel per node kind, each editor
// storing the node field buffer back into its node.
#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;

namespace kinoloop {

class Movie;

// What the panel needs from the rest of the program; empty functions are skipped.
struct PropertiesHooks {
    std::function<void()> stopCameraPolling;                 // `tmrGetCamera` off
    std::function<QStringList()> replayFiles;                // `FillReplayList`
    std::function<QString(const QString& file)> trackNameOf;  // track name read from a replay file
    std::function<void(const QString& file)> applyReplay;    // "Apply": the replay goes into the replay node
    std::function<void(const QString& file)> scanReplay;     // "Scan": the hot-moment scan
    std::function<void()> editScript;                        // "Edit Script"
    std::function<void()> browseSound;                       // "Browse" of a sound node
};

// One loaded effect plug-in as the lists show it.
struct EffectEntry {
    QString name, author, notes;
};

// The controls of the effects configuration panel that showing an effect fills.
struct EffectSettingsControls {
    QLabel* lblEffect = nullptr;
    QLabel* lblEffectDetails = nullptr;
    QLineEdit* txtParam = nullptr;
    QLineEdit* txtParam2 = nullptr;
    QLineEdit* txtParam3 = nullptr;
    QLineEdit* txtParam4 = nullptr;
    QLineEdit* txtMessage = nullptr;
    QLineEdit* txtEffectID = nullptr;
    QPlainTextEdit* txtAuthorNotes = nullptr;
};

class NodePropertiesPanel : public QWidget {
    Q_OBJECT
public:
    explicit NodePropertiesPanel(QWidget* parent = nullptr);

    void SetMovie(Movie* movie) { movie_ = movie; }
    void SetHooks(PropertiesHooks hooks) { hooks_ = std::move(hooks); }
    void SetEffectControls(const EffectSettingsControls& controls) { effect_ = controls; }
    void SetEffects(std::vector<EffectEntry> effects);
    void SetScripts(const QStringList& names);

    // `ShowNodeProperties`: the character is the head letter of the node in the buffer, or 'N' for none.
    void ShowNodeProperties(char kind);
    // `RefreshReplayStarts`
    void RefreshReplayStarts();
    // The effect panel's controls before a new effect node is shown: parameters "0", no effect chosen.
    void ResetEffectEditors();

    // Which kind panel shows: 'C', 'E', 'G', 'R', 'T', 'S', or 'N' for none.
    char ShownKind() const { return shown_; }
    QWidget* KindPanel(char kind) const;

    // Controls by their names, for the window's wiring and for tests.
    QLineEdit* CameraBox(int index) const { return cameraBoxes_.at(index); }      // X Y Z heading pitch roll fov
    QPushButton* CameraButton(int index) const { return cameraButtons_.at(index); }
    QSlider* CameraBar(int index) const { return cameraBars_.at(index); }
    QComboBox* cmbPlayer() const { return cmbPlayer_; }
    QComboBox* cmbCamera() const { return cmbCamera_; }
    QComboBox* cmbEffects() const { return cmbEffects_; }
    QComboBox* cmbReplayStart() const { return cmbReplayStart_; }
    QComboBox* cmbReplay() const { return cmbReplay_; }
    QComboBox* cmbScripts() const { return cmbScripts_; }
    QLineEdit* txtSoundFile() const { return txtSoundFile_; }
    QLabel* lblNodeType() const { return lblNodeType_; }
    QLabel* lblTrackName() const { return lblTrackName_; }
    QPushButton* btnApplyReplay() const { return btnApplyReplay_; }
    QPushButton* btnScan() const { return btnScan_; }
    QPushButton* btnEditScript() const { return btnEditScript_; }
    QPushButton* btnBrowseSound() const { return btnBrowseSound_; }
    // `lblPropLabel`, repainted at once.
    void SetPropertiesLabel(const QString& text);
    // The replay panel's track name and picture (no picture for an empty path).
    void ShowTrackName(const QString& track, const QString& picturePath);
    // Hides the seven camera track bars (a click on the camera panel's background).
    void HideCameraBars();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildCommon();
    QWidget* BuildCamera();
    QWidget* BuildEffect();
    QWidget* BuildReplayStart();
    QWidget* BuildReplay();
    QWidget* BuildSound();
    QWidget* BuildScript();
    void ShowPanel(QWidget* panel);
    void FillCamera();
    void FillEffect();
    void ShowEffectChoice(int index);
    void ShowReplayTrack(const QString& replayFile);
    void OpenCameraBar(int index);
    void CameraBarMoved(int index, int position);
    void CameraBoxEntered(int index);
    void ApplyReplay();

    Movie* movie_ = nullptr;
    PropertiesHooks hooks_;
    EffectSettingsControls effect_;
    std::vector<EffectEntry> effects_;
    char shown_ = 'N';
    bool filling_ = false;

    QLabel* lblPropLabel_ = nullptr;
    QLabel* imgPropType_ = nullptr;
    QLabel* lblNodeType_ = nullptr;
    QLabel* lblProject_ = nullptr;
    QLabel* lblAuthor_ = nullptr;
    QWidget* panCamera_ = nullptr;
    QWidget* panEffect_ = nullptr;
    QWidget* panReplayStart_ = nullptr;
    QWidget* panReplay_ = nullptr;
    QWidget* panSound_ = nullptr;
    QWidget* panScript_ = nullptr;
    std::vector<QLineEdit*> cameraBoxes_;
    std::vector<QPushButton*> cameraButtons_;
    std::vector<QSlider*> cameraBars_;
    QComboBox* cmbPlayer_ = nullptr;
    QComboBox* cmbCamera_ = nullptr;
    QComboBox* cmbEffects_ = nullptr;
    QComboBox* cmbReplayStart_ = nullptr;
    QComboBox* cmbReplay_ = nullptr;
    QComboBox* cmbScripts_ = nullptr;
    QLineEdit* txtSoundFile_ = nullptr;
    QLabel* lblTrackName_ = nullptr;
    QLabel* imgTrackName_ = nullptr;
    QPushButton* btnApplyReplay_ = nullptr;
    QPushButton* btnScan_ = nullptr;
    QPushButton* btnEditScript_ = nullptr;
    QPushButton* btnBrowseSound_ = nullptr;
};

}  // namespace kinoloop
