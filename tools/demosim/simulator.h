#pragma once
// The demo simulator's state and its InSim/OutSim conversation over UDP.
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <QUdpSocket>
#include <optional>

#include "replay.h"
#include "wire.h"

namespace demosim {

struct Camera {
    double x = 0, y = -200 * 65536.0, z = 120 * 65536.0;  // map units
    double heading = 0, pitch = 5461, roll = 0;           // words: 65536 = full turn; pitch > 0 looks down
    double fov = 90;                                      // degrees
    std::uint8_t viewPlayer = 255;
    std::uint8_t cameraType = 4;
    std::uint16_t flags = 0;  // the camera's own bits (Shift+U modes, view override)
};

struct Options {
    QString title = "Live for Speed";
    QString logPath;
    QString dataFolder;  // holds data/spr and data/mpr
    bool headless = false;
    int insimPort = 0;  // 0: InSim off
};

class Simulator : public QObject {
    Q_OBJECT
public:
    explicit Simulator(const Options& options, QObject* parent = nullptr);

    // Opens the log and binds the InSim port. False with a reason when that fails.
    bool Start(QString& why);

    std::uint16_t Flags() const { return flags_; }
    std::uint32_t ReplayTime() const { return static_cast<std::uint32_t>(time_); }
    bool Frozen() const { return frozen_; }
    const std::optional<Replay>& LoadedReplay() const { return replay_; }
    const QString& ReplayName() const { return replayName_; }
    const Camera& CurrentCamera() const { return camera_; }

    // Keys pressed in the window, as "SCH" keys.
    void PressKey(char key);

signals:
    void Changed();

private:
    void ReadDatagrams();
    void Handle(const Bytes& p);
    void HandleCommand(const std::string& text);
    void HandleCamera(const Bytes& p);
    void Tick();
    void LoadReplay(const std::string& name, bool multiplayer);
    void SetFlags(std::uint16_t flags);

    void Send(const Bytes& bytes, const QString& tag, const QString& details);
    void SendState();
    void SendCamera();
    void SendCars();
    void SendOutSim();
    void SendVersion();
    void SendRaceStart();
    void SendPlayer(int plid);
    std::uint16_t NextRequestWord() { return ++requestWord_; }

    void Log(const char* direction, const QString& tag, const QString& details);

    Options options_;
    QUdpSocket socket_;
    QFile log_;
    QElapsedTimer wall_;
    QTimer tick_;
    qint64 lastTickMs_ = 0;

    QHostAddress peer_;
    quint16 peerPort_ = 0;
    bool linked_ = false;

    std::uint16_t flags_ = kFrontEnd | kShow2D;
    bool frozen_ = false;
    double time_ = 0;             // replay time in hundredths
    qint64 holdUntilMs_ = 0;      // a freshly loaded replay waits this long before its time runs
    bool endReported_ = false;
    std::optional<Replay> replay_;
    QString replayName_;

    Camera camera_;
    Camera cameraFrom_, cameraTo_;
    qint64 cameraStartMs_ = 0, cameraEndMs_ = 0;

    int carIntervalMs_ = 0;       // "NLI"
    qint64 nextCarsMs_ = 0;
    int outSimHundredths_ = 0;    // "SSP"
    qint64 nextOutSimMs_ = 0;
    std::uint16_t requestWord_ = 0;
};

}  // namespace demosim
