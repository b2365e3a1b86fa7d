#pragma once
// Copies rectangles of the X screen (the root window, so whatever is on top is what is copied) into 24-bit
// pixel rows in the layout of a BMP file: bottom-up, blue-green-red, rows padded by the caller's stride.
// Opens its own connection to the display, so that neither the caller nor this code needs a toolkit.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kinoloop {

class ScreenCapture {
public:
    struct Options {
        bool useSharedMemory = true;  // false: always GetImage (slower; what remote displays get anyway)
    };

    // Connects to `display` (nullptr: the DISPLAY variable). Nothing and a message when that fails or the
    // screen's pixel format is not one this code reads (24-bit colour in 32-bit pixels).
    static std::unique_ptr<ScreenCapture> Open(std::string& error, const char* display = nullptr);
    static std::unique_ptr<ScreenCapture> Open(std::string& error, const char* display, Options options);
    ~ScreenCapture();
    ScreenCapture(const ScreenCapture&) = delete;
    ScreenCapture& operator=(const ScreenCapture&) = delete;

    // Copies the rectangle at (x, y) of the screen into `out`: `height` rows of `stride` bytes (at least 3 x
    // width), the bottom row first, padding bytes zero. False, with a message, when the rectangle is not
    // wholly on the screen or the server refuses; `out` is then unspecified.
    bool Grab(int x, int y, int width, int height, std::uint8_t* out, std::size_t stride, std::string& error);

    bool UsesSharedMemory() const;
    // How many shared-memory segments were made so far: one per change of size, not one per frame.
    int SegmentsMade() const;
    int ScreenWidth() const;
    int ScreenHeight() const;

private:
    struct State;
    explicit ScreenCapture(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace kinoloop
