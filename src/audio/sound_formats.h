#pragma once
// Which files and addresses the sound engine accepts, and the filter texts of the file dialogs.
#include <string>
#include <string_view>

namespace kinoloop {

// The engine's own open-dialog filter (stream and tracker formats).
inline constexpr const char* kEngineFileFilter =
    "mp1/mp2/mp3/wav/ogg/mod/s3m/it/umx/mo3/mtm/"
    "xm|*.mp1;*.mp2;*.mp3;*.wav;*.ogg;*.mod;*.s3m;*.it;*.umx;*.mo3;*.mtm;"
    "*.xm|Streams (mp1/mp2/mp3/wav/ogg)|*.mp1;*.mp2;*.mp3;*.wav;*.ogg|Trackers "
    "(mod/s3m/it/umx/mo3/mtm/xm)|*.mod;"
    "*.s3m;*.it;*.umx;*.mo3;*.mtm;*.xm";
// What the audio object adds to it.
inline constexpr const char* kPlaylistFilterSuffix = "|Playlist (pls/m3u)|*.pls;*.m3u";

// The sound file dialog of the sound properties panel.
inline constexpr const char* kSoundFileDialogTitle = "Open Sound File...";
inline constexpr const char* kSoundFileDialogFilter =
    "Sound Files|*.MP3;*.MP2;*.MP1;*.OGG;*.WAV;*.XM;*.IT;*.S3M;*.MOD;*.MTM;*.UMX;*.MO3";

// True for the extensions ".MP1", ".MP2", ".MP3", ".WAV", ".OGG", ".MOD", ".S3M", ".IT", ".UMX", ".MO3",
// ".MTM",
// ".XM" in any case.
bool IsKnownSoundFile(std::string_view path);

// True when the text begins with "HTTP://" or "FTP://" in any case.
bool IsInternetAddress(std::string_view text);

// The extension of the path's last name with its dot, in upper case ("" when there is none).
std::string UpperExtension(std::string_view path);

// The last name of a path; both "/" and "\" separate names, so Windows-style entries work too.
std::string FileNameOf(std::string_view path);

// ASCII case-insensitive comparisons, as the playlist looks items up.
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace kinoloop
