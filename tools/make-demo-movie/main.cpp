// make-demo-movie PROGRAM_FOLDER: writes Sav/demo.knloop, a movie on the demo simulator's replay "demo.spr":
// a replay start node at 10 s and a stop node 20 s later, cameras, a camera move of the shape the camera markers
// build (one camera whose length and time run to the end marker's column), a script, an effect, a sound node
// (Sav/demo-tone.wav, written beside it), a time marker and a note.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/wave_file.h"
#include "model/movie.h"
#include "model/node_records.h"
#include "project/project_file.h"

namespace {

using namespace kinoloop;

constexpr int kFps = 25;
constexpr int kStart = 250;             // 10 s into the replay
constexpr int kStop = kStart + 20 * kFps;  // 20 s later

enum Track { kReplay = 1, kCameras, kMove, kScript, kEffect, kSound, kMarkers, kTrackCount };

CameraNode Camera(int x, int y, int z, int heading, int pitch, float fov) {
    CameraNode camera;
    camera.x = x * 65536;
    camera.y = y * 65536;
    camera.z = z * 65536;
    camera.heading = static_cast<std::uint16_t>(heading);
    camera.pitch = static_cast<std::uint16_t>(pitch);
    camera.viewPlayer = 255;
    camera.cameraType = 4;
    camera.fieldOfView = fov;
    camera.flags = 8192;  // view override
    return camera;
}

void At(Movie& movie, int column, int row) {
    movie.SelCol = column;
    movie.SelRow = row;
}

void Mark(Movie& movie, int column, int row, int length, char head) {
    movie.strTimeline.SetCell(column, row, std::string(1, head));
    const char continuation = static_cast<char>(head - 'A' + 'a');
    for (int c = column + 1; c < column + length; ++c) movie.strTimeline.SetCell(c, row, std::string(1, continuation));
}

std::string WriteTone(const std::filesystem::path& file) {
    WaveFormat format;  // 22050 Hz, 16 bit, stereo
    const int frames = 22050 * 2;
    std::vector<std::uint8_t> samples;
    samples.reserve(static_cast<std::size_t>(frames) * 4);
    for (int i = 0; i < frames; ++i) {
        const double fade = std::min(1.0, std::min(i, frames - i) / 2205.0);
        const auto v = static_cast<std::int16_t>(std::lround(6000.0 * fade * std::sin(2 * M_PI * 440.0 * i / 22050.0)));
        for (int channel = 0; channel < 2; ++channel) {
            samples.push_back(static_cast<std::uint8_t>(v & 0xFF));
            samples.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
        }
    }
    return WriteWaveFile(file, format, samples);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-demo-movie PROGRAM_FOLDER\n");
        return 2;
    }
    const std::filesystem::path sav = std::filesystem::path(argv[1]) / "Sav";
    std::error_code ec;
    std::filesystem::create_directories(sav, ec);
    const std::filesystem::path tone = std::filesystem::absolute(sav / "demo-tone.wav");
    if (std::string error = WriteTone(tone); !error.empty()) {
        std::fprintf(stderr, "make-demo-movie: %s\n", error.c_str());
        return 1;
    }

    Movie movie;
    movie.ResetTimeline(60, kFps);
    movie.strTimeline.SetRowCount(kTrackCount);
    movie.strTracks.SetRowCount(kTrackCount);
    const char* names[] = {"", "Replay", "Cameras", "Camera Move", "Script", "Effect", "Sound", "Time Markers"};
    for (int row = 1; row < kTrackCount; ++row) movie.strTracks.At(row).name = names[row];

    At(movie, 0, kReplay);
    ReplayNode replay;
    replay.fileName = "demo.spr";
    movie.AddReplayRecord(replay);
    Mark(movie, 0, kReplay, 1, 'R');

    At(movie, kStart, kReplay);
    StartNode start;
    start.replayFileName = "demo.spr";
    // A start node belongs to the replay node whose name, column and row it holds; without them playback and
    // renders would start from the replay's beginning.
    start.replayColumn = 0;
    start.replayRow = kReplay;
    movie.AddStartRecord(start);
    Mark(movie, kStart, kReplay, 1, 'G');

    At(movie, kStop, kReplay);
    movie.AddStopRecord(BasicNode{});
    Mark(movie, kStop, kReplay, 1, 'X');

    // Cut cameras: a high view of the field, a low one beside the track, and a last wide one.
    const struct {
        int column;
        CameraNode camera;
    } cuts[] = {{kStart, Camera(0, -200, 120, 0, 5461, 90)},
                {kStart + 100, Camera(-150, -60, 20, 10000, 1500, 60)},
                {kStart + 400, Camera(100, -250, 200, 60000, 8000, 100)}};
    for (const auto& cut : cuts) {
        At(movie, cut.column, kCameras);
        movie.AddCameraRecord(cut.camera);
        Mark(movie, cut.column, kCameras, 1, 'C');
    }
    // The note on the low camera.
    if (NodeText* low = movie.nodeStore.Find(kStart + 100, kCameras)) {
        low->note = "Low shot beside the first corner?Try a narrower field of view";
        movie.strTimeline.SetCell(kStart + 100, kCameras, "Cn");
    }

    // The camera move: from column 451 to 550, as the start and end markers leave it.
    const int moveStart = kStart + 201, moveEnd = kStart + 300;
    CameraNode move = Camera(-100, -150, 60, 5000, 3000, 70);
    move.length = moveEnd - moveStart;
    move.time = static_cast<std::uint16_t>(moveEnd - moveStart);
    At(movie, moveStart, kMove);
    movie.AddCameraRecord(move);
    Mark(movie, moveStart, kMove, move.length + 1, 'C');

    At(movie, kStart + 150, kScript);
    ScriptNode script;
    script.scriptName = "default.script";
    movie.AddScriptRecord(script);
    Mark(movie, kStart + 150, kScript, 1, 'S');

    At(movie, kStart + 350, kEffect);
    EffectNode effect;
    effect.effectName = "Text Caption";
    effect.text = "Kinoloop demo";
    effect.length = 50;
    movie.AddEffectRecord(effect);
    Mark(movie, kStart + 350, kEffect, 50, 'E');

    At(movie, kStart + 10, kSound);
    SoundNode sound;
    sound.path = tone.string();
    for (char& c : sound.path) {
        if (c == ':') c = '?';
    }
    sound.length = sound.soundLength = 2 * kFps;
    movie.AddSoundRecord(sound);
    Mark(movie, kStart + 10, kSound, sound.length, 'T');

    BasicNode marker;
    marker.column = kStart + 250;
    marker.row = kMarkers;
    movie.AddMarkerRecord(marker);
    Mark(movie, kStart + 250, kMarkers, 1, 'M');

    movie.header.MovieAuthor = "Kinoloop";
    movie.header.MovieTrackName = "DEMO1";
    movie.SelCol = 0;
    movie.SelRow = 1;
    const std::filesystem::path file = sav / "demo.knloop";
    const Status written = WriteMovie(movie, file);
    if (!written) {
        std::fprintf(stderr, "make-demo-movie: %s\n", written.Message().c_str());
        return 1;
    }
    std::printf("%s\n", file.string().c_str());
    return 0;
}
