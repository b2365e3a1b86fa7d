#pragma once
// The two commands of the Effects Configuration panel as engine operations: "Test Effect" runs the chosen
// plug-in on the test picture, "Apply" stores the panel's parameters and text into the selected effect node.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/movie.h"
#include "render/frame_image.h"
#include "render/plugin_host.h"
#include "shell/notices.h"

namespace kinoloop {

inline constexpr const char* kTestImageFileName = "testimage.bmp";  // in Img, 320 x 240, 24 bits

// What the panel holds when a command runs.
struct EffectPanelValues {
    int effectId = -1;  // `txtEffectID`: index into the plug-in list, -1 while no effect node is chosen
    std::array<std::string, 4> params;  // `txtParam` ... `txtParam4`
    std::string message;                // `txtMessage`
};

struct TestEffectOutcome {
    bool showPreview = false;  // open the Effects Preview window with `preview`
    FrameImage preview;        // the plug-in's result, or the test picture when the result was unusable
    std::array<std::string, 4> params;  // the parameter edits, empty ones set to "0"
};

// "Test Effect". Every refusal and failure is told through the notices with the program's texts.
TestEffectOutcome TestEffect(const EffectPanelValues& values, const std::vector<TPlugin>& plugins,
                             const std::filesystem::path& imgFolder, Notices& notices);

// "Apply": stores the panel's values into the effect node at the cell. False (and the user told) when no
// effect node is selected or the node's field text would not fit its 255 characters.
bool ApplyEffectPanel(const EffectPanelValues& values, std::int32_t column, std::int32_t row, Movie& movie,
                      Notices& notices);

}  // namespace kinoloop
