#pragma once
// The main window's side of playback: the engines behind the playback system's ports (scripts, audio, recorder,
// capture, plug-ins, watermark), the render's hold on the simulator panel's size and the interface lock. The
// main window creates one at start-up and keeps it for the program's life.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "playback/ports.h"
#include "render/capture_session.h"

namespace kinoloop {

class Notices;
class PlaybackEngines;
class PlaybackSystem;

struct PlaybackPartsContext {
    QWidget* simulatorPanel = nullptr;             // `panLFS`: the simulator is drawn, and captured, there
    std::function<void(bool locked)> setSizeLock;  // sets or clears `RenderSizeLock`
    std::function<void()> placeSimulator;          // re-places the panel and the simulator's window in it
    std::function<void(bool enabled)> setControlsEnabled;  // the controls a render locks
    DebugLog* debug = nullptr;                     // the "Timeline Debug" window
};

class PlaybackParts : public RenderPanel, public InterfaceLock {
public:
    // Attaches every part to the playback system; the plug-in scan's skipped libraries are told through notices.
    PlaybackParts(PlaybackSystem& playback, PlaybackPartsContext context, Notices& notices);
    ~PlaybackParts() override;

    PlaybackEngines& engines() { return *engines_; }
    // Where the simulator panel is on the screen now (renders and screenshots capture it there).
    PanelPlacement Placement() const;

    // RenderPanel: the panel takes the render's frame size and keeps it until the render ends.
    void SetRenderSize(int width, int height) override;
    void RestoreSize() override;
    // InterfaceLock
    void SetControlsEnabled(bool enabled) override;

private:
    PlaybackSystem& playback_;
    PlaybackPartsContext context_;
    std::unique_ptr<PlaybackEngines> engines_;
};

}  // namespace kinoloop
