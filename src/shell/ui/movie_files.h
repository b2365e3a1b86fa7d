#pragma once
// The File menu's movie commands: "Start New Movie", "Open Movie" and "Save Movie". The project files lie in the
// Sav folder; a file dialog picks them, the project functions read and write them, and every outcome is told
// through Notices.
#include <filesystem>
#include <functional>
#include <string>

namespace kinoloop {

class Movie;
class Notices;
struct PlaybackModes;

struct MovieFilesContext {
    Movie* movie = nullptr;
    Notices* notices = nullptr;
    PlaybackModes* modes = nullptr;
    std::function<int()> timelineSeconds;  // the "timeline" setting x 60
    std::function<int()> fps;
    // The movie was reset: the grids, the empty properties panel and the frame labels are shown again.
    std::function<void()> refresh;
    // Opens a project file into the movie and shows it (the main window's OpenProjectFile); true on success.
    std::function<bool(const std::string& path)> open;
    // Asks the user for a project file in the folder; empty when cancelled. Default: a QFileDialog.
    std::function<std::string(bool save, const std::filesystem::path& folder, const std::string& name)> choosePath;
};

class MovieFiles {
public:
    explicit MovieFiles(MovieFilesContext context);

    // Replaces the file dialog (tests, or a front end with its own chooser).
    void SetPathChooser(decltype(MovieFilesContext::choosePath) chooser) { context_.choosePath = std::move(chooser); }

    void StartNewMovie();
    void OpenMovieClick();
    void SaveMovieClick();

    // A tick of `tmrAutosave`: writes the movie to its own file, unless a render records or it was never saved
    // (then a balloon reminds the user). True when the file was written.
    bool Autosave();

    // Saves the movie as the named file (".knloop" appended unless it already ends so, in any letter case),
    // asking before replacing an existing file. The movie takes the file's name and folder only when the file
    // was written. True when it was.
    bool SaveTo(std::filesystem::path path);
    // Opens the file and leaves the playback modes off. True when the movie was replaced.
    bool OpenFrom(const std::filesystem::path& path);

    static std::filesystem::path WithProjectExtension(std::filesystem::path path);

private:
    MovieFilesContext context_;
};

}  // namespace kinoloop
