#pragma once
// The engine side of sound nodes: the playlist that a full playback or a render starts with, and starting a
// node's sound.
#include <string>

#include "audio/audio_engine.h"
#include "model/movie.h"

namespace kinoloop {

// Before the replay is loaded for "Preview Movie" and "Render Movie": stops the sound, refills the playlist
// with one item per sound node in store order (titled with the file's name) and clears the node field buffer.
void PrepareSoundPlaylist(Movie& movie, TAudioObject& audio);

// Plays the playlist item of the sound node whose field text is given; nodes naming the same file all start
// the first item of that file. False when the node's file is not in the playlist.
bool StartSoundNode(TAudioObject& audio, const std::string& fieldText);

}  // namespace kinoloop
