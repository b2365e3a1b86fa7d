#include "audio/sound_playlist.h"

#include "audio/sound_formats.h"
#include "audio/sound_nodes.h"

namespace kinoloop {

void PrepareSoundPlaylist(Movie& movie, TAudioObject& audio) {
    audio.Stop();
    audio.ClearItems();
    for (const std::string& path : SoundNodePaths(movie.nodeStore)) audio.AddItem(path, FileNameOf(path));
    movie.txtRecords.Clear();
}

bool StartSoundNode(TAudioObject& audio, const std::string& fieldText) {
    const int index = audio.FindItem(SoundNodePath(fieldText));
    if (index == -1) return false;
    audio.PlayItem(index);
    return true;
}

}  // namespace kinoloop
