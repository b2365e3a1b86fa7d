#include "shell/ui/movie_files.h"

#include <QFileDialog>
#include <QString>
#include <algorithm>
#include <cctype>

#include "model/movie.h"
#include "model/node_kind.h"
#include "playback/playback_modes.h"
#include "project/project_file.h"
#include "shell/notices.h"
#include "shell/program_folder.h"

namespace kinoloop {
namespace {

inline constexpr const char* kProjectFilter = "Kinoloop Movies (*.knloop)";

std::string DialogPath(bool save, const std::filesystem::path& folder, const std::string& name) {
    const QString start = QString::fromStdString((folder / name).string());
    if (save) {
        // The program asks before replacing a file itself, with its own message.
        return QFileDialog::getSaveFileName(nullptr, "Save Movie", start, kProjectFilter, nullptr,
                                            QFileDialog::DontConfirmOverwrite)
            .toStdString();
    }
    return QFileDialog::getOpenFileName(nullptr, "Open Movie", QString::fromStdString(folder.string()),
                                        kProjectFilter)
        .toStdString();
}

bool HoldsHotMoments(const Movie& movie) {
    const std::string tag = KindInfo(NodeKind::HotMoment).tag;
    return std::any_of(movie.nodeStore.Records().begin(), movie.nodeStore.Records().end(),
                       [&tag](const NodeText& record) { return record.tag == tag; });
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

MovieFiles::MovieFiles(MovieFilesContext context) : context_(std::move(context)) {
    if (!context_.choosePath) context_.choosePath = DialogPath;
}

std::filesystem::path MovieFiles::WithProjectExtension(std::filesystem::path path) {
    if (Upper(path.extension().string()) != ".KNLOOP") path += ".knloop";
    return path;
}

void MovieFiles::StartNewMovie() {
    Notices& notices = *context_.notices;
    if (!notices.AskYes("This will erase any ongoing work. Are you sure you want to start a new movie?")) return;
    notices.Progress("Resetting Kinoloop 2, Please Wait");
    Movie& movie = *context_.movie;
    movie.ReplaceMovie(Movie{});
    movie.NextNodeID = 0;
    movie.CopiedNodeID = -1;
    if (context_.modes != nullptr) {
        context_.modes->DebugMode = context_.modes->QuickPreviewMode = context_.modes->PreviewMode = false;
    }
    movie.ResetTimeline(std::max(context_.timelineSeconds(), 1), std::max(context_.fps(), 1));
    movie.SetLastAction("No Action");
    if (context_.refresh) context_.refresh();
}

void MovieFiles::OpenMovieClick() {
    const std::filesystem::path folder = SavFolder();
    std::filesystem::create_directories(folder);
    const std::string path = context_.choosePath(false, folder, {});
    if (!path.empty()) OpenFrom(path);
}

void MovieFiles::SaveMovieClick() {
    const std::filesystem::path folder = SavFolder();
    std::filesystem::create_directories(folder);
    const std::string path = context_.choosePath(true, folder, context_.movie->header.MovieFileName);
    if (!path.empty()) SaveTo(path);
}

bool MovieFiles::OpenFrom(const std::filesystem::path& path) {
    context_.notices->Progress("Loading Saved Movie, Please Wait");
    if (!context_.open(path.string())) return false;
    if (context_.modes != nullptr) {
        context_.modes->DebugMode = context_.modes->QuickPreviewMode = context_.modes->PreviewMode = false;
    }
    return true;
}

bool MovieFiles::Autosave() {
    if (context_.modes != nullptr && context_.modes->Rendering) return false;
    Notices& notices = *context_.notices;
    const Movie& movie = *context_.movie;
    if (Upper(movie.header.MovieFileName) == Upper(MovieHeader::kUnsavedName)) {
        notices.ShowBalloon(kBalloonTitle,
                            "Tried to autosave but the current movie hasn't\r\nbeen saved yet. You will need to save "
                            "your movie\r\nif you want the autosave feature to work",
                            BalloonKind::Information, kBalloonLongMs);
        return false;
    }
    notices.Progress("Auto Saving Movie, Please Wait");
    const std::filesystem::path path =
        std::filesystem::path(movie.header.MovieFolder) / movie.header.MovieFileName;
    const Status written = WriteMovie(movie, path, [&notices](const std::string&) {
        notices.ShowBalloon(kBalloonTitle, "Saved Movie successfully", BalloonKind::Information, kBalloonLongMs);
    });
    if (!written) {
        // Nobody is asked during an autosave, but a failure must not pass unseen.
        notices.ShowBalloon(kBalloonTitle, written.Message(), BalloonKind::Error, kBalloonLongMs);
        return false;
    }
    if (HoldsHotMoments(movie)) {
        notices.ShowBalloon(kBalloonTitle,
                            "Autosave was successful but you have some non converted\r\nHot Moments that won't be "
                            "saved if you close Kinoloop.\r\nPlease convert to cameras them or delete them",
                            BalloonKind::Information, kBalloonShortMs);
    }
    return true;
}

bool MovieFiles::SaveTo(std::filesystem::path path) {
    Notices& notices = *context_.notices;
    path = WithProjectExtension(std::move(path));
    std::error_code error;
    if (std::filesystem::exists(path, error) &&
        !notices.AskYes("File already exists, do you want to override it?")) {
        return false;
    }
    notices.Progress("Saving Movie, Please Wait");
    Movie& movie = *context_.movie;
    const MovieHeader before = movie.header;
    movie.header.MovieFileName = path.filename().string();
    movie.header.MovieFolder = path.parent_path().string() + "/";
    const Status written = WriteMovie(movie, path, [&notices](const std::string&) {
        notices.ShowBalloon(kBalloonTitle, "Saved Movie successfully", BalloonKind::Information, kBalloonLongMs);
    });
    if (!written) {
        // A failed save leaves the movie under its old name, so autosave does not aim at a file that is not there.
        movie.header = before;
        notices.Refuse(written.Message());
        return false;
    }
    if (HoldsHotMoments(movie)) {
        notices.Inform("Any non converted Hot Moments won't be saved. Please convert to cameras them or delete them");
    }
    return true;
}

}  // namespace kinoloop
