#include "link/link_handler.h"

#include <gtest/gtest.h>

#include "link_fakes.h"

namespace kinoloop {
namespace {

using testing::FakePorts;
using testing::RecordingSender;
using testing::StatePacket;
using testing::Tagged;
using Lines = std::vector<std::string>;

class LinkHandlerTest : public ::testing::Test {
protected:
    LinkHandlerTest() : handler(movie, settings, sender, fakes.Ports()) { movie.ResetTimeline(60, 25); }

    void Receive(const Datagram& d) { handler.UdpServerRead(d); }

    // A camera node at column 10, row 1, shown in the properties panel.
    void ShowCameraNode() {
        CameraNode node;
        node.column = 10;
        node.row = 1;
        node.length = 25;
        node.x = 1, node.y = 2, node.z = 3;
        node.fieldOfView = 90;
        node.time = 50;
        node.flags = 8;
        movie.SelCol = 10;
        movie.SelRow = 1;
        movie.AddCameraRecord(node);
        movie.txtRecords.Load(movie.FindNodeText(false, 10, 1));
        fakes.panel.cameraVisible = true;
    }

    Datagram CameraPacket(std::uint16_t flags, float fov = 71.5f) {
        CameraPosition c;
        c.x = 65536;
        c.y = -131072;
        c.z = 42;
        c.heading = 16384;
        c.pitch = 300;
        c.roll = 65535;
        c.viewPlayer = 3;
        c.cameraType = 2;
        c.fieldOfView = fov;
        c.timeMs = 999;
        c.flags = flags;
        return BuildCameraPacket(c);
    }

    TSettings settings;
    Movie movie;
    RecordingSender sender;
    FakePorts fakes;
    LinkHandler handler;
};

TEST_F(LinkHandlerTest, StateRunningAndPausedWhileReplayRequestedUnpausesFreezesAndStartsTheClock) {
    movie.CurrentFrame = -1;
    handler.state.ReplayRequested = true;
    Receive(StatePacket(2 | 4 | 128));
    EXPECT_EQ(sender.Lines(), (Lines{"SCH p 0", "TMS 1"}));
    EXPECT_TRUE(fakes.clock.active);
    EXPECT_FALSE(handler.state.Playing) << "a paused report does not set Playing";
    EXPECT_EQ(fakes.panel.label, "Properties");
}

TEST_F(LinkHandlerTest, StatePausedWhilePlayingStopsPlaybackAndBringsThe2DDisplayBack) {
    movie.CurrentFrame = 40;
    handler.state.Playing = true;
    handler.state.ReplayRequested = true;
    fakes.clock.active = true;
    Receive(StatePacket(2 | 4));
    EXPECT_EQ(sender.Lines(), (Lines{"TMS 0", "SCH f 1"}));
    EXPECT_FALSE(handler.state.Playing);
    EXPECT_FALSE(fakes.clock.active);
    EXPECT_EQ(fakes.timeline.soundStops, 1);

    sender.sent.clear();
    Receive(StatePacket(2 | 4 | 128));  // with the 2D display already shown, no key
    EXPECT_EQ(sender.Lines(), (Lines{"TMS 0"}));
}

TEST_F(LinkHandlerTest, FrontEndReport) {
    movie.CurrentFrame = -1;
    Receive(StatePacket(256));
    EXPECT_TRUE(sender.sent.empty()) << "nothing while a replay is awaited";
    EXPECT_EQ(movie.CurrentFrame, -1);

    movie.CurrentFrame = 120;
    handler.state.Playing = true;
    fakes.clock.active = true;
    fakes.poller.Start();
    Receive(StatePacket(256 | 2 | 4));
    EXPECT_EQ(sender.Lines(), (Lines{"TMS 0"}));
    EXPECT_EQ(movie.CurrentFrame, 0);
    EXPECT_FALSE(handler.state.Playing);
    EXPECT_FALSE(fakes.clock.active);
    EXPECT_FALSE(fakes.poller.IsActive());
}

TEST_F(LinkHandlerTest, RunningReportWith2DShownHidesItAndStartsNothingWithoutARequest) {
    movie.CurrentFrame = 30;
    handler.state.Playing = true;
    fakes.poller.Start();
    Receive(StatePacket(2 | 128));
    EXPECT_EQ(sender.Lines(), (Lines{"SCH f 1"}));
    EXPECT_FALSE(fakes.clock.active);
    EXPECT_FALSE(fakes.poller.IsActive());
}

TEST_F(LinkHandlerTest, RunningReportClearsTheCameraPanelAndResumesARequestedReplay) {
    ShowCameraNode();
    movie.CurrentFrame = 5;
    handler.state.ReplayRequested = true;
    Receive(StatePacket(1));  // in game counts as a running replay
    EXPECT_EQ(fakes.panel.shown, "N");
    EXPECT_TRUE(handler.state.Playing);
    EXPECT_EQ(sender.Lines(), (Lines{"TMS 1"}));
    EXPECT_TRUE(fakes.clock.active);
}

TEST_F(LinkHandlerTest, StateGoesToAVisibleHotMomentsWindowOnly) {
    Receive(StatePacket(256));
    EXPECT_TRUE(fakes.hot.states.empty());
    fakes.hot.visible = true;
    Receive(StatePacket(256 | 128));
    ASSERT_EQ(fakes.hot.states.size(), 1u);
    EXPECT_EQ(fakes.hot.states[0].flags, 384);
}

TEST_F(LinkHandlerTest, CameraWhilePausedIsWrittenIntoTheShownNodeAndSentBack) {
    ShowCameraNode();
    handler.state.AwaitingCamera = true;
    Receive(CameraPacket(2 | 4 | 8 | 32 | 128 | 1024, 71.5f));
    const std::vector<std::string>& f = movie.txtRecords.Lines();
    EXPECT_EQ(f[4], "65536");
    EXPECT_EQ(f[5], "-131072");
    EXPECT_EQ(f[6], "42");
    EXPECT_EQ(f[7], "16384");
    EXPECT_EQ(f[8], "300");
    EXPECT_EQ(f[9], "65535");
    EXPECT_EQ(f[10], "3");
    EXPECT_EQ(f[11], "2");
    EXPECT_EQ(f[12], "72") << "71.5 rounds to the even neighbour";
    EXPECT_EQ(f[13], "50") << "the camera's time stays";
    EXPECT_EQ(f[14], std::to_string(8192 + 128 + 32 + 8));
    EXPECT_EQ(movie.FindNodeText(false, 10, 1), movie.txtRecords.FieldText());
    ASSERT_EQ(sender.sent.size(), 1u);
    const CameraPosition back = DecodeCamera(sender.sent[0]);
    EXPECT_EQ(back.flags, 8192 + 128 + 32 + 8);
    EXPECT_EQ(back.timeMs, 2000) << "the node's own 50 frames at 25 fps";
    EXPECT_EQ(back.x, 65536);
    EXPECT_EQ(fakes.panel.shown, "C");
    EXPECT_FALSE(handler.state.AwaitingCamera);
    EXPECT_EQ(handler.state.LastCameraPacket[4 + 2], 1);
}

TEST_F(LinkHandlerTest, CameraWhileRunningStopsPollingAndLeavesTheNode) {
    ShowCameraNode();
    const std::string before = movie.txtRecords.FieldText();
    fakes.poller.Start();
    Receive(CameraPacket(2));
    EXPECT_FALSE(fakes.poller.IsActive());
    EXPECT_EQ(fakes.panel.shown, "N");
    EXPECT_EQ(movie.FindNodeText(false, 10, 1), before);
    EXPECT_TRUE(sender.sent.empty());
    EXPECT_EQ(DecodeCamera(handler.state.LastCameraPacket).x, 65536) << "the last camera is kept anyway";
}

TEST_F(LinkHandlerTest, CameraWithoutPanelOrOutsideAReplayChangesNothing) {
    ShowCameraNode();
    const std::string before = movie.txtRecords.FieldText();
    Receive(CameraPacket(4));  // paused at the front end
    EXPECT_EQ(movie.FindNodeText(false, 10, 1), before);
    fakes.panel.cameraVisible = false;
    Receive(CameraPacket(2 | 4));
    EXPECT_EQ(movie.FindNodeText(false, 10, 1), before);
    EXPECT_TRUE(sender.sent.empty());
}

TEST_F(LinkHandlerTest, CameraWithAnUnusableFieldOfViewLeavesTheNode) {
    ShowCameraNode();
    const std::string before = movie.txtRecords.FieldText();
    Receive(CameraPacket(2 | 4, std::numeric_limits<float>::quiet_NaN()));
    EXPECT_EQ(movie.FindNodeText(false, 10, 1), before);
    EXPECT_TRUE(sender.sent.empty());
}

TEST_F(LinkHandlerTest, AcknowledgementsCarryTheRightWords) {
    struct Case {
        std::string tag;
        std::size_t size;
        std::size_t wordAt;  // 0: packet too short to hold it
        std::uint16_t word;
    };
    for (const Case& c : {Case{"ACK", 8, 0, 0}, Case{"LAP", 92, 90, 11}, Case{"LAP", 60, 0, 0},
                          Case{"SPX", 12, 10, 12}, Case{"CNL", 56, 54, 13}, Case{"PLP", 60, 58, 14},
                          Case{"NCN", 60, 58, 15}, Case{"PLL", 60, 58, 16}, Case{"RES", 108, 106, 17},
                          Case{"REN", 8, 6, 18}}) {
        sender.sent.clear();
        Datagram d = Tagged(c.tag, c.size);
        if (c.wordAt != 0) WriteWord(d, c.wordAt, c.word);
        Receive(d);
        EXPECT_EQ(sender.Lines(), (Lines{"ACK " + std::to_string(c.word)})) << c.tag << " of " << c.size;
    }
    EXPECT_EQ(fakes.hot.stopScans, 1) << "REN also ends the scan";
}

TEST_F(LinkHandlerTest, IgnoredKindsSendNothing) {
    for (const Datagram& d : {Tagged("RTP", 8), Tagged("VER", 20), Tagged("SFP", 8), Tagged("ISM", 40),
                              Tagged("MPE", 10), Tagged("XYZ", 30), Tagged("AC", 2)}) {
        Receive(d);
    }
    EXPECT_TRUE(sender.sent.empty());
}

TEST_F(LinkHandlerTest, OutSimIsKeptWholeEvenWhenItLooksLikeATag) {
    Datagram d = Tagged("STA", 64);
    d[63] = 0x5A;
    WriteWord(d, 8, 256);
    movie.CurrentFrame = 7;
    EXPECT_EQ(handler.UdpServerRead(d), Received::OutSim);
    EXPECT_EQ(handler.state.OutSimData[63], 0x5A);
    EXPECT_EQ(movie.CurrentFrame, 7) << "not taken as a front-end report";
}

TEST_F(LinkHandlerTest, CarDataIsRecordedOnlyWhileAScanRuns) {
    Datagram mci = Tagged("MCI", 204);
    mci[12 + 3] = 5;
    movie.CurrentFrame = 10.5f;
    Receive(mci);
    EXPECT_TRUE(fakes.hot.carFrames.empty());
    fakes.hot.scanning = true;
    Receive(mci);
    ASSERT_EQ(fakes.hot.carFrames, (std::vector<int>{10}));
    EXPECT_EQ(fakes.hot.lastCars[0].plid, 5);
    EXPECT_EQ(fakes.hot.scanLabel, "Scans : 1");
    EXPECT_TRUE(sender.sent.empty()) << "no acknowledgement";
}

TEST_F(LinkHandlerTest, RaceStartIsStoredAcknowledgedAndPlayersAreRequested) {
    Datagram rst = Tagged("RST", 20);
    rst[6] = 6;
    WriteWord(rst, 18, 77);
    Receive(rst);
    EXPECT_EQ(fakes.hot.rstCount, 1);
    EXPECT_EQ(fakes.hot.rst[6], 6);
    const Lines lines = sender.Lines();
    ASSERT_EQ(lines.size(), 257u);
    EXPECT_EQ(lines[0], "ACK 77");
    EXPECT_EQ(lines[1], "NPL 0");
    EXPECT_EQ(lines[256], "NPL 255");
}

TEST_F(LinkHandlerTest, PlayerIsAcknowledgedAndAdded) {
    Datagram npl = Tagged("NPL", 100);
    npl[95] = 9;
    WriteWord(npl, 98, 5);
    Receive(npl);
    EXPECT_EQ(sender.Lines(), (Lines{"ACK 5"}));
    ASSERT_EQ(fakes.hot.players.size(), 1u);
    EXPECT_EQ(fakes.hot.players[0].plid, 9);
}

TEST_F(LinkHandlerTest, SendersAndPlaybackHandOffs) {
    settings.localport = 7123;
    handler.Reconnect();
    handler.ResumePlayback();
    handler.StepSimulator(4);
    handler.HaltPlayback();
    handler.PollCamera();
    EXPECT_EQ(sender.Lines(), (Lines{"ISI 7123", "TMS 1", "STP 4", "TMS 0", "SCP 0"}));
    EXPECT_FALSE(fakes.clock.active);
    EXPECT_EQ(fakes.clock.starts, 1);
}

TEST_F(LinkHandlerTest, StoringACameraNodeSendsItAndABadNodeIsNotSent) {
    ShowCameraNode();
    movie.StoreNodeText(movie.txtRecords.FieldText(), 10, 1);
    EXPECT_EQ(sender.Lines(), (Lines{"CPP flags=8"}));
    movie.txtRecords.SetLine(field::CamZ, "high");
    movie.StoreNodeText(movie.txtRecords.FieldText(), 10, 1);
    EXPECT_EQ(sender.sent.size(), 1u);
}

TEST(StepHundredths, FromFrameRate) {
    EXPECT_EQ(StepHundredthsFor(25), 4);
    EXPECT_EQ(StepHundredthsFor(30), 3);
    EXPECT_EQ(StepHundredthsFor(1), 100);
    EXPECT_EQ(StepHundredthsFor(0), 0);
}

TEST(Placement, HidesTheFrameOutsideThePanel) {
    EXPECT_EQ(SimulatorPlacement(512, 384, 8, 50), (WindowRect{-4, -26, 520, 418}));
    EXPECT_EQ(SimulatorPlacement(512, 384, 0, 0), (WindowRect{0, 0, 512, 384}));
    EXPECT_EQ(SimulatorPlacement(100, 100, 7, 30), (WindowRect{-3, -9, 107, 116}));
}

}  // namespace
}  // namespace kinoloop
