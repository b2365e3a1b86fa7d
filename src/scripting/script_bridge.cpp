#include "scripting/script_bridge.h"

#include <QCoreApplication>
#include <cctype>
#include <unordered_map>

#include "link/event_wait.h"
#include "link/link_handler.h"
#include "scripting/pascal/errors.h"

namespace kinoloop {

using pascal::Value;

namespace {

enum class Name {
    GetFps,
    StopInternalTime,
    GetCamera,
    SetCamera,
    Pause,
    StepTime,
    StartOutSim,
    StopOutSim,
    CamPosX,
    CamPosY,
    CamPosZ,
    CamHeading,
    CamPitch,
    CamRoll,
    CamViewPlayer,
    CamInGameCam,
    CamFov,
    CamTime,
    CamFlags,
    CurrentStepTime,
    OutTime,
    OutAngVelX,
    OutAngVelY,
    OutAngVelZ,
    OutHeading,
    OutPitch,
    OutRoll,
    OutAccX,
    OutAccY,
    OutAccZ,
    OutVelX,
    OutVelY,
    OutVelZ,
    OutPosX,
    OutPosY,
    OutPosZ,
    Fps,
};

struct Entry {
    Name id;
    HostNameInfo info;
};

constexpr Entry kNames[] = {
    {Name::GetFps, {"COM_get_fps", "function: the frame-rate setting", false, true}},
    {Name::StopInternalTime,
     {"COM_stop_internal_time",
      "procedure(Stop: Boolean): True stops the frame clock so that the script owns the "
      "time, False switches it on again",
      false, true}},
    {Name::GetCamera,
     {"COM_get_camera", "procedure: asks the simulator for its camera; it arrives during a pause", false,
      true}},
    {Name::SetCamera, {"COM_set_camera", "procedure: sends the camera values to the simulator", false, true}},
    {Name::Pause,
     {"COM_pause", "procedure(Milliseconds: Integer): waits while the program goes on working", false, true}},
    {Name::StepTime,
     {"COM_step_time",
      "procedure(Hundredths: Integer): steps the frozen simulator time while the frame clock is off", false,
      true}},
    {Name::StartOutSim,
     {"COM_start_outsim", "procedure: the simulator starts sending OutSim motion data", false, true}},
    {Name::StopOutSim,
     {"COM_stop_outsim", "procedure: the simulator stops sending OutSim motion data", false, true}},
    {Name::CamPosX, {"_camera_pos_x", "camera X position, map units (65536 = 1 m)", true, false}},
    {Name::CamPosY, {"_camera_pos_y", "camera Y position, map units (65536 = 1 m)", true, false}},
    {Name::CamPosZ, {"_camera_pos_z", "camera Z position, map units (65536 = 1 m)", true, false}},
    {Name::CamHeading,
     {"_camera_heading", "camera heading, 65536 = full turn (stored as a word)", true, false}},
    {Name::CamPitch, {"_camera_pitch", "camera pitch, 65536 = full turn (stored as a word)", true, false}},
    {Name::CamRoll, {"_camera_roll", "camera roll, 65536 = full turn (stored as a word)", true, false}},
    {Name::CamViewPlayer,
     {"_camera_viewplayer", "viewed player id, 255 = the simulator's default (byte)", true, false}},
    {Name::CamInGameCam,
     {"_camera_ingamecam", "in-game camera: 0 arcade, 1 helicopter, 2 TV, 3 driver, 4 custom (byte)", true,
      false}},
    {Name::CamFov, {"_camera_fov", "field of view in degrees (floating point)", true, false}},
    {Name::CamTime, {"_camera_time", "time to reach the camera position, milliseconds (word)", true, false}},
    {Name::CamFlags,
     {"_camera_flags", "camera state flags (word): ISS_SHIFTU, ISS_VIEW_OVERRIDE ...", true, false}},
    {Name::CurrentStepTime,
     {"_current_step_time", "hundredths of a second per frame: round(100 / fps)", false, false}},
    {Name::OutTime, {"_outsim_time", "OutSim time, milliseconds", false, false}},
    {Name::OutAngVelX, {"_outsim_angularvelocity_x", "OutSim angular velocity X", false, false}},
    {Name::OutAngVelY, {"_outsim_angularvelocity_y", "OutSim angular velocity Y", false, false}},
    {Name::OutAngVelZ, {"_outsim_angularvelocity_z", "OutSim angular velocity Z", false, false}},
    {Name::OutHeading, {"_outsim_heading", "OutSim heading", false, false}},
    {Name::OutPitch, {"_outsim_pitch", "OutSim pitch", false, false}},
    {Name::OutRoll, {"_outsim_roll", "OutSim roll", false, false}},
    {Name::OutAccX, {"_outsim_acceleration_x", "OutSim acceleration X", false, false}},
    {Name::OutAccY, {"_outsim_acceleration_y", "OutSim acceleration Y", false, false}},
    {Name::OutAccZ, {"_outsim_acceleration_z", "OutSim acceleration Z", false, false}},
    {Name::OutVelX, {"_outsim_velocity_x", "OutSim velocity X", false, false}},
    {Name::OutVelY, {"_outsim_velocity_y", "OutSim velocity Y", false, false}},
    {Name::OutVelZ, {"_outsim_velocity_z", "OutSim velocity Z", false, false}},
    {Name::OutPosX, {"_outsim_position_x", "OutSim position X, map units", false, false}},
    {Name::OutPosY, {"_outsim_position_y", "OutSim position Y, map units", false, false}},
    {Name::OutPosZ, {"_outsim_position_z", "OutSim position Z, map units", false, false}},
    {Name::Fps, {"_fps", "the frame-rate setting", false, false}},
};

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& ch : out) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return out;
}

const Entry* Find(std::string_view name) {
    static const std::unordered_map<std::string, const Entry*> table = [] {
        std::unordered_map<std::string, const Entry*> t;
        for (const Entry& e : kNames) t.emplace(Lower(e.info.name), &e);
        return t;
    }();
    auto f = table.find(Lower(name));
    return f == table.end() ? nullptr : f->second;
}

// OutSim offsets (all fields are read unchanged).
namespace outsim {
constexpr std::size_t Time = 0, AngVel = 4, Heading = 16, Pitch = 20, Roll = 24, Acc = 28, Vel = 40, Pos = 52;
}

const Value& FirstArgument(std::span<const Value> args, const char* name) {
    if (args.empty()) pascal::Fail(std::string("Not enough actual parameters for ") + name);
    return args[0];
}

std::int32_t ToInt32(const Value& v) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v.ToInt()));
}

}  // namespace

std::span<const HostNameInfo> HostNames() {
    static const std::vector<HostNameInfo> infos = [] {
        std::vector<HostNameInfo> v;
        for (const Entry& e : kNames) v.push_back(e.info);
        return v;
    }();
    return infos;
}

ScriptBridge::ScriptBridge(ScriptSimulator& simulator) : sim_(simulator) {
    tmrPause.setSingleShot(true);             // its tick switches it off
    tmrPause.setTimerType(Qt::PreciseTimer);  // a coarse timer may end a pause up to 5 % early
}

ScriptBridge::~ScriptBridge() = default;

void ScriptBridge::EndPause() {
    if (pausing_) pauseEnded_ = true;
    tmrPause.stop();
}

void ScriptBridge::Pause(std::int64_t milliseconds) {
    if (milliseconds <= 0) return;
    tmrPause.setInterval(static_cast<int>(std::min<std::int64_t>(milliseconds, INT32_MAX)));
    tmrPause.start();
    bool outerPausing = pausing_;
    pausing_ = true;
    pauseEnded_ = false;
    if (QCoreApplication::instance() != nullptr) {
        ServeEventsUntil([this] { return !tmrPause.isActive() || pauseEnded_; });
    } else {  // no event loop to run the timer (a console run without an application object)
        ServeEventsUntil([this] { return pauseEnded_; }, {}, std::chrono::milliseconds(milliseconds));
        tmrPause.stop();
    }
    pausing_ = outerPausing;
    pauseEnded_ = false;
}

void ScriptBridge::StepTime(int hundredths) {
    if (sim_.FrameClockOn()) return;  // the frame clock owns the time
    StepRemainder_ += static_cast<float>(hundredths);
    const float frameStep = (1.0f / static_cast<float>(sim_.Fps())) * 100.0f;
    if (StepRemainder_ >= frameStep) {
        float advanced = sim_.CurrentFrame() + StepRemainder_ / frameStep;
        StepRemainder_ = 0;
        sim_.AdvanceFrameTo(advanced);
    }
    sim_.StepSimulator(hundredths);
    if (sim_.Rendering()) sim_.CaptureFrame();
}

bool ScriptBridge::ScriptGetValue(std::string_view name, std::span<const Value> args, Value& result) {
    const Entry* e = Find(name);
    if (!e) return false;
    CameraRecord& cam = sim_.LastCameraPacket();
    const OutSimRecord& out = sim_.OutSimData();
    ByteView c(cam.data(), cam.size()), o(out.data(), out.size());
    namespace cpp = packet::cpp;
    switch (e->id) {
        case Name::GetFps:
        case Name::Fps:
            result = Value(std::int64_t{sim_.Fps()});
            break;
        case Name::StopInternalTime:
            sim_.SetFrameClock(!FirstArgument(args, e->info.name).ToBool());
            StepRemainder_ = 0;
            break;
        case Name::GetCamera:
            sim_.SendValuePacket("SCP", 0);
            break;
        case Name::SetCamera:
            sim_.SendLastCameraPacket();
            break;
        case Name::Pause:
            Pause(FirstArgument(args, e->info.name).ToInt());
            break;
        case Name::StepTime:
            StepTime(ToInt32(FirstArgument(args, e->info.name)));
            break;
        case Name::StartOutSim:
            sim_.SendValuePacket("SSP", 25);
            break;
        case Name::StopOutSim:
            sim_.SendValuePacket("SSP", 0);
            break;
        case Name::CamPosX:
            result = Value(std::int64_t{ReadInt(c, cpp::X)});
            break;
        case Name::CamPosY:
            result = Value(std::int64_t{ReadInt(c, cpp::Y)});
            break;
        case Name::CamPosZ:
            result = Value(std::int64_t{ReadInt(c, cpp::Z)});
            break;
        case Name::CamHeading:
            result = Value(std::int64_t{ReadWord(c, cpp::Heading)});
            break;
        case Name::CamPitch:
            result = Value(std::int64_t{ReadWord(c, cpp::Pitch)});
            break;
        case Name::CamRoll:
            result = Value(std::int64_t{ReadWord(c, cpp::Roll)});
            break;
        case Name::CamViewPlayer:
            result = Value(std::int64_t{cam[cpp::ViewPlayer]});
            break;
        case Name::CamInGameCam:
            result = Value(std::int64_t{cam[cpp::CameraType]});
            break;
        case Name::CamFov:
            result = Value(static_cast<double>(ReadFloat(c, cpp::Fov)));
            break;
        case Name::CamTime:
            result = Value(std::int64_t{ReadWord(c, cpp::Time)});
            break;
        case Name::CamFlags:
            result = Value(std::int64_t{ReadWord(c, cpp::Flags)});
            break;
        case Name::CurrentStepTime:
            result = Value(std::int64_t{StepHundredthsFor(sim_.Fps())});
            break;
        case Name::OutTime:
            result = Value(std::int64_t{ReadUInt(o, outsim::Time)});
            break;
        case Name::OutAngVelX:
            result = Value(double{ReadFloat(o, outsim::AngVel)});
            break;
        case Name::OutAngVelY:
            result = Value(double{ReadFloat(o, outsim::AngVel + 4)});
            break;
        case Name::OutAngVelZ:
            result = Value(double{ReadFloat(o, outsim::AngVel + 8)});
            break;
        case Name::OutHeading:
            result = Value(double{ReadFloat(o, outsim::Heading)});
            break;
        case Name::OutPitch:
            result = Value(double{ReadFloat(o, outsim::Pitch)});
            break;
        case Name::OutRoll:
            result = Value(double{ReadFloat(o, outsim::Roll)});
            break;
        case Name::OutAccX:
            result = Value(double{ReadFloat(o, outsim::Acc)});
            break;
        case Name::OutAccY:
            result = Value(double{ReadFloat(o, outsim::Acc + 4)});
            break;
        case Name::OutAccZ:
            result = Value(double{ReadFloat(o, outsim::Acc + 8)});
            break;
        case Name::OutVelX:
            result = Value(double{ReadFloat(o, outsim::Vel)});
            break;
        case Name::OutVelY:
            result = Value(double{ReadFloat(o, outsim::Vel + 4)});
            break;
        case Name::OutVelZ:
            result = Value(double{ReadFloat(o, outsim::Vel + 8)});
            break;
        case Name::OutPosX:
            result = Value(std::int64_t{ReadInt(o, outsim::Pos)});
            break;
        case Name::OutPosY:
            result = Value(std::int64_t{ReadInt(o, outsim::Pos + 4)});
            break;
        case Name::OutPosZ:
            result = Value(std::int64_t{ReadInt(o, outsim::Pos + 8)});
            break;
    }
    return true;
}

bool ScriptBridge::ScriptSetValue(std::string_view name, const Value& value) {
    const Entry* e = Find(name);
    if (!e || !e->info.assignable) return false;
    CameraRecord& cam = sim_.LastCameraPacket();
    std::span<std::uint8_t> c(cam.data(), cam.size());
    namespace cpp = packet::cpp;
    auto word = [&] { return static_cast<std::uint16_t>(value.ToInt()); };  // only the low 16 bits are kept
    auto byte = [&] { return static_cast<std::uint8_t>(value.ToInt()); };
    switch (e->id) {
        case Name::CamPosX:
            WriteInt(c, cpp::X, ToInt32(value));
            break;
        case Name::CamPosY:
            WriteInt(c, cpp::Y, ToInt32(value));
            break;
        case Name::CamPosZ:
            WriteInt(c, cpp::Z, ToInt32(value));
            break;
        case Name::CamHeading:
            WriteWord(c, cpp::Heading, word());
            break;
        case Name::CamPitch:
            WriteWord(c, cpp::Pitch, word());
            break;
        case Name::CamRoll:
            WriteWord(c, cpp::Roll, word());
            break;
        case Name::CamViewPlayer:
            cam[cpp::ViewPlayer] = byte();
            break;
        case Name::CamInGameCam:
            cam[cpp::CameraType] = byte();
            break;
        case Name::CamFov:
            WriteFloat(c, cpp::Fov, static_cast<float>(value.ToFloat()));
            break;
        case Name::CamTime:
            WriteWord(c, cpp::Time, word());
            break;
        case Name::CamFlags:
            WriteWord(c, cpp::Flags, word());
            break;
        default:
            return false;
    }
    return true;
}

}  // namespace kinoloop
