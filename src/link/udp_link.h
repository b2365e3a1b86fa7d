#pragma once
// The two UDP endpoints and the camera polling timer around the receive handler. Everything runs on the thread
// that owns the link (the UI thread): QUdpSocket delivers datagrams there, so no listening thread is needed.
#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <QUdpSocket>
#include <string>

#include "link/link_handler.h"
#include "link/qt_event_pump.h"

namespace kinoloop {

class UdpLink : public QObject, public DatagramSender, public CameraPoller {
    Q_OBJECT
public:
    static constexpr int kCameraPollMs = 750;
    static constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;

    // The camera poller is always this link's `tmrGetCamera`; the event pump is its own unless one is given.
    UdpLink(Movie& movie, const TSettings& settings, const LinkPorts& ports = {}, QObject* parent = nullptr);
    ~UdpLink() override;

    // Points `UdpClient` at host:remoteport and binds `UdpServer` on localport (all local addresses). Done once at
    // start; returns "" or a message naming what failed. Without the server the program goes on unlinked.
    std::string Open();
    bool IsListening() const { return server_.state() == QAbstractSocket::BoundState; }
    quint16 ListeningPort() const { return server_.localPort(); }

    LinkHandler& handler() { return handler_; }
    LinkState& state() { return handler_.state; }
    // Replaces the ports (keeping this link's poller and pump where none is given).
    void SetPorts(const LinkPorts& ports);

    void SendDatagram(ByteView bytes) override;

    // `tmrGetCamera`.
    void Start() override { pollTimer_.start(); }
    void Stop() override { pollTimer_.stop(); }
    bool IsActive() const override { return pollTimer_.isActive(); }

    // Datagrams refused because they came from another host than the simulator's.
    quint64 RefusedDatagrams() const { return refused_; }

signals:
    // After each datagram has been handled (tests and the debug window listen).
    void DatagramHandled(int kind);

private:
    void ReadPending();
    bool FromSimulatorHost(const QHostAddress& sender) const;

    QtEventPump pump_;
    LinkHandler handler_;
    QUdpSocket client_;
    QUdpSocket server_;
    QTimer pollTimer_;
    QHostAddress simulatorHost_;
    quint16 remotePort_ = 0;
    bool clientReady_ = false;
    quint64 refused_ = 0;
};

}  // namespace kinoloop
