#pragma once
// The two camera-marker commands that build a smooth camera move: the start marker copies the camera at the
// selected cell into the next column and gives the copy the simulator's present camera; the end marker, chosen on
// a second camera at the frame where the move ends, gives the copy the simulator's camera again, stretches it to
// the end column and removes the second camera.
#include "model/edit_command.h"

namespace kinoloop {

struct CameraMarkers {
    int startColumn = -1, startRow = -1;
    int endColumn = -1, endRow = -1;
    bool HasStart() const { return startColumn >= 0 && startRow >= 0; }
    void Clear() { *this = CameraMarkers{}; }
};

// Waits for the simulator's camera: asks for it, and returns true once the reply has been written into the node
// in the node field buffer, false when no reply came in time (the waiting is bounded).
class CameraWait {
public:
    virtual ~CameraWait() = default;
    virtual bool WaitForCamera() = 0;
};

inline constexpr int kCameraWaitSeconds = 10;
inline constexpr const char* kCameraNoReply =
    "Live for Speed did not answer with its camera within 10 seconds, so the camera marker was not completed. "
    "Check that Live for Speed is running and connected, then try again";

// "Add Camera Start Marker"
EditResult AddCameraStartMarker(EditContext& context, CameraMarkers& markers, CameraWait& wait);
// "Add Camera End Marker"
EditResult AddCameraEndMarker(EditContext& context, CameraMarkers& markers, CameraWait& wait);

}  // namespace kinoloop
