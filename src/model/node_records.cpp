#include "model/node_records.h"

#include "model/field_text.h"

namespace kinoloop {

namespace {

std::vector<std::string> HeaderFields(const NodeHeader& node) {
    return {std::to_string(node.id), std::to_string(node.column), std::to_string(node.row),
            std::to_string(node.length)};
}

std::string WithFields(const NodeHeader& node, std::initializer_list<std::string> more) {
    std::vector<std::string> fields = HeaderFields(node);
    fields.insert(fields.end(), more);
    return JoinFields(fields);
}

std::string Bool(bool value) { return value ? "-1" : "0"; }

}  // namespace

std::string FieldText(const ReplayNode& node) {
    return WithFields(node, {node.fileName, Bool(node.singlePlayer)});
}

std::string FieldText(const CameraNode& node) {
    return WithFields(node, {std::to_string(node.x), std::to_string(node.y), std::to_string(node.z),
                             std::to_string(node.heading), std::to_string(node.pitch), std::to_string(node.roll),
                             std::to_string(node.viewPlayer), std::to_string(node.cameraType),
                             FormatFieldOfView(node.fieldOfView), std::to_string(node.time),
                             std::to_string(node.flags)});
}

std::string FieldText(const ScriptNode& node) { return WithFields(node, {node.scriptName}); }

std::string FieldText(const EffectNode& node) {
    return WithFields(node, {node.effectName, std::to_string(node.param1), std::to_string(node.param2),
                             std::to_string(node.param3), std::to_string(node.param4), node.text});
}

std::string FieldText(const SoundNode& node) {
    return WithFields(node, {node.path, std::to_string(node.soundLength)});
}

std::string FieldText(const StartNode& node) {
    return WithFields(node,
                      {node.replayFileName, std::to_string(node.replayColumn), std::to_string(node.replayRow)});
}

std::string FieldText(const BasicNode& node) { return JoinFields(HeaderFields(node)); }

std::string FieldText(const MomentNode& node) {
    return WithFields(node, {std::to_string(node.player1), std::to_string(node.player2)});
}

std::optional<CameraNode> CameraFromFields(const std::vector<std::string>& fields) {
    if (fields.size() <= static_cast<std::size_t>(field::CamFlags)) return std::nullopt;
    std::int32_t numbers[field::CamFlags + 1] = {};
    for (int i = 0; i <= field::CamFlags; ++i) {
        if (i == field::CamFov) continue;
        const std::optional<std::int32_t> value = ParseInt(fields[i]);
        if (!value) return std::nullopt;
        numbers[i] = *value;
    }
    const std::optional<float> fov = ParseFieldOfView(fields[field::CamFov]);
    if (!fov) return std::nullopt;

    CameraNode camera;
    camera.id = numbers[field::Id];
    camera.column = numbers[field::Column];
    camera.row = numbers[field::Row];
    camera.length = numbers[field::Length];
    camera.x = numbers[field::CamX];
    camera.y = numbers[field::CamY];
    camera.z = numbers[field::CamZ];
    camera.heading = static_cast<std::uint16_t>(numbers[field::CamHeading]);
    camera.pitch = static_cast<std::uint16_t>(numbers[field::CamPitch]);
    camera.roll = static_cast<std::uint16_t>(numbers[field::CamRoll]);
    camera.viewPlayer = static_cast<std::uint8_t>(numbers[field::CamViewPlayer]);
    camera.cameraType = static_cast<std::uint8_t>(numbers[field::CamType]);
    camera.fieldOfView = *fov;
    camera.time = static_cast<std::uint16_t>(numbers[field::CamTime]);
    camera.flags = static_cast<std::uint16_t>(numbers[field::CamFlags]);
    return camera;
}

}  // namespace kinoloop
