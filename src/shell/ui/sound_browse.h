#pragma once
// "Browse" of the sound properties panel: the user picks a sound file and the selected sound node takes it,
// measured by the audio engine, covering the cells its sound lasts.
#include <functional>
#include <string>

namespace kinoloop {

class Movie;
class Notices;
class SoundFileMeasure;

inline constexpr const char* kSoundDialogTitle = "Open Sound File...";
// Linux file names keep their letter case, so both spellings of every extension are offered.
inline constexpr const char* kSoundDialogFilter =
    "Sound Files (*.MP3 *.MP2 *.MP1 *.OGG *.WAV *.XM *.IT *.S3M *.MOD *.MTM *.UMX *.MO3 "
    "*.mp3 *.mp2 *.mp1 *.ogg *.wav *.xm *.it *.s3m *.mod *.mtm *.umx *.mo3)";

struct SoundBrowseContext {
    Movie* movie = nullptr;
    Notices* notices = nullptr;
    std::function<SoundFileMeasure*()> measure;  // the audio engine, once it exists
    std::function<int()> fps;
    std::function<void(bool stored, const std::string& path)> shown;  // show the node and the grid again
    std::function<std::string()> choosePath;             // empty when cancelled; default: a QFileDialog
};

class SoundBrowse {
public:
    explicit SoundBrowse(SoundBrowseContext context);
    void SetPathChooser(std::function<std::string()> chooser) { context_.choosePath = std::move(chooser); }

    // Asks for the file and gives it to the sound node at the selected cell; a cancelled dialog does nothing.
    void Browse();
    // The same with the file already chosen. True when the node holds it.
    bool UseFile(const std::string& path);

private:
    SoundBrowseContext context_;
};

}  // namespace kinoloop
