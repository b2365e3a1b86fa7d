// Bitmaps come from outside: plug-in results, the watermark and test pictures, frames read back from disk.
// Every reader must refuse bad bytes with a message and never read past them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "render/effect_chain.h"
#include "render/frame_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    auto decoded = kinoloop::DecodeBmp(bytes);
    if (decoded) {
        const kinoloop::FrameImage& image = decoded.value();
        if (image.pixels.size() != image.ImageSize()) __builtin_trap();
        // What decodes must encode and decode to the same picture.
        auto again = kinoloop::DecodeBmp(kinoloop::EncodeBmp(image));
        if (!again || !(again.value() == image)) __builtin_trap();
    }
    auto view = kinoloop::ViewBmp24(bytes);
    if (view) {
        const auto& v = view.value();
        if (v.pixels.data() < data || v.pixels.data() + v.pixels.size() > data + size) __builtin_trap();
        volatile std::uint8_t sum = 0;
        for (std::uint8_t b : v.pixels) sum = static_cast<std::uint8_t>(sum + b);
        (void)kinoloop::CheckEffectResult(bytes, v.width, v.height);
    }
    (void)kinoloop::ReadEffectNode(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
