#include "shell/ui/playback_parts.h"

#include <QCoreApplication>

#include "playback/wiring/playback_system.h"
#include "render/plugin_host.h"

namespace kinoloop {

PlaybackParts::PlaybackParts(PlaybackSystem& playback, PlaybackPartsContext context, Notices& notices)
    : playback_(playback), context_(std::move(context)) {
    engines_ = std::make_unique<PlaybackEngines>(playback_, [this] { return Placement(); });
    ReportPluginProblems(engines_->plugins, notices);
    playback_.debug.target = context_.debug;
    playback_.panel.target = this;
    playback_.controls.target = this;
}

PlaybackParts::~PlaybackParts() {
    playback_.debug.target = nullptr;
    playback_.panel.target = nullptr;
    playback_.controls.target = nullptr;
}

PanelPlacement PlaybackParts::Placement() const {
    PanelPlacement placement;
    QWidget* panel = context_.simulatorPanel;
    if (panel == nullptr) return placement;
    // The panel's own screen position; the capture rectangle adds one row below the top (the window border's
    // formula with no border), so the top is given one row higher.
    const QPoint topLeft = panel->mapToGlobal(QPoint(0, 0));
    placement.windowLeft = topLeft.x();
    placement.windowTop = topLeft.y() - 1;
    placement.panelWidth = panel->width();
    placement.panelHeight = panel->height();
    return placement;
}

void PlaybackParts::SetRenderSize(int width, int height) {
    if (context_.setSizeLock) context_.setSizeLock(true);
    if (context_.simulatorPanel != nullptr) context_.simulatorPanel->resize(width, height);
    if (context_.placeSimulator) context_.placeSimulator();
    // The first captured frame must already show the panel at its new size.
    QCoreApplication::processEvents();
}

void PlaybackParts::RestoreSize() {
    if (context_.setSizeLock) context_.setSizeLock(false);
    if (context_.placeSimulator) context_.placeSimulator();
}

void PlaybackParts::SetControlsEnabled(bool enabled) {
    if (context_.setControlsEnabled) context_.setControlsEnabled(enabled);
}

}  // namespace kinoloop
