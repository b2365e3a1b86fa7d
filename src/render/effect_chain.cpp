#include "render/effect_chain.h"

#include "model/field_text.h"
#include "model/node_records.h"
#include "render/frame_image.h"

namespace kinoloop {

namespace {

std::string FrameError(std::int64_t frameNumber, const std::string& what) {
    return "Error Applying Effect to Frame: " + std::to_string(frameNumber) + ", " + what;
}

}  // namespace

EffectNodeValues ReadEffectNode(const std::string& fieldText) {
    const std::vector<std::string> fields = SplitFields(fieldText);
    EffectNodeValues values;
    if (fields.size() > static_cast<std::size_t>(field::EffectName))
        values.effectName = fields[field::EffectName];
    std::int32_t* targets[] = {&values.parameters.param1, &values.parameters.param2,
                               &values.parameters.param3, &values.parameters.param4};
    for (int k = 0; k < 4; ++k) {
        const std::size_t index = static_cast<std::size_t>(field::EffectParam1 + k);
        const auto number = index < fields.size() ? ParseInt(fields[index]) : std::nullopt;
        if (!number) return {values.effectName, EffectParameters{}};
        *targets[k] = *number;
    }
    if (fields.size() > static_cast<std::size_t>(field::EffectText)) {
        values.parameters.text =
            JoinFields(std::vector<std::string>(fields.begin() + field::EffectText, fields.end()));
    }
    return values;
}

EffectColumns::EffectColumns(const NodeStore& store) {
    for (const NodeText& node : store.Records()) {
        if (node.tag == "EFF") columns_[node.column].push_back(&node);
    }
}

std::span<const NodeText* const> EffectColumns::At(std::int32_t column) const {
    const auto found = columns_.find(column);
    if (found == columns_.end()) return {};
    return found->second;
}

std::int32_t RenderStartColumn(const NodeStore& store) {
    for (const NodeText& node : store.Records()) {
        if (node.tag == "STT") return node.column;
    }
    return 0;
}

std::string CheckEffectResult(std::span<const std::uint8_t> result, int width, int height) {
    auto view = ViewBmp24(result);
    if (!view) return "the bitmap data was corrupt";
    if (view.value().width != width || view.value().height != height) {
        return "the plugin returned a " + std::to_string(view.value().width) + " x " +
               std::to_string(view.value().height) + " picture instead of " + std::to_string(width) + " x " +
               std::to_string(height);
    }
    return {};
}

std::span<const std::uint8_t> FrameEffects::Apply(std::span<const std::uint8_t> captured,
                                                  std::span<const NodeText* const> nodes,
                                                  std::int64_t frameNumber, const FrameEffectEvents& events) {
    if (nodes.empty()) return captured;
    auto frame = ViewBmp24(captured);
    if (!frame) return captured;  // the assembly reports a frame it cannot read itself
    bool applied = false;
    for (const NodeText* node : nodes) {
        if (events.applying) events.applying(frameNumber);
        const EffectNodeValues values = ReadEffectNode(node->fieldText);
        // Only libraries that the scan of Eff/ listed are loaded: a project file cannot name a library
        // elsewhere.
        const auto library = FindPluginLibrary(values.effectName, plugins_);
        if (!library) continue;
        render::Status call = render::Ok();
        if (!applied) {
            input_.Assign(captured);
            call = CallPluginEffect(*library, kDoEffect, input_, values.parameters, output_);
        } else {
            call = CallPluginEffectInPlace(*library, kDoEffect, values.parameters, output_);
        }
        std::string problem =
            call ? CheckEffectResult(output_.bytes(), frame.value().width, frame.value().height)
                 : "couldn't call function in the plugin";
        if (!problem.empty()) {
            if (events.failed) events.failed(FrameError(frameNumber, problem));
            return captured;
        }
        applied = true;
    }
    return applied ? output_.bytes() : captured;
}

}  // namespace kinoloop
