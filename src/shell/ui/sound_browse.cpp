#include "shell/ui/sound_browse.h"

#include <QFileDialog>

#include "audio/sound_nodes.h"
#include "model/movie.h"
#include "shell/notices.h"

namespace kinoloop {

SoundBrowse::SoundBrowse(SoundBrowseContext context) : context_(std::move(context)) {
    if (!context_.choosePath) {
        context_.choosePath = [] {
            return QFileDialog::getOpenFileName(nullptr, kSoundDialogTitle, QString(), kSoundDialogFilter)
                .toStdString();
        };
    }
}

void SoundBrowse::Browse() {
    const std::string path = context_.choosePath();
    if (!path.empty()) UseFile(path);
}

bool SoundBrowse::UseFile(const std::string& path) {
    Notices& notices = *context_.notices;
    SoundFileMeasure* measure = context_.measure ? context_.measure() : nullptr;
    if (measure == nullptr) {
        notices.Refuse(kSoundLoadProblem);
        return false;
    }
    Movie& movie = *context_.movie;
    const SoundBrowseResult result =
        BrowseSoundFile(movie, notices, *measure, movie.SelCol, movie.SelRow, path, context_.fps());
    if (context_.shown) context_.shown(result.stored, path);
    return result.stored;
}

}  // namespace kinoloop
