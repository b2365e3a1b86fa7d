#include "platform/screen_capture.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace kinoloop {

namespace {

// Replies and errors of xcb are malloc'ed.
template <class T>
struct Freed {
    T* p = nullptr;
    ~Freed() { std::free(p); }
};

// 32-bit pixels with blue in the lowest byte (BGRX in memory) into 24-bit rows, turned bottom-up.
void ConvertRows(const std::uint8_t* source, std::size_t sourceStride, int width, int height,
                 std::uint8_t* out, std::size_t stride) {
    const std::size_t used = static_cast<std::size_t>(width) * 3;
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* in = source + static_cast<std::size_t>(row) * sourceStride;
        std::uint8_t* to = out + static_cast<std::size_t>(height - 1 - row) * stride;
        int x = 0;
        // Four pixels at a time: 16 bytes in, 12 out.
        for (; x + 4 <= width; x += 4, in += 16, to += 12) {
            to[0] = in[0], to[1] = in[1], to[2] = in[2];
            to[3] = in[4], to[4] = in[5], to[5] = in[6];
            to[6] = in[8], to[7] = in[9], to[8] = in[10];
            to[9] = in[12], to[10] = in[13], to[11] = in[14];
        }
        for (; x < width; ++x, in += 4, to += 3) {
            to[0] = in[0], to[1] = in[1], to[2] = in[2];
        }
        if (stride > used) {
            std::memset(out + static_cast<std::size_t>(height - 1 - row) * stride + used, 0, stride - used);
        }
    }
}

}  // namespace

struct ScreenCapture::State {
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = 0;
    int screenWidth = 0;
    int screenHeight = 0;
    bool shmAvailable = false;
    // The shared segment, kept until a grab needs a bigger one.
    xcb_shm_seg_t segment = 0;
    int shmId = -1;
    std::uint8_t* shmAddress = nullptr;
    std::size_t shmSize = 0;
    int segmentsMade = 0;

    ~State() {
        ReleaseSegment();
        if (connection != nullptr) xcb_disconnect(connection);
    }

    void ReleaseSegment() {
        if (shmAddress == nullptr) return;
        xcb_shm_detach(connection, segment);
        xcb_flush(connection);
        shmdt(shmAddress);
        shmAddress = nullptr;
        shmSize = 0;
    }

    bool MakeSegment(std::size_t size, std::string& error) {
        ReleaseSegment();
        shmId = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
        if (shmId < 0) {
            error = std::string("cannot make a shared-memory segment: ") + std::strerror(errno);
            return false;
        }
        void* address = shmat(shmId, nullptr, 0);
        if (address == reinterpret_cast<void*>(-1)) {
            shmctl(shmId, IPC_RMID, nullptr);
            error = std::string("cannot attach the shared-memory segment: ") + std::strerror(errno);
            return false;
        }
        segment = xcb_generate_id(connection);
        Freed<xcb_generic_error_t> failed{xcb_request_check(
            connection, xcb_shm_attach_checked(connection, segment, static_cast<std::uint32_t>(shmId), 0))};
        // Marked for removal now: the segment disappears with the last detach, even if the program dies.
        shmctl(shmId, IPC_RMID, nullptr);
        if (failed.p != nullptr) {
            shmdt(address);
            error = "the X server cannot share memory with this program";
            return false;
        }
        shmAddress = static_cast<std::uint8_t*>(address);
        shmSize = size;
        ++segmentsMade;
        return true;
    }
};

ScreenCapture::ScreenCapture(std::unique_ptr<State> state) : state_(std::move(state)) {}
ScreenCapture::~ScreenCapture() = default;

std::unique_ptr<ScreenCapture> ScreenCapture::Open(std::string& error, const char* display) {
    return Open(error, display, Options{});
}

std::unique_ptr<ScreenCapture> ScreenCapture::Open(std::string& error, const char* display, Options options) {
    auto state = std::make_unique<State>();
    int screenNumber = 0;
    state->connection = xcb_connect(display, &screenNumber);
    if (xcb_connection_has_error(state->connection)) {
        error =
            std::string("cannot connect to the X display ") +
            (display ? display : (std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "(DISPLAY is not set)"));
        return nullptr;
    }
    const xcb_setup_t* setup = xcb_get_setup(state->connection);
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
    const xcb_screen_t* screen = screens.data;
    if (screen == nullptr) {
        error = "the X display has no screen";
        return nullptr;
    }
    int bitsPerPixel = 0;
    for (xcb_format_iterator_t f = xcb_setup_pixmap_formats_iterator(setup); f.rem > 0; xcb_format_next(&f)) {
        if (f.data->depth == screen->root_depth) bitsPerPixel = f.data->bits_per_pixel;
    }
    if (screen->root_depth != 24 || bitsPerPixel != 32 ||
        setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) {
        error = "the screen's pixel format (depth " + std::to_string(screen->root_depth) + ", " +
                std::to_string(bitsPerPixel) + " bits per pixel) cannot be captured; 24-bit colour is needed";
        return nullptr;
    }
    state->root = screen->root;
    state->screenWidth = screen->width_in_pixels;
    state->screenHeight = screen->height_in_pixels;
    if (options.useSharedMemory) {
        Freed<xcb_shm_query_version_reply_t> version{xcb_shm_query_version_reply(
            state->connection, xcb_shm_query_version(state->connection), nullptr)};
        state->shmAvailable = version.p != nullptr;
    }
    return std::unique_ptr<ScreenCapture>(new ScreenCapture(std::move(state)));
}

bool ScreenCapture::Grab(int x, int y, int width, int height, std::uint8_t* out, std::size_t stride,
                         std::string& error) {
    State& s = *state_;
    if (width <= 0 || height <= 0 || x < 0 || y < 0 || x + width > s.screenWidth ||
        y + height > s.screenHeight) {
        error = "the rectangle " + std::to_string(width) + " x " + std::to_string(height) + " at " +
                std::to_string(x) + "," + std::to_string(y) + " is not wholly on the " +
                std::to_string(s.screenWidth) + " x " + std::to_string(s.screenHeight) + " screen";
        return false;
    }
    const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    if (s.shmAvailable && size > s.shmSize) {
        std::string why;
        // A server that cannot share memory (a remote display) is captured the slow way from now on.
        if (!s.MakeSegment(size, why)) s.shmAvailable = false;
    }
    if (s.shmAvailable) {
        xcb_generic_error_t* failure = nullptr;
        Freed<xcb_shm_get_image_reply_t> reply{xcb_shm_get_image_reply(
            s.connection,
            xcb_shm_get_image(s.connection, s.root, static_cast<std::int16_t>(x),
                              static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width),
                              static_cast<std::uint16_t>(height), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP, s.segment,
                              0),
            &failure)};
        Freed<xcb_generic_error_t> failed{failure};
        if (reply.p == nullptr) {
            error = "the X server refused the shared-memory capture (error " +
                    std::to_string(failure ? failure->error_code : 0) + ")";
            return false;
        }
        ConvertRows(s.shmAddress, static_cast<std::size_t>(width) * 4, width, height, out, stride);
        return true;
    }
    xcb_generic_error_t* failure = nullptr;
    Freed<xcb_get_image_reply_t> reply{xcb_get_image_reply(
        s.connection,
        xcb_get_image(s.connection, XCB_IMAGE_FORMAT_Z_PIXMAP, s.root, static_cast<std::int16_t>(x),
                      static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width),
                      static_cast<std::uint16_t>(height), ~0u),
        &failure)};
    Freed<xcb_generic_error_t> failed{failure};
    if (reply.p == nullptr) {
        error = "the X server refused the capture (error " +
                std::to_string(failure ? failure->error_code : 0) + ")";
        return false;
    }
    const std::size_t length = static_cast<std::size_t>(xcb_get_image_data_length(reply.p));
    if (length < size) {
        error = "the X server sent less than the rectangle's pixels";
        return false;
    }
    ConvertRows(xcb_get_image_data(reply.p), static_cast<std::size_t>(width) * 4, width, height, out, stride);
    return true;
}

bool ScreenCapture::UsesSharedMemory() const {
    return state_->shmAvailable;
}
int ScreenCapture::SegmentsMade() const {
    return state_->segmentsMade;
}
int ScreenCapture::ScreenWidth() const {
    return state_->screenWidth;
}
int ScreenCapture::ScreenHeight() const {
    return state_->screenHeight;
}

}  // namespace kinoloop
