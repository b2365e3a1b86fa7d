#include "shell/ui/screenshot_commands.h"

#include <QDesktopServices>
#include <filesystem>
#include <system_error>

#include "shell/notices.h"
#include "shell/program_folder.h"

namespace kinoloop {

ScreenshotCommands::ScreenshotCommands(ScreenshotContext context)
    : ctx_(std::move(context)), screenshots_(ctx_.shortDate) {
    if (!ctx_.openUrl) ctx_.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

ScreenshotOutcome ScreenshotCommands::Screenshot1Click() {
    PanelCapture* capture = ctx_.capture ? ctx_.capture() : nullptr;
    if (capture == nullptr) {
        // Only before the start-up sequence has attached the capture; there is nothing to take yet.
        ScreenshotOutcome outcome;
        outcome.status = "Screenshot not saved: the screen capture is not ready";
        if (ctx_.setLastAction) ctx_.setLastAction(outcome.status);
        return outcome;
    }
    const bool found = ctx_.simulatorWindowFound && ctx_.simulatorWindowFound();
    const PanelPlacement placement = ctx_.placement ? ctx_.placement() : PanelPlacement{};
    return screenshots_.Take(found, *capture, placement, MovFolder(), *ctx_.notices, ctx_.setLastAction);
}

bool ScreenshotCommands::OpenMoviesFolder1Click() {
    std::error_code error;
    const std::filesystem::path folder = MovFolder();
    if (!std::filesystem::is_directory(folder, error)) return false;
    return ctx_.openUrl(QUrl::fromLocalFile(QString::fromStdString(folder.string())));
}

}  // namespace kinoloop
