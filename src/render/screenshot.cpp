#include "render/screenshot.h"

#include <QDate>
#include <QImage>
#include <QImageWriter>
#include <QLocale>
#include <system_error>

namespace kinoloop {

namespace fs = std::filesystem;

std::string ScreenshotDatePart(const std::string& shortDate) {
    std::string part;
    for (char c : shortDate) {
        if (std::string_view("\\/:*?\"<>| ").find(c) == std::string_view::npos) part += c;
    }
    return part;
}

Screenshots::Screenshots(std::function<std::string()> shortDate) : shortDate_(std::move(shortDate)) {
    if (!shortDate_) {
        shortDate_ = [] {
            return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
        };
    }
}

render::Status SaveJpeg(const FrameImage& image, const fs::path& file) {
    if (image.width <= 0 || image.height <= 0) return render::Failure{"there is no picture"};
    // The rows are bottom-up with blue first: a top-down view of them turned the right way and to RGB.
    const QImage bottomUp(image.pixels.data(), image.width, image.height, image.Stride(),
                          QImage::Format_BGR888);
    const QImage picture = bottomUp.mirrored(false, true);
    QImageWriter writer(QString::fromStdString(file.string()), "jpeg");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(false);
    writer.setOptimizedWrite(false);
    if (!writer.write(picture)) return render::Failure{writer.errorString().toStdString()};
    return render::Ok();
}

ScreenshotOutcome Screenshots::Take(bool simulatorWindowFound, PanelCapture& capture,
                                    const PanelPlacement& placement, const fs::path& movFolder,
                                    Notices& notices,
                                    const std::function<void(const std::string&)>& SetLastAction) {
    ScreenshotOutcome outcome;
    if (!simulatorWindowFound &&
        !notices.AskYes(
            "Live for Speed doesn't appear to be loaded, do you want to take a screenshot anyway?")) {
        return outcome;
    }
    auto fail = [&](const std::string& why) {
        outcome.status = "Screenshot not saved: " + why;
        notices.ShowBalloon(kBalloonTitle, outcome.status, BalloonKind::Error, kBalloonShortMs);
        if (SetLastAction) SetLastAction(outcome.status);
        return outcome;
    };

    const render::Status captured = capture.CaptureSimulatorFrame(placement);
    if (!captured || capture.CaptureBitmap() == nullptr) {
        return fail("the simulator panel could not be captured (" + captured.error() + ")");
    }
    std::error_code error;
    fs::create_directories(movFolder, error);
    const std::string date = ScreenshotDatePart(shortDate_());
    std::string name;
    do {  // the counter restarts with every run: skip the numbers an earlier run used today
        ++counter_;
        name = date + "_" + std::to_string(counter_) + ".jpg";
    } while (fs::exists(movFolder / name, error));
    outcome.file = movFolder / name;
    const render::Status saved = SaveJpeg(*capture.CaptureBitmap(), outcome.file);
    capture.Discard();
    if (!saved)
        return fail("'" + name + "' could not be written in to the Mov folder (" + saved.error() + ")");
    outcome.saved = true;
    outcome.status = "Saved screenshot as '" + name + "' in to the Mov folder";
    if (SetLastAction) SetLastAction(outcome.status);
    return outcome;
}

}  // namespace kinoloop
