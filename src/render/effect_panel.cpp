#include "render/effect_panel.h"

#include <system_error>

#include "model/field_text.h"
#include "model/node_records.h"
#include "model/node_text.h"
#include "render/effect_chain.h"

namespace kinoloop {

namespace {

constexpr const char* kNoEffectNode = "No Effect Node is selected. Select or Add an Effect Node first";
constexpr const char* kNoTestImage =
    "No testimage.bmp file was found in the Img folder, the test cannot continue";
constexpr const char* kCallError = "An error occured when making the call to the plugin";
constexpr const char* kCorruptPreview = "Could not create a preview image, the data is corrupt";

bool EffectChosen(int effectId, const std::vector<TPlugin>* plugins) {
    if (effectId < 0) return false;
    return plugins == nullptr || static_cast<std::size_t>(effectId) < plugins->size();
}

std::array<std::string, 4> ZeroEmpty(std::array<std::string, 4> params) {
    for (std::string& param : params) {
        if (param.empty()) param = "0";
    }
    return params;
}

}  // namespace

TestEffectOutcome TestEffect(const EffectPanelValues& values, const std::vector<TPlugin>& plugins,
                             const std::filesystem::path& imgFolder, Notices& notices) {
    TestEffectOutcome outcome;
    outcome.params = values.params;
    if (!EffectChosen(values.effectId, &plugins)) {
        notices.Inform(kNoEffectNode);
        return outcome;
    }
    const std::filesystem::path testImage = imgFolder / kTestImageFileName;
    std::error_code error;
    if (!std::filesystem::exists(testImage, error)) {
        notices.Inform(kNoTestImage);
        return outcome;
    }
    auto picture = ReadBmpFile(testImage);
    if (!picture) {
        notices.Inform("The test picture could not be read: " + picture.error());
        return outcome;
    }
    outcome.preview = picture.value();
    outcome.params = ZeroEmpty(values.params);
    outcome.showPreview = true;

    EffectParameters parameters;
    parameters.text = values.message;
    std::int32_t* targets[] = {&parameters.param1, &parameters.param2, &parameters.param3,
                               &parameters.param4};
    for (int k = 0; k < 4; ++k) {
        const auto number = ParseInt(outcome.params[k]);
        if (!number) {
            notices.Inform(kCallError);
            return outcome;
        }
        *targets[k] = *number;
    }

    BitmapBytes input;
    input.Assign(EncodeBmp(outcome.preview));
    BitmapBytes output;
    const TPlugin& plugin = plugins[static_cast<std::size_t>(values.effectId)];
    if (!CallPluginEffect(plugin.path, kDoEffect, input, parameters, output)) {
        notices.Inform(kCallError);
        return outcome;
    }
    // A result that the film would reject is no preview of it either.
    if (!CheckEffectResult(output.bytes(), outcome.preview.width, outcome.preview.height).empty()) {
        notices.Inform(kCorruptPreview);
        return outcome;
    }
    auto result = DecodeBmp(output.bytes());
    if (!result) {
        notices.Inform(kCorruptPreview);
        return outcome;
    }
    outcome.preview = std::move(result.value());
    return outcome;
}

bool ApplyEffectPanel(const EffectPanelValues& values, std::int32_t column, std::int32_t row, Movie& movie,
                      Notices& notices) {
    const NodeText* node = movie.nodeStore.Find(column, row);
    if (values.effectId < 0 || node == nullptr || node->tag != "EFF") {
        notices.Inform(kNoEffectNode);
        return false;
    }
    std::vector<std::string> fields = SplitFields(node->fieldText);
    fields.resize(static_cast<std::size_t>(field::EffectText) + 1);
    const std::array<std::string, 4> params = ZeroEmpty(values.params);
    for (int k = 0; k < 4; ++k) fields[static_cast<std::size_t>(field::EffectParam1 + k)] = params[k];
    fields[field::EffectText] = values.message;
    const std::string fieldText = JoinFields(fields);
    if (fieldText.size() > NodeText::kFieldTextMax) {
        notices.Refuse("The effect's settings do not fit in the node: shorten the text by " +
                       std::to_string(fieldText.size() - NodeText::kFieldTextMax) + " characters.");
        return false;
    }
    movie.StoreNodeText(fieldText, column, row);
    return true;
}

}  // namespace kinoloop
