// Quick Preview and Preview Movie of the test movie in the demo simulator: what the simulator received, at which
// replay time, and which sounds played.
#include <gtest/gtest.h>

#include <algorithm>

#include "demo_session.h"

namespace kinoloop::testing {
namespace {

long long CountDetails(const std::vector<SimLogLine>& lines, const std::string& details) {
    return std::count_if(lines.begin(), lines.end(), [&](const SimLogLine& l) { return l.details == details; });
}

const SimLogLine* CameraWithX(const std::vector<SimLogLine>& cameras, int x) {
    const std::string prefix = "x=" + std::to_string(x) + " ";
    for (const SimLogLine& line : cameras) {
        if (line.details.rfind(prefix, 0) == 0) return &line;
    }
    return nullptr;
}

TEST(PlaybackWithDemoSimulator, QuickPreviewStepsFrozenTimeSendsCamerasAndPlaysNoSound) {
    DemoSession session;
    ASSERT_EQ(session.Problem(), "");
    session.BuildPreviewMovie();
    session.notices.Answer('Y');  // the simulator's window is not embedded here: go on
    session.notices.Answer('Y');  // start from the replay start node
    session.playback->transport.QuickPreview1Click();
    ASSERT_TRUE(session.WaitForStop(30000)) << "the stop node ends playback";

    EXPECT_GE(CountDetails(session.Received("TMS"), "1"), 1);
    const std::vector<SimLogLine> steps = session.Received("STP");
    // 250 steps of the move, then one per tick from frame 251 to 500 except frames 351 and 352, which the
    // script's eight steps of one hundredth made.
    EXPECT_EQ(CountDetails(steps, "4"), 250 + 248);
    EXPECT_EQ(CountDetails(steps, "1"), 8);
    const std::vector<SimLogLine> cameras = session.Received("CPP");
    const SimLogLine* cam300 = CameraWithX(cameras, 3000000);
    const SimLogLine* cam400 = CameraWithX(cameras, 4000000);
    ASSERT_NE(cam300, nullptr);
    ASSERT_NE(cam400, nullptr);
    EXPECT_EQ(cam300->replayTime, 300 * 4) << "the camera of frame 300 goes with replay time 12.00 s";
    EXPECT_EQ(cam400->replayTime, 400 * 4);
    // Stop: the time runs again and the simulator pauses, at the stop node's replay time.
    const std::vector<SimLogLine> unfreeze = session.Received("TMS");
    ASSERT_FALSE(unfreeze.empty());
    EXPECT_EQ(unfreeze.back().details, "0");
    EXPECT_EQ(unfreeze.back().replayTime, 500 * 4);
    EXPECT_EQ(session.audio->LastItem(), -1) << "Quick Preview plays no sound";
    EXPECT_EQ(session.playback->modes.LastPlayedFrame, 500);
}

TEST(PlaybackWithDemoSimulator, PreviewMovieSendsEndFirstAndPlaysTheSound) {
    DemoSession session;
    ASSERT_EQ(session.Problem(), "");
    session.BuildPreviewMovie();
    session.notices.Answer('Y');
    session.notices.Answer('Y');
    session.playback->transport.PreviewMovie1Click();
    ASSERT_TRUE(session.WaitForStop(30000));

    const std::vector<SimLogLine> log = session.Log();
    const auto firstEnd = std::find_if(log.begin(), log.end(), [](const SimLogLine& l) {
        return l.direction == "IN" && l.tag == "MST" && l.details.find("/end") != std::string::npos;
    });
    const auto firstLoad = std::find_if(log.begin(), log.end(), [](const SimLogLine& l) {
        return l.direction == "IN" && l.tag == "MST" && l.details.find("/spr demo") != std::string::npos;
    });
    ASSERT_NE(firstEnd, log.end());
    ASSERT_NE(firstLoad, log.end());
    EXPECT_LT(firstEnd - log.begin(), firstLoad - log.begin()) << "/end goes before the replay is loaded";
    EXPECT_EQ(session.audio->Playlist().Count(), 1);
    EXPECT_EQ(session.audio->LastItem(), 0) << "the sound node at 260 played";
}

}  // namespace
}  // namespace kinoloop::testing
