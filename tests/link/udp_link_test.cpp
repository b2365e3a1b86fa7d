// The link over real UDP sockets on loopback: a QUdpSocket plays the simulator.
#include "link/udp_link.h"

#include <QNetworkDatagram>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include "link/event_wait.h"
#include "link_fakes.h"

namespace kinoloop {
namespace {

using namespace std::chrono_literals;

quint16 FreePort() {
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

class UdpLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings.localport = FreePort();
        ASSERT_TRUE(simulator.bind(QHostAddress::LocalHost, 0));
        settings.remoteport = simulator.localPort();
        settings.admin = "pw";
        movie.ResetTimeline(60, 25);
        link = std::make_unique<UdpLink>(movie, settings, fakes.Ports());
    }

    // Datagrams the simulator receives within the time.
    std::vector<Datagram> Receive(std::size_t count, std::chrono::milliseconds limit = 2000ms) {
        std::vector<Datagram> got;
        ServeEventsUntil(
            [&] {
                while (simulator.hasPendingDatagrams()) {
                    const QByteArray d = simulator.receiveDatagram().data();
                    got.emplace_back(d.begin(), d.end());
                }
                return got.size() >= count;
            },
            {}, limit);
        return got;
    }

    void FromSimulator(QUdpSocket& socket, const Datagram& d) {
        socket.writeDatagram(reinterpret_cast<const char*>(d.data()), static_cast<qint64>(d.size()),
                             QHostAddress::LocalHost, static_cast<quint16>(settings.localport));
    }

    TSettings settings;
    Movie movie;
    testing::FakePorts fakes;
    QUdpSocket simulator;
    std::unique_ptr<UdpLink> link;
};

TEST_F(UdpLinkTest, InitAnnouncesTheLocalPortAndAcknowledgementsComeBack) {
    ASSERT_EQ(link->Open(), "");
    EXPECT_TRUE(link->IsListening());
    link->handler().SendInSimInit();
    std::vector<Datagram> got = Receive(1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(ReadText(got[0], 0, 4), "ISI");
    EXPECT_EQ(ReadWord(got[0], 4), settings.localport);
    EXPECT_EQ(ReadText(got[0], 8, 16), "pw");

    Datagram lap = testing::Tagged("LAP", 92);
    WriteWord(lap, 90, 4242);
    FromSimulator(simulator, testing::Tagged("ACK", 8));
    FromSimulator(simulator, lap);
    got = Receive(2);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], BuildValuePacket("ACK", 0));
    EXPECT_EQ(got[1], BuildValuePacket("ACK", 4242));
}

TEST_F(UdpLinkTest, DatagramsFromAnotherHostAreRefused) {
    ASSERT_EQ(link->Open(), "");
    QUdpSocket stranger;
    ASSERT_TRUE(stranger.bind(QHostAddress("127.0.0.3"), 0));
    FromSimulator(stranger, testing::Tagged("ACK", 8));
    ServeEventsUntil([&] { return link->RefusedDatagrams() > 0; }, {}, 2000ms);
    EXPECT_EQ(link->RefusedDatagrams(), 1u);
    EXPECT_TRUE(Receive(1, 200ms).empty());
}

TEST_F(UdpLinkTest, BindFailureNamesThePortAndSendingStillWorks) {
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::Any, static_cast<quint16>(settings.localport)));
    const std::string message = link->Open();
    EXPECT_NE(message.find("port " + std::to_string(settings.localport)), std::string::npos) << message;
    EXPECT_FALSE(link->IsListening());
    link->handler().SendValuePacket("SST", 0);
    EXPECT_EQ(Receive(1).size(), 1u);
}

TEST_F(UdpLinkTest, InvalidSettingsAreReported) {
    settings.localport = 70000;
    settings.host = "no such host.invalid";
    const std::string message = link->Open();
    EXPECT_NE(message.find("no such host.invalid"), std::string::npos) << message;
    EXPECT_NE(message.find("70000"), std::string::npos) << message;
}

TEST_F(UdpLinkTest, PollingWhilePausedFillsTheCameraNodeAndSendsItBack) {
    ASSERT_EQ(link->Open(), "");
    CameraNode node;
    node.column = 3;
    node.row = 1;
    node.fieldOfView = 90;
    node.time = 25;
    movie.SelCol = 3;
    movie.SelRow = 1;
    movie.AddCameraRecord(node);
    movie.txtRecords.Load(movie.FindNodeText(false, 3, 1));
    fakes.panel.cameraVisible = true;

    link->Start();  // tmrGetCamera
    EXPECT_TRUE(link->IsActive());
    std::vector<Datagram> got = Receive(1, 1500ms);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], BuildValuePacket("SCP", 0));

    CameraPosition c;
    c.x = 111;
    c.fieldOfView = 60.4f;
    c.flags = 2 | 4;
    FromSimulator(simulator, BuildCameraPacket(c));
    got = Receive(1);
    ASSERT_EQ(got.size(), 1u);
    const CameraPosition back = DecodeCamera(got[0]);
    EXPECT_EQ(back.flags, 8192);
    EXPECT_EQ(back.x, 111);
    EXPECT_EQ(back.timeMs, 1000);
    EXPECT_EQ(movie.txtRecords.Line(field::CamFov), "60");
    EXPECT_TRUE(link->IsActive()) << "polling goes on while the simulator is paused";

    c.flags = 2;  // running: polling stops
    FromSimulator(simulator, BuildCameraPacket(c));
    ServeEventsUntil([&] { return !link->IsActive(); }, {}, 2000ms);
    EXPECT_FALSE(link->IsActive());
}

}  // namespace
}  // namespace kinoloop
