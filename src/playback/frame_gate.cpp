#include "playback/frame_gate.h"

namespace kinoloop {

void FrameGate::Changed() {
    if (sink_ == nullptr) return;
    pending_ = true;
    changedAtMs_ = pump_.NowMs();
}

void FrameGate::CapturePending() {
    if (sink_ == nullptr || !pending_) return;
    pending_ = false;  // before waiting: a tick served inside the wait must not capture the same picture
    const std::int64_t readyAt = changedAtMs_ + settleMs_;
    if (pump_.NowMs() < readyAt) {
        ++settleWaits_;
        // Nothing but time makes the picture ready, and no event may run meanwhile: a tick served here would
        // step the simulator before its picture is taken.
        pump_.Block(static_cast<int>(readyAt - pump_.NowMs()));
    }
    if (sink_->CaptureFrame()) {
        ++captured_;
    } else {
        ++failed_;
    }
}

}  // namespace kinoloop

namespace kinoloop {

void FrameExactPackets::SendValuePacket(const std::string& tag, int value) {
    const bool step = tag == "STP";
    if (step) gate_.CapturePending();
    inner_.SendValuePacket(tag, value);
    if (step) gate_.Changed();
}

void FrameExactPackets::SendCameraPacket(const FieldBuffer& fields) {
    inner_.SendCameraPacket(fields);
    gate_.Changed();
}

}  // namespace kinoloop
