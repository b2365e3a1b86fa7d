// The host names of the bridge against the in-memory simulator: the frame arithmetic of COM_step_time, the
// field widths of the camera values, case-insensitive names, the frame clock switch and the pause.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>

#include "qt_app.h"
#include "script_support.h"
#include "scripting/memory_simulator.h"
#include "scripting/pascal/interpreter.h"
#include "scripting/pascal/output_host.h"
#include "scripting/script_bridge.h"

namespace kinoloop::testing {
namespace {

using pascal::Value;

struct Rig {
    explicit Rig(int fps = 25) : sim(fps), bridge(sim) {}
    Value Get(const char* name, std::vector<Value> args = {}) {
        Value v;
        EXPECT_TRUE(bridge.ScriptGetValue(name, args, v)) << name;
        return v;
    }
    // Runs statements as Main with WriteLn and the bridge; returns the printed text (and any error).
    std::string Run(const std::string& body, const std::string& decls = "") {
        return RunScript("unit T;\n" + decls + "\nprocedure Main;\nbegin\n" + body + "\nend;\nend.\n",
                         &bridge);
    }
    MemorySimulator sim;
    ScriptBridge bridge;
};

TEST(StepTime, FourStepsOfOneAdvanceOneFrameAtTheFourth) {
    Rig rig;
    rig.sim.SetCurrentFrame(10);
    const float expected[] = {10, 10, 10, 11};
    for (float frame : expected) {
        rig.Get("COM_step_time", {Value(1)});
        EXPECT_FLOAT_EQ(rig.sim.CurrentFrame(), frame);
    }
    EXPECT_EQ(rig.sim.Sent(), (std::vector<std::string>{"STP 1", "STP 1", "STP 1", "STP 1"}));
    EXPECT_EQ(rig.sim.FramesCarriedOut(), std::vector<int>{11});
    EXPECT_FLOAT_EQ(rig.bridge.StepRemainder(), 0);
}

TEST(StepTime, TenHundredthsAdvanceTwoAndAHalfFrames) {
    Rig rig;
    rig.Get("COM_step_time", {Value(10)});
    EXPECT_EQ(rig.sim.Sent(), std::vector<std::string>{"STP 10"});
    EXPECT_FLOAT_EQ(rig.sim.CurrentFrame(), 2.5f);
}

TEST(StepTime, AtThirtyFramesTheStepIsAThirdOfTen) {
    Rig rig(30);
    rig.Get("COM_step_time", {Value(3)});
    EXPECT_FLOAT_EQ(rig.sim.CurrentFrame(), 0) << "3 < 3.333";
    rig.Get("COM_step_time", {Value(3)});
    EXPECT_NEAR(rig.sim.CurrentFrame(), 6 / (100.0 / 30), 1e-5);
}

TEST(StepTime, DoesNothingWhileTheFrameClockRuns) {
    Rig rig;
    rig.sim.SetFrameClock(true);
    rig.Get("COM_step_time", {Value(10)});
    EXPECT_TRUE(rig.sim.Sent().empty());
    EXPECT_FLOAT_EQ(rig.sim.CurrentFrame(), 0);
}

TEST(StepTime, CapturesOnEveryCallWhileRendering) {
    Rig rig;
    rig.sim.SetRendering(true);
    for (int i = 0; i < 3; ++i) rig.Get("COM_step_time", {Value(1)});
    EXPECT_EQ(rig.sim.Captures(), 3) << "also when the frame did not advance";
}

TEST(FrameClock, StopInternalTimeFalseSwitchesTheClockOn) {
    Rig rig;
    ASSERT_FALSE(rig.sim.FrameClockOn());
    rig.Get("COM_step_time", {Value(1)});
    EXPECT_FLOAT_EQ(rig.bridge.StepRemainder(), 1);
    rig.Get("COM_stop_internal_time", {Value(false)});
    EXPECT_TRUE(rig.sim.FrameClockOn());
    EXPECT_FLOAT_EQ(rig.bridge.StepRemainder(), 0);
    rig.Get("COM_stop_internal_time", {Value(true)});
    EXPECT_FALSE(rig.sim.FrameClockOn());
}

struct CameraCase {
    const char* name;
    Value stored;
    Value read;
};

class CameraValues : public ::testing::TestWithParam<CameraCase> {};

TEST_P(CameraValues, AreStoredWithinTheirFieldWidths) {
    const CameraCase& c = GetParam();
    Rig rig;
    EXPECT_TRUE(rig.bridge.ScriptSetValue(c.name, c.stored));
    Value v = rig.Get(c.name);
    if (c.read.IsFloat())
        EXPECT_DOUBLE_EQ(v.ToFloat(), c.read.RawFloat()) << c.name;
    else
        EXPECT_EQ(v.ToInt(), c.read.ToInt()) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Bridge, CameraValues,
    ::testing::Values(CameraCase{"_camera_pos_x", Value(-123456789), Value(-123456789)},
                      CameraCase{"_camera_pos_y", Value(5.5), Value(6)},
                      CameraCase{"_camera_pos_z", Value(std::int64_t{4294967296LL + 7}), Value(7)},
                      CameraCase{"_camera_heading", Value(65536 + 5), Value(5)},
                      CameraCase{"_camera_pitch", Value(-1), Value(65535)},
                      CameraCase{"_camera_roll", Value(70000), Value(70000 - 65536)},
                      CameraCase{"_camera_viewplayer", Value(256 + 7), Value(7)},
                      CameraCase{"_camera_ingamecam", Value(3), Value(3)},
                      CameraCase{"_camera_fov", Value(33.3), Value(static_cast<double>(33.3f))},
                      CameraCase{"_camera_time", Value(66000), Value(66000 - 65536)},
                      CameraCase{"_camera_flags", Value(8 + 8192), Value(8200)}),
    [](const auto& info) { return std::string(info.param.name).substr(1); });

TEST(CameraValues, HeadingGoesToItsBytesOfTheRecord) {
    Rig rig;
    EXPECT_EQ(rig.Run("_camera_heading := 65536 + 5;"), "");
    EXPECT_EQ(rig.sim.LastCameraPacket()[packet::cpp::Heading], 5);
    EXPECT_EQ(rig.sim.LastCameraPacket()[packet::cpp::Heading + 1], 0);
}

TEST(Names, AreMatchedWithoutRegardToCase) {
    Rig rig;
    EXPECT_EQ(rig.Run("_camera_pos_x := 42; WriteLn(_CAMERA_POS_X, ' ', _Camera_Pos_X); COM_SET_CAMERA;"),
              "42 42\n");
    EXPECT_EQ(rig.sim.Sent(), std::vector<std::string>{"CPP"});
}

TEST(Names, ReadOnlyAndUnknownNamesAreNotTaken) {
    Rig rig;
    Value v;
    EXPECT_FALSE(rig.bridge.ScriptSetValue("_fps", Value(30)));
    EXPECT_FALSE(rig.bridge.ScriptSetValue("_outsim_time", Value(1)));
    EXPECT_FALSE(rig.bridge.ScriptGetValue("_camera_zoom", {}, v));
    EXPECT_EQ(rig.Run("_fps := 30;"), "ERROR: Error in unit 'T' on line 5: Undeclared identifier '_fps'\n");
}

TEST(Names, FrameRateAndStepTime) {
    for (auto [fps, step] : {std::pair{25, 4}, std::pair{30, 3}, std::pair{50, 2}}) {
        Rig rig(fps);
        EXPECT_EQ(rig.Get("_fps").ToInt(), fps);
        EXPECT_EQ(rig.Get("COM_get_fps").ToInt(), fps);
        EXPECT_EQ(rig.Get("_current_step_time").ToInt(), step) << fps;
    }
}

TEST(Packets, CameraRequestSetAndOutSimSwitch) {
    Rig rig;
    rig.Run("COM_get_camera; COM_start_outsim; COM_stop_outsim();");
    EXPECT_EQ(rig.sim.Sent(), (std::vector<std::string>{"SCP 0", "SSP 25", "SSP 0"}));
}

TEST(Packets, SetCameraSendsTheRecordUnchanged) {
    Rig rig;
    rig.sim.LastCameraPacket().fill(0);
    rig.Get("COM_set_camera");
    ASSERT_EQ(rig.sim.CamerasSent().size(), 1u);
    EXPECT_EQ(rig.sim.CamerasSent()[0], CameraRecord{}) << "32 zero bytes before any camera arrived";
}

TEST(OutSim, ReadsZerosBeforeAnyPacketThenTheFields) {
    Rig rig;
    EXPECT_EQ(rig.Run("WriteLn(_outsim_time, ' ', _outsim_heading, ' ', _outsim_position_x);"), "0 0 0\n");
    rig.Run("COM_start_outsim; COM_stop_internal_time(True); COM_step_time(100);");
    const OutSimRecord& o = rig.sim.OutSimData();
    ByteView bytes(o.data(), o.size());
    EXPECT_EQ(rig.Get("_outsim_time").ToInt(), ReadUInt(bytes, 0));
    EXPECT_DOUBLE_EQ(rig.Get("_outsim_heading").ToFloat(), ReadFloat(bytes, 16));
    EXPECT_DOUBLE_EQ(rig.Get("_outsim_velocity_y").ToFloat(), ReadFloat(bytes, 44));
    EXPECT_EQ(rig.Get("_outsim_position_y").ToInt(), ReadInt(bytes, 56));
    EXPECT_NE(rig.Get("_outsim_position_x").ToInt(), 0);
}

TEST(Pause, ZeroOrNegativeReturnsAtOnce) {
    EnsureApplication();
    Rig rig;
    QElapsedTimer clock;
    clock.start();
    rig.Get("COM_pause", {Value(0)});
    rig.Get("COM_pause", {Value(-100)});
    EXPECT_LT(clock.elapsed(), 20);
    EXPECT_FALSE(rig.bridge.Pausing());
}

TEST(Pause, WaitsWhileServingEvents) {
    EnsureApplication();
    Rig rig;
    bool ticked = false;
    QTimer::singleShot(10, [&] { ticked = true; });
    QElapsedTimer clock;
    clock.start();
    rig.Get("COM_pause", {Value(60)});
    EXPECT_GE(clock.elapsed(), 59);
    EXPECT_TRUE(ticked) << "a timer fired during the pause";
}

TEST(Pause, EndPauseCutsItShort) {
    EnsureApplication();
    Rig rig;
    QTimer::singleShot(20, [&] { rig.bridge.EndPause(); });
    QElapsedTimer clock;
    clock.start();
    rig.Get("COM_pause", {Value(10000)});
    EXPECT_LT(clock.elapsed(), 5000);
}

TEST(CameraScript, AFrameOfACameraScript) {
    Rig rig;
    std::string out = rig.Run(
        "COM_stop_internal_time(True);\n"
        "for i := 1 to 3 do begin\n"
        "  _camera_pos_x := _camera_pos_x + 65536;\n"
        "  _camera_heading := _camera_heading + 16384;\n"
        "  _camera_fov := _camera_fov - 10;\n"
        "  COM_set_camera;\n"
        "  COM_step_time(_current_step_time);\n"
        "end;\n"
        "COM_stop_internal_time(False);",
        "var i: Integer;");
    EXPECT_EQ(out, "");
    ASSERT_EQ(rig.sim.CamerasSent().size(), 3u);
    CameraPosition last = DecodeCamera(ByteView(rig.sim.CamerasSent()[2].data(), 32));
    EXPECT_EQ(last.x, 3 * 65536);
    EXPECT_EQ(last.heading, 3 * 16384);
    EXPECT_FLOAT_EQ(last.fieldOfView, 60.0f);
    EXPECT_FLOAT_EQ(rig.sim.CurrentFrame(), 3);
    EXPECT_EQ(rig.sim.SimulatorTime(), 12);
    EXPECT_TRUE(rig.sim.FrameClockOn());
}

}  // namespace
}  // namespace kinoloop::testing
