#include "link/udp_link.h"

#include <QHostInfo>
#include <QNetworkDatagram>
#include <QVariant>

namespace kinoloop {

namespace {
// The link owns `tmrGetCamera`, so it is always the poller; the pump is its own unless one is given.
LinkPorts WithOwn(LinkPorts ports, CameraPoller* poller, EventPump* pump) {
    ports.cameraPoller = poller;
    if (ports.pump == nullptr) ports.pump = pump;
    return ports;
}
}  // namespace

UdpLink::UdpLink(Movie& movie, const TSettings& settings, const LinkPorts& ports, QObject* parent)
    : QObject(parent), handler_(movie, settings, *this, WithOwn(ports, this, &pump_)) {
    pollTimer_.setInterval(kCameraPollMs);
    connect(&pollTimer_, &QTimer::timeout, this, [this] {
        // Errors of the poll are ignored by design: the next tick asks again.
        handler_.PollCamera();
    });
    connect(&server_, &QUdpSocket::readyRead, this, &UdpLink::ReadPending);
}

UdpLink::~UdpLink() = default;

void UdpLink::SetPorts(const LinkPorts& ports) { handler_.SetPorts(WithOwn(ports, this, &pump_)); }

std::string UdpLink::Open() {
    const TSettings& s = handler_.settings();
    std::string problems;
    QHostAddress host(QString::fromStdString(s.host));
    if (host.isNull()) {
        const QHostInfo info = QHostInfo::fromName(QString::fromStdString(s.host));
        if (!info.addresses().isEmpty()) host = info.addresses().first();
    }
    if (host.isNull() || s.remoteport < 1 || s.remoteport > 65535) {
        problems += "Kinoloop cannot send to Live for Speed at '" + s.host + "' port " +
                    std::to_string(s.remoteport) + ": the host or port is not valid. Check them in Setup.";
    } else {
        simulatorHost_ = host;
        remotePort_ = static_cast<quint16>(s.remoteport);
        clientReady_ = true;
    }
    const bool portValid = s.localport >= 1 && s.localport <= 65535;
    if (!portValid || !server_.bind(QHostAddress::Any, static_cast<quint16>(portValid ? s.localport : 0))) {
        if (!problems.empty()) problems += "\n";
        problems += "Kinoloop cannot listen for Live for Speed on UDP port " + std::to_string(s.localport) + ": " +
                    (portValid ? server_.errorString().toStdString() : std::string("not a valid port")) +
                    ". The simulator link stays off until the next start; choose another local port in Setup.";
    }
    if (IsListening()) {
        // Bursts (256 player answers, car data while the UI is busy) must not overflow the default buffer.
        server_.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(int{kReceiveBufferBytes}));
    }
    return problems;
}

void UdpLink::SendDatagram(ByteView bytes) {
    if (!clientReady_) return;
    client_.writeDatagram(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()),
                          simulatorHost_, remotePort_);
}

bool UdpLink::FromSimulatorHost(const QHostAddress& sender) const {
    if (!clientReady_) return false;
    bool ok = false;
    const quint32 v4 = sender.toIPv4Address(&ok);
    const QHostAddress plain = ok ? QHostAddress(v4) : sender;
    if (plain.isEqual(simulatorHost_, QHostAddress::TolerantConversion)) return true;
    // "localhost" may resolve to ::1 while the simulator answers from 127.0.0.1, or the other way round.
    const auto isLocalHost = [](const QHostAddress& a) {
        return a == QHostAddress(QHostAddress::LocalHost) || a == QHostAddress(QHostAddress::LocalHostIPv6);
    };
    return isLocalHost(simulatorHost_) && isLocalHost(plain);
}

void UdpLink::ReadPending() {
    while (server_.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = server_.receiveDatagram();
        if (!FromSimulatorHost(datagram.senderAddress())) {
            ++refused_;
            continue;
        }
        const QByteArray data = datagram.data();
        const Received kind = handler_.UdpServerRead(
            ByteView(reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())));
        emit DatagramHandled(static_cast<int>(kind));
    }
}

}  // namespace kinoloop
