#include "simulator.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkDatagram>
#include <QTextStream>
#include <algorithm>
#include <cmath>

namespace demosim {

namespace {
constexpr qint64 kLoadHoldMs = 500;
constexpr int kTickMs = 10;

QString Quoted(const std::string& s) { return "\"" + QString::fromLatin1(s.data(), static_cast<int>(s.size())) + "\""; }

QString CameraDetails(const Bytes& p) {
    return QString("x=%1 y=%2 z=%3 heading=%4 pitch=%5 roll=%6 player=%7 camera=%8 fov=%9 time=%10 flags=%11")
        .arg(GetI32(p, 4)).arg(GetI32(p, 8)).arg(GetI32(p, 12)).arg(GetU16(p, 16)).arg(GetU16(p, 18))
        .arg(GetU16(p, 20)).arg(GetU8(p, 22)).arg(GetU8(p, 23)).arg(static_cast<double>(GetF32(p, 24)), 0, 'g', 9)
        .arg(GetU16(p, 28)).arg(GetU16(p, 30));
}
}  // namespace

Simulator::Simulator(const Options& options, QObject* parent) : QObject(parent), options_(options) {
    connect(&socket_, &QUdpSocket::readyRead, this, &Simulator::ReadDatagrams);
    connect(&tick_, &QTimer::timeout, this, &Simulator::Tick);
}

bool Simulator::Start(QString& why) {
    wall_.start();
    if (!options_.logPath.isEmpty()) {
        log_.setFileName(options_.logPath);
        if (!log_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            why = "cannot write the log " + options_.logPath + ": " + log_.errorString();
            return false;
        }
    }
    if (options_.insimPort > 0) {
        if (!socket_.bind(QHostAddress::Any, static_cast<quint16>(options_.insimPort))) {
            why = QString("cannot listen on InSim port %1: %2").arg(options_.insimPort).arg(socket_.errorString());
            return false;
        }
        // Kinoloop asks for all 256 players in one burst; the default buffer would drop the packets after it.
        socket_.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4 * 1024 * 1024);
    }
    Log("NOTE", "START", QString("insim=%1 title=\"%2\"").arg(options_.insimPort).arg(options_.title));
    tick_.start(kTickMs);
    return true;
}

void Simulator::Log(const char* direction, const QString& tag, const QString& details) {
    if (!log_.isOpen()) return;
    QTextStream out(&log_);
    out << wall_.elapsed() << ' ' << ReplayTime() << ' ' << direction << ' ' << tag;
    if (!details.isEmpty()) out << ' ' << details;
    out << '\n';
    out.flush();
}

void Simulator::Send(const Bytes& bytes, const QString& tag, const QString& details) {
    if (!linked_) return;
    socket_.writeDatagram(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()), peer_,
                          peerPort_);
    Log("OUT", tag, details);
}

void Simulator::ReadDatagrams() {
    while (socket_.hasPendingDatagrams()) {
        const QNetworkDatagram d = socket_.receiveDatagram();
        const QByteArray data = d.data();
        Bytes p(data.begin(), data.end());
        if (GetText(p, 0, 4) == "ISI" && p.size() >= 24) {
            peer_ = d.senderAddress();
            peerPort_ = GetU16(p, 4);
            linked_ = true;
        }
        Handle(p);
    }
}

void Simulator::Handle(const Bytes& p) {
    if (p.size() < 4) {
        Log("IN", "?", QString("size=%1").arg(p.size()));
        return;
    }
    const std::string tag = GetText(p, 0, 4);
    const QString qtag = QString::fromStdString(tag);
    const std::int32_t value = GetI32(p, 4);
    if (tag == "ISI") {
        Log("IN", qtag, QString("port=%1 options=%2 options2=%3 admin=%4")
                            .arg(GetU16(p, 4)).arg(GetU8(p, 6)).arg(GetU8(p, 7)).arg(Quoted(GetText(p, 8, 16))));
    } else if (tag == "MST") {
        const std::string text = GetText(p, 4, 64);
        Log("IN", qtag, Quoted(text));
        HandleCommand(text);
    } else if (tag == "SCH") {
        const std::uint8_t key = GetU8(p, 4);
        const QString keyText = key >= 33 && key < 127 ? QString(QChar(key)) : QString::number(key);
        Log("IN", qtag, QString("key=%1 flags=%2").arg(keyText).arg(GetU8(p, 5)));
        PressKey(static_cast<char>(key));
    } else if (tag == "SFP") {
        const std::uint16_t flag = GetU16(p, 4);
        const std::uint8_t on = GetU8(p, 6);
        Log("IN", qtag, QString("flag=%1 on=%2").arg(flag).arg(on));
        // Only the sound switch is honoured; other flags are the real simulator's business.
        if (flag == kSoundMute) flags_ = on ? (flags_ | kSoundMute) : (flags_ & ~kSoundMute);
    } else if (tag == "CPP") {
        Log("IN", qtag, CameraDetails(p));
        HandleCamera(p);
    } else {
        Log("IN", qtag, QString::number(value));
        if (tag == "TMS") {
            frozen_ = value != 0;
        } else if (tag == "STP") {
            if (frozen_ && replay_ && value > 0) time_ = std::min<double>(time_ + value, replay_->LengthHundredths());
        } else if (tag == "SST") {
            SendState();
        } else if (tag == "SCP") {
            SendCamera();
        } else if (tag == "VER") {
            SendVersion();
        } else if (tag == "NLI") {
            carIntervalMs_ = std::max(0, value);
            nextCarsMs_ = wall_.elapsed();
        } else if (tag == "SSP") {
            outSimHundredths_ = std::max(0, value);
            nextOutSimMs_ = wall_.elapsed();
        } else if (tag == "NPL") {
            SendPlayer(value);
        }
    }
    emit Changed();
}

void Simulator::HandleCommand(const std::string& text) {
    if (text == "/end") {
        replay_.reset();
        replayName_.clear();
        time_ = 0;
        SetFlags(static_cast<std::uint16_t>(kFrontEnd | kShow2D | (flags_ & kSoundMute)));
        return;
    }
    if (text.rfind("/spr ", 0) == 0) return LoadReplay(text.substr(5), false);
    if (text.rfind("/mpr ", 0) == 0) return LoadReplay(text.substr(5), true);
    Log("NOTE", "COMMAND", "ignored");
}

void Simulator::LoadReplay(const std::string& name, bool multiplayer) {
    const QDir folder(options_.dataFolder + (multiplayer ? "/data/mpr" : "/data/spr"));
    const QString wanted = QString::fromStdString(name) + (multiplayer ? ".mpr" : ".spr");
    QString path;
    for (const QString& entry : folder.entryList(QDir::Files)) {
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0) path = folder.filePath(entry);
    }
    std::string why = "no such replay";
    std::optional<Replay> loaded = path.isEmpty() ? std::nullopt : LoadReplayFile(path.toStdString(), why);
    if (!loaded) {
        Log("NOTE", "REPLAY", QString("\"%1\" not loaded: %2").arg(wanted, QString::fromStdString(why)));
        return;
    }
    replay_ = std::move(loaded);
    replayName_ = wanted;
    time_ = 0;
    endReported_ = false;
    holdUntilMs_ = wall_.elapsed() + kLoadHoldMs;
    Log("NOTE", "REPLAY", QString("\"%1\" loaded, %2 cars, %3 hundredths")
                              .arg(wanted).arg(replay_->names.size()).arg(replay_->LengthHundredths()));
    SetFlags(static_cast<std::uint16_t>(kReplay | kShow2D | (flags_ & kSoundMute)));
    SendRaceStart();
}

void Simulator::SetFlags(std::uint16_t flags) {
    const bool changed = flags != flags_;
    flags_ = flags;
    if (changed) SendState();
    emit Changed();
}

void Simulator::PressKey(char key) {
    if (key == 'p' && replay_) {
        SetFlags(flags_ ^ kPaused);
    } else if (key == 'f') {
        SetFlags(flags_ ^ kShow2D);
    }
}

void Simulator::HandleCamera(const Bytes& p) {
    Camera to = camera_;
    to.x = GetI32(p, 4);
    to.y = GetI32(p, 8);
    to.z = GetI32(p, 12);
    to.heading = GetU16(p, 16);
    to.pitch = GetU16(p, 18);
    to.roll = GetU16(p, 20);
    to.viewPlayer = GetU8(p, 22);
    to.cameraType = GetU8(p, 23);
    const float fov = GetF32(p, 24);
    if (std::isfinite(fov) && fov > 1 && fov < 179) to.fov = fov;
    to.flags = GetU16(p, 30);
    const int ms = GetU16(p, 28);
    cameraFrom_ = camera_;
    cameraTo_ = to;
    cameraStartMs_ = wall_.elapsed();
    cameraEndMs_ = cameraStartMs_ + ms;
    if (ms == 0) camera_ = to;
}

void Simulator::Tick() {
    const qint64 now = wall_.elapsed();
    const qint64 dt = now - lastTickMs_;
    lastTickMs_ = now;
    if (replay_ && !frozen_ && !(flags_ & kPaused) && now >= holdUntilMs_) {
        time_ = std::min<double>(time_ + dt / 10.0, replay_->LengthHundredths());
    }
    if (replay_ && !endReported_ && time_ >= replay_->LengthHundredths()) {
        endReported_ = true;
        const std::uint16_t request = NextRequestWord();
        Send(Writer("REN", 8).U16(6, request).bytes(), "REN", QString("req=%1").arg(request));
    }
    if (now < cameraEndMs_) {
        const double f = static_cast<double>(now - cameraStartMs_) / static_cast<double>(cameraEndMs_ - cameraStartMs_);
        auto mix = [f](double a, double b) { return a + (b - a) * f; };
        auto mixAngle = [f](double a, double b) {
            double d = std::fmod(b - a, 65536.0);
            if (d > 32768) d -= 65536;
            if (d < -32768) d += 65536;
            return a + d * f;
        };
        camera_ = cameraTo_;
        camera_.x = mix(cameraFrom_.x, cameraTo_.x);
        camera_.y = mix(cameraFrom_.y, cameraTo_.y);
        camera_.z = mix(cameraFrom_.z, cameraTo_.z);
        camera_.heading = mixAngle(cameraFrom_.heading, cameraTo_.heading);
        camera_.pitch = mixAngle(cameraFrom_.pitch, cameraTo_.pitch);
        camera_.roll = mixAngle(cameraFrom_.roll, cameraTo_.roll);
        camera_.fov = mix(cameraFrom_.fov, cameraTo_.fov);
    } else if (cameraEndMs_ != 0) {
        camera_ = cameraTo_;
        cameraEndMs_ = 0;
    }
    if (carIntervalMs_ > 0 && now >= nextCarsMs_) {
        nextCarsMs_ = now + carIntervalMs_;
        SendCars();
    }
    if (outSimHundredths_ > 0 && now >= nextOutSimMs_) {
        nextOutSimMs_ = now + outSimHundredths_ * 10;
        SendOutSim();
    }
    emit Changed();
}

void Simulator::SendState() {
    Writer w("STA", 28);
    w.U16(8, flags_);
    if (replay_) {
        w.U8(12, static_cast<std::uint8_t>(replay_->names.size())).U8(13, 1).U8(15, 1).U8(17, 5);
        w.Text(20, 6, replay_->track).U8(27, 1);
    }
    Send(w.bytes(), "STA", QString("flags=%1 players=%2 track=%3")
                               .arg(flags_).arg(replay_ ? replay_->names.size() : 0)
                               .arg(Quoted(replay_ ? replay_->track : std::string())));
}

void Simulator::SendCamera() {
    const std::uint16_t stateBits = flags_ & (kInGame | kReplay | kPaused | kShow2D | kFrontEnd);
    const std::uint16_t cameraBits = camera_.flags & (8 | 16 | 32 | 64 | kViewOverride);
    Writer w("CPP", 32);
    w.I32(4, static_cast<std::int32_t>(std::lround(camera_.x)))
        .I32(8, static_cast<std::int32_t>(std::lround(camera_.y)))
        .I32(12, static_cast<std::int32_t>(std::lround(camera_.z)))
        .U16(16, static_cast<std::uint16_t>(std::lround(camera_.heading)))
        .U16(18, static_cast<std::uint16_t>(std::lround(camera_.pitch)))
        .U16(20, static_cast<std::uint16_t>(std::lround(camera_.roll)))
        .U8(22, camera_.viewPlayer).U8(23, camera_.cameraType)
        .F32(24, static_cast<float>(camera_.fov)).U16(28, 0)
        .U16(30, static_cast<std::uint16_t>(stateBits | cameraBits));
    Send(w.bytes(), "CPP", CameraDetails(w.bytes()));
}

void Simulator::SendCars() {
    if (!replay_) return;
    Writer w("MCI", 204);
    const std::size_t cars = std::min<std::size_t>(8, replay_->names.size());
    w.U8(5, static_cast<std::uint8_t>(cars));
    for (std::size_t c = 0; c < cars; ++c) {
        const CarSample s = replay_->CarAt(c, ReplayTime());
        const std::size_t at = 12 + 24 * c;
        w.U16(at, 0).U8(at + 2, 1).U8(at + 3, replay_->plids[c]).I32(at + 4, s.x).I32(at + 8, s.y)
            .I32(at + 12, s.z).U16(at + 16, s.speed).U16(at + 18, s.direction).U16(at + 20, s.heading)
            .U16(at + 22, static_cast<std::uint16_t>(s.angVel));
    }
    Send(w.bytes(), "MCI", QString("cars=%1").arg(cars));
}

void Simulator::SendOutSim() {
    if (!replay_) return;
    std::size_t car = 0;
    for (std::size_t c = 0; c < replay_->plids.size(); ++c)
        if (replay_->plids[c] == camera_.viewPlayer) car = c;
    const CarSample s = replay_->CarAt(car, ReplayTime());
    constexpr double kTurn = 2 * 3.14159265358979323846 / 65536.0;
    Writer w(64);
    w.I32(0, static_cast<std::int32_t>(ReplayTime() * 10)).F32(12, static_cast<float>(s.angVel * kTurn * 4))
        .F32(16, static_cast<float>(s.heading * kTurn)).F32(40, static_cast<float>(s.speed / 327.68))
        .I32(52, s.x).I32(56, s.y).I32(60, s.z);
    Send(w.bytes(), "OUTSIM", QString("time=%1").arg(ReplayTime() * 10));
}

void Simulator::SendVersion() {
    Writer w("VER", 20);
    w.Text(4, 8, "0.1D").Text(12, 6, "DEMO").U16(18, 1);
    Send(w.bytes(), "VER", "version=\"0.1D\" product=\"DEMO\" insim=1");
}

void Simulator::SendRaceStart() {
    if (!replay_) return;
    Writer w("RST", 20);
    w.U8(4, 5).U8(5, 0).U8(6, static_cast<std::uint8_t>(replay_->names.size())).Text(8, 6, replay_->track);
    const std::uint16_t request = NextRequestWord();
    w.U16(18, request);
    Send(w.bytes(), "RST", QString("players=%1 req=%2").arg(replay_->names.size()).arg(request));
}

void Simulator::SendPlayer(int plid) {
    if (!replay_) return;
    for (std::size_t c = 0; c < replay_->plids.size(); ++c) {
        if (replay_->plids[c] != plid) continue;
        const std::uint16_t request = NextRequestWord();
        Writer w("NPL", 100);
        w.Text(4, 24, replay_->names[c]).Text(28, 24, "DEMO CAR").Text(52, 8, "XRT").U8(95, replay_->plids[c])
            .U8(96, replay_->plids[c]).U16(98, request);
        Send(w.bytes(), "NPL", QString("plid=%1 name=%2 req=%3").arg(plid).arg(Quoted(replay_->names[c]))
                                   .arg(request));
    }
}

}  // namespace demosim
