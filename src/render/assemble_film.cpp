#include "render/assemble_film.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <system_error>

#include "model/movie.h"
#include "render/avi_writer.h"
#include "render/effect_chain.h"
#include "render/frame_file.h"
#include "render/watermark.h"

namespace kinoloop {

namespace fs = std::filesystem;

namespace {

constexpr const char* kTempAviName = "temp.avi";

// The assembly's voice: the texts go to balloons and the status line as the program has always shown them.
class FilmReporter {
public:
    explicit FilmReporter(const FilmReporting& reporting) : r_(reporting) {}

    void Balloon(const std::string& text) { r_.notices->Progress(text); }
    void Status(const std::string& text) {
        if (r_.SetLastAction) r_.SetLastAction(text);
    }
    void Both(const std::string& text) {
        Balloon(text);
        Status(text);
    }
    void Error(const std::string& text) {
        r_.notices->ShowBalloon(kBalloonTitle, text, BalloonKind::Error, kBalloonShortMs);
        Status(text);
    }
    void ErrorBalloon(const std::string& text) {
        r_.notices->ShowBalloon(kBalloonTitle, text, BalloonKind::Error, kBalloonShortMs);
    }
    void Pump() {
        if (r_.HandlePendingMessages) r_.HandlePendingMessages();
    }
    Notices& notices() { return *r_.notices; }

private:
    const FilmReporting& r_;
};

void RemoveQuietly(const fs::path& file) {
    std::error_code ignored;  // a file that is already gone is what we want
    fs::remove(file, ignored);
}

// The pixels of a checked frame image as the film stores them (bottom-up), stamped when asked. Points into
// the image itself when nothing needs changing.
std::span<const std::uint8_t> FramePixels(const BmpView& view, const FrameImage* mark, FrameImage& scratch) {
    if (!view.topDown && mark == nullptr) return view.pixels;
    scratch.width = view.width;
    scratch.height = view.height;
    scratch.pixels.resize(scratch.ImageSize());
    const std::size_t stride = static_cast<std::size_t>(scratch.Stride());
    if (!view.topDown) {
        std::memcpy(scratch.pixels.data(), view.pixels.data(), view.pixels.size());
    } else {
        for (int row = 0; row < view.height; ++row) {
            std::memcpy(scratch.pixels.data() + static_cast<std::size_t>(view.height - 1 - row) * stride,
                        view.pixels.data() + static_cast<std::size_t>(row) * stride, stride);
        }
    }
    if (mark != nullptr) StampWatermark(scratch, *mark);
    return scratch.pixels;
}

}  // namespace

std::string FilmFileName(const std::string& MovieFileName) {
    std::string lower = MovieFileName;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::string name = MovieFileName;
    if (const auto at = lower.find(".knloop"); at != std::string::npos) name.erase(at, 7);
    return name + ".avi";
}

fs::path SoundTrackPath(const fs::path& movFolder, const std::string& MovieFileName) {
    return movFolder / (MovieFileName + ".wav");
}

int FilmFrameRate(std::int64_t frames, std::int64_t seconds) {
    return static_cast<int>(frames / std::max<std::int64_t>(seconds, 1) + 1);
}

FilmOutcome AssembleFilm(const FilmRequest& request, const FilmReporting& reporting) {
    FilmReporter report(reporting);
    const fs::path framesFile = request.movFolder / kFrameFileName;
    const fs::path tempAvi = request.movFolder / kTempAviName;
    const fs::path soundTrack = SoundTrackPath(request.movFolder, request.MovieFileName);
    FilmOutcome outcome;
    outcome.film = request.movFolder / FilmFileName(request.MovieFileName);

    report.Balloon("Processing Rendered Movie, Please Wait");

    FrameFileReader frames;
    AviWriter writer;
    SoundTrackReader sound;
    std::string soundProblem;
    const std::int64_t n = request.CapturedFrameCount;

    // Everything that goes wrong ends here: temporary files go, the recorded sound stays when it is not in a
    // film.
    auto finish = [&](const std::string& failure) {
        frames.Close();
        RemoveQuietly(framesFile);
        RemoveQuietly(tempAvi);
        if (outcome.soundAdded && failure.empty()) RemoveQuietly(soundTrack);
        report.Pump();
        if (failure.empty()) {
            outcome.saved = true;
            report.Status("Creating AVI - Movie Render complete");
            report.Balloon("Creating AVI - Movie Render Complete");
            report.notices().Inform("Movie render complete. Your movie has been saved in the Mov folder");
        } else {
            outcome.failure = failure;
            report.Status("Creating AVI - Movie Render failed");
            report.ErrorBalloon("Creating AVI - Movie Render Failed");
            report.notices().ShowMsgBox(
                icon::Error, buttons::Ok, kProductName,
                "The movie render failed: " + failure + ". No movie was saved in the Mov folder.");
        }
        return outcome;
    };

    if (n < 1 || request.CapturedFrameSize < static_cast<std::int64_t>(bmp::kPixelOffset)) {
        return finish("no frame was captured, so there is nothing to make a film of");
    }
    if (request.movieFramesPerSecond > 0) {
        outcome.framesPerSecond = request.movieFramesPerSecond;
    } else {
        std::int64_t seconds = request.RecordedSeconds;
        if (seconds < 1) {
            // The sound recorder gave no length: the render's own clock measures it instead.
            seconds = std::max<std::int64_t>(1, request.wallClockMilliseconds / 1000);
            report.Status(
                "Creating AVI - The sound recorder gave no length; the frame rate is measured from the "
                "render's duration");
        }
        outcome.framesPerSecond = FilmFrameRate(n, seconds);
    }

    if (render::Status opened = frames.Open(framesFile, request.CapturedFrameSize, n); !opened) {
        return finish(opened.error());
    }
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(request.CapturedFrameSize));
    if (render::Status read = frames.Read(0, buffer); !read) return finish(read.error());
    auto first = ViewBmp24(buffer);
    if (!first) return finish("the first captured frame cannot be read: " + first.error());
    const int width = first.value().width;
    const int height = first.value().height;

    if (request.RecordAudio) {
        if (!sound.Open(soundTrack)) {
            soundProblem = "Creating AVI - ERROR, Unable to open the temporary audio file";
        } else if (!sound.CheckStream()) {
            soundProblem = "Creating AVI - ERROR, Unable to create the audio stream";
        }
    }
    const bool withSound = request.RecordAudio && soundProblem.empty();
    if (render::Status created =
            writer.Create(tempAvi, {width, height, outcome.framesPerSecond}, withSound ? &sound : nullptr);
        !created) {
        report.Error("Creating AVI - ERROR, Unable to create " + tempAvi.string() + ": " + created.error());
        return finish(created.error());
    }

    static const std::vector<TPlugin> kNoPlugins;
    static const NodeStore kNoNodes;
    const NodeStore& nodes = request.nodes ? *request.nodes : kNoNodes;
    const EffectColumns columns(nodes);
    const std::int32_t startColumn = RenderStartColumn(nodes);
    FrameEffects effects(request.plugins ? *request.plugins : kNoPlugins);
    const FrameEffectEvents events{
        [&](std::int64_t i) {
            report.Status("Creating AVI - Applying Effect to Frame: " + std::to_string(i));
            report.Pump();
        },
        [&](const std::string& message) {
            ++outcome.rejectedEffects;
            report.Error(message);
        }};
    const FrameImage* mark = request.watermark ? request.watermarkImage : nullptr;
    FrameImage scratch;

    std::string writeFailure;
    for (std::int64_t i = 1; i <= n; ++i) {
        render::Status read = i == 1 ? render::Ok() : frames.Read(i - 1, buffer);
        std::span<const std::uint8_t> image;
        auto view = read ? ViewBmp24(effects.Apply(
                               buffer, columns.At(static_cast<std::int32_t>(startColumn + i - 1)), i, events))
                         : render::Result<BmpView>(render::Failure{read.error()});
        if (view && (view.value().width != width || view.value().height != height)) {
            view = render::Failure{"frame " + std::to_string(i) + " is not the size of the first frame"};
        }
        render::Status written = view ? writer.WriteFrame(FramePixels(view.value(), mark, scratch))
                                      : render::Status(render::Failure{view.error()});
        if (!written) {
            report.ErrorBalloon("Could Not Add Frame");
            writeFailure = written.error();
            break;
        }
        const auto percent = RoundHalfEven(static_cast<double>(i) / static_cast<double>(n) * 100.0);
        report.Both("Creating AVI - Frame: " + std::to_string(i) + "\\" + std::to_string(n) + ", " +
                    std::to_string(percent) + "% complete");
        report.Pump();
    }
    outcome.framesWritten = writer.FramesWritten();
    frames.Close();
    RemoveQuietly(framesFile);

    report.Both("Creating AVI - Finalizing, Please wait this may take some time");
    if (!soundProblem.empty()) report.Error(soundProblem);
    if (!writeFailure.empty()) return finish(writeFailure);
    if (render::Status done = writer.Finish(); !done) {
        report.Error("Creating AVI - ERROR, Unable to write the final AVI file");
        return finish(done.error());
    }
    std::error_code renamed;
    fs::rename(tempAvi, outcome.film, renamed);
    if (renamed) {
        report.Error("Creating AVI - ERROR, Unable to write the final AVI file");
        return finish("cannot name the film " + outcome.film.string() + ": " + renamed.message());
    }
    outcome.soundAdded = withSound;
    return finish("");
}

}  // namespace kinoloop
