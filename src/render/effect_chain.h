#pragma once
// Running the effect nodes of a frame's column over the frame during a film's assembly.
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "model/node_store.h"
#include "render/plugin_host.h"

namespace kinoloop {

struct EffectNodeValues {
    std::string effectName;
    EffectParameters parameters;
};

// The effect name, the four parameters and the text of an effect node's field text. When a parameter is not
// an integer, all four are 0 and the text is empty. The text is the last field, so a ":" typed into it is
// kept.
EffectNodeValues ReadEffectNode(const std::string& fieldText);

// The effect nodes ("EFF") of a store by column, each column's in store order.
class EffectColumns {
public:
    explicit EffectColumns(const NodeStore& store);
    std::span<const NodeText* const> At(std::int32_t column) const;
    bool Empty() const { return columns_.empty(); }

private:
    std::map<std::int32_t, std::vector<const NodeText*>> columns_;
};

// The column of the first replay start node in store order, 0 when there is none: frame i (from 1) of a
// render belongs to column start + i - 1.
std::int32_t RenderStartColumn(const NodeStore& store);

struct FrameEffectEvents {
    std::function<void(std::int64_t frameNumber)> applying;  // before each effect node
    std::function<void(const std::string& message)>
        failed;  // a plug-in could not be called or its result is bad
};

// Runs the effects of one frame, chained: the second effect receives the first one's result.
class FrameEffects {
public:
    explicit FrameEffects(const std::vector<TPlugin>& plugins) : plugins_(plugins) {}

    // `captured` is the frame's BMP file image. Returns the image to write: the last effect's result, or the
    // frame as captured when no effect ran or a plug-in failed or returned something that is not a 24-bit
    // bitmap of the frame's size (then the failure is reported and the frame's remaining effects are not
    // run). Effect nodes whose name matches no listed plug-in are skipped.
    std::span<const std::uint8_t> Apply(std::span<const std::uint8_t> captured,
                                        std::span<const NodeText* const> nodes, std::int64_t frameNumber,
                                        const FrameEffectEvents& events);

private:
    const std::vector<TPlugin>& plugins_;
    BitmapBytes input_;
    BitmapBytes output_;
};

// Checks a plug-in's result against the frame it was given; the message when it is rejected, "" when it is
// good.
std::string CheckEffectResult(std::span<const std::uint8_t> result, int width, int height);

}  // namespace kinoloop
