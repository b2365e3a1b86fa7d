#pragma once
// The typed node records that the creating operations take, and their field texts.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/node_kind.h"

namespace kinoloop {

// Fields 0 to 3 of every kind.
struct NodeHeader {
    std::int32_t id = 0;
    std::int32_t column = 0;
    std::int32_t row = 0;
    std::int32_t length = 1;
};

struct ReplayNode : NodeHeader {
    std::string fileName;
    bool singlePlayer = true;
};

// The 28-byte body of a camera-position packet, plus the node header.
struct CameraNode : NodeHeader {
    std::int32_t x = 0, y = 0, z = 0;
    std::uint16_t heading = 0, pitch = 0, roll = 0;
    std::uint8_t viewPlayer = 0;
    std::uint8_t cameraType = 0;
    float fieldOfView = 0;
    std::uint16_t time = 0;  // frames
    std::uint16_t flags = 0;
};

struct ScriptNode : NodeHeader {
    std::string scriptName;
};

struct EffectNode : NodeHeader {
    std::string effectName;
    std::int32_t param1 = 0, param2 = 0, param3 = 0, param4 = 0;
    std::string text;
};

struct SoundNode : NodeHeader {
    std::string path;  // ":" already written as "?"
    std::int32_t soundLength = 1;
};

struct StartNode : NodeHeader {
    std::string replayFileName;
    std::int32_t replayColumn = 0;
    std::int32_t replayRow = 0;
};

struct BasicNode : NodeHeader {};  // replay stop, time marker

struct MomentNode : NodeHeader {
    std::int32_t player1 = 0;
    std::int32_t player2 = 0;
};

// Field texts in the stored order; booleans as "-1" and "0".
std::string FieldText(const ReplayNode& node);
std::string FieldText(const CameraNode& node);
std::string FieldText(const ScriptNode& node);
std::string FieldText(const EffectNode& node);
std::string FieldText(const SoundNode& node);
std::string FieldText(const StartNode& node);
std::string FieldText(const BasicNode& node);
std::string FieldText(const MomentNode& node);

// A camera read back from its fields (lines of the node field buffer or a stored text). Nothing when a field is
// missing or does not convert. Integers are taken to their widths as the packet holds them.
std::optional<CameraNode> CameraFromFields(const std::vector<std::string>& fields);

// Index of the field within every kind's field text.
namespace field {
inline constexpr int Id = 0, Column = 1, Row = 2, Length = 3;
// Camera
inline constexpr int CamX = 4, CamY = 5, CamZ = 6, CamHeading = 7, CamPitch = 8, CamRoll = 9, CamViewPlayer = 10,
                     CamType = 11, CamFov = 12, CamTime = 13, CamFlags = 14;
// Replay
inline constexpr int ReplayFile = 4, ReplaySinglePlayer = 5;
// Script, effect, sound
inline constexpr int ScriptName = 4;
inline constexpr int EffectName = 4, EffectParam1 = 5, EffectText = 9;
inline constexpr int SoundPath = 4, SoundLength = 5;
// Replay start
inline constexpr int StartReplayFile = 4, StartReplayColumn = 5, StartReplayRow = 6;
// Hot moment
inline constexpr int MomentPlayer1 = 4, MomentPlayer2 = 5;
}  // namespace field

}  // namespace kinoloop
