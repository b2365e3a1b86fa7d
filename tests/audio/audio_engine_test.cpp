#include "audio/audio_engine.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <cmath>
#include <fstream>

#include "audio/pulse_mixer.h"
#include "audio/sound_formats.h"
#include "audio/sound_playlist.h"
#include "audio_test_support.h"
#include "model/field_text.h"
#include "module_files.h"
#include "scripted_notices.h"

namespace kinoloop {
namespace {

using testing::SoundFiles;
using testing::SpinFor;
using testing::SpinUntil;

class AudioEngine : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        testing::UseTestAudioDriver();
        testing::TestApp();
        SoundFiles::Get();
    }
    void SetUp() override {
        audio = std::make_unique<TAudioObject>();
        ASSERT_EQ(audio->OutputDriver(), testing::PulseAvailable() ? "pulseaudio" : "dummy");
        if (testing::PulseAvailable()) {
            // A fresh PulseAudio stream takes its first buffers at once but starts playing them only once the
            // sink runs, half a second later. The program opens its output at start-up; the tests wait for
            // it.
            ASSERT_TRUE(audio->Play(SoundFiles::Get().wav.string()));
            ASSERT_TRUE(SpinUntil([&] { return audio->PositionMs() > 250; }, 5000));
            audio->Stop();
            audio->ClearItems();
        }
    }
    void TearDown() override { audio.reset(); }

    std::unique_ptr<TAudioObject> audio;
};

struct FileCase {
    const char* kind;
    std::filesystem::path SoundFiles::*file;
    double seconds;  // as made
};
const FileCase kFiles[] = {
    {"wav", &SoundFiles::wav, 1.3},
    {"ogg", &SoundFiles::ogg, 1.7},
    {"mp3", &SoundFiles::mp3, 2.1},
    {"mp3 without header", &SoundFiles::mp3NoHeader, 1.2},
    {"mp2", &SoundFiles::mp2, 1.1},
    {"mod", &SoundFiles::mod, 16 * testing::kSecondsPerRow},
    {"xm", &SoundFiles::xm, 20 * testing::kSecondsPerRow},
};

TEST_F(AudioEngine, MeasuresFilesWithin50msOfFfprobe) {
    for (const FileCase& c : kFiles) {
        const auto& path = SoundFiles::Get().*c.file;
        const double probed = testing::FfprobeSeconds(path);
        ASSERT_GT(probed, 0) << c.kind << ": ffprobe cannot read the fixture";
        EXPECT_NEAR(probed, c.seconds, 0.1) << c.kind << ": the fixture is not what the test made";
        const int ms = audio->FileLengthMs(path.string());
        EXPECT_NEAR(ms, probed * 1000, 50) << c.kind;
    }
}

TEST_F(AudioEngine, FilesItCannotOpenMeasureMinusOne) {
    const auto& files = SoundFiles::Get();
    EXPECT_EQ(audio->FileLengthMs(files.garbage.string()), -1);
    EXPECT_EQ(audio->FileLengthMs((files.garbage.parent_path() / "missing.ogg").string()), -1);
    const auto damaged = files.garbage.parent_path() / "damaged.xm";
    std::ofstream(damaged, std::ios::binary) << "Extended Module: but nothing after it";
    EXPECT_EQ(audio->FileLengthMs(damaged.string()), -1);
}

// The output may take a moment to start pulling samples (a PulseAudio sink waking up): the sound's clock is
// its position, so the tests time a sound from its first audible moment.
bool WaitUntilAudible(TAudioEngine& audio) {
    return SpinUntil([&] { return audio.PositionMs() > 0 || audio.State() != TAudioEngine::kPlaying; }, 3000);
}

TEST_F(AudioEngine, PlaysEachFormatToItsEnd) {
    for (const FileCase& c : kFiles) {
        const auto& path = SoundFiles::Get().*c.file;
        int endedAt = -1;
        const auto connection = QObject::connect(audio.get(), &TAudioEngine::SoundEnded,
                                                 [&](int positionMs) { endedAt = positionMs; });
        const double probedMs = testing::FfprobeSeconds(path) * 1000;
        ASSERT_TRUE(audio->Play(path.string())) << c.kind;
        EXPECT_EQ(audio->State(), TAudioEngine::kPlaying) << c.kind;
        EXPECT_EQ(audio->CurrentFile(), path.string());
        const int length = audio->LengthMs();
        EXPECT_NEAR(length, probedMs, 50) << c.kind;

        ASSERT_TRUE(WaitUntilAudible(*audio)) << c.kind;
        QElapsedTimer clock;
        clock.start();
        const int first = audio->PositionMs();
        SpinFor(300);
        EXPECT_GT(audio->PositionMs(), first + 50) << c.kind << ": the position does not advance";
        EXPECT_EQ(audio->State(), TAudioEngine::kPlaying) << c.kind;

        ASSERT_TRUE(SpinUntil([&] { return audio->State() == TAudioEngine::kEnded; }, length + 5000))
            << c.kind;
        // The end timer fires once fewer than 50 ms remain, not earlier; a busy machine may only make it
        // later.
        EXPECT_GE(endedAt, length - TAudioEngine::kEndMarginMs) << c.kind;
        EXPECT_LE(endedAt, length) << c.kind;
        EXPECT_GE(clock.elapsed() + first, length - 150) << c.kind;
        QObject::disconnect(connection);
    }
}

TEST_F(AudioEngine, StopKeepsTheStoppedState) {
    ASSERT_TRUE(audio->Play(SoundFiles::Get().ogg.string()));
    SpinFor(200);
    audio->Stop();
    EXPECT_EQ(audio->State(), TAudioEngine::kStopped);
    SpinFor(1800);  // past the sound's end: a stopped sound never "ends"
    EXPECT_EQ(audio->State(), TAudioEngine::kStopped);
}

TEST_F(AudioEngine, ASecondSoundCutsTheFirstOff) {
    const auto& files = SoundFiles::Get();
    // Every pairing of the two players: stream after stream, module after stream, stream after module.
    const std::pair<std::filesystem::path, std::filesystem::path> pairs[] = {
        {files.mp3, files.wav}, {files.ogg, files.xm}, {files.mod, files.wav}, {files.xm, files.mod}};
    for (const auto& [first, second] : pairs) {
        ASSERT_TRUE(audio->Play(first.string()));
        ASSERT_TRUE(WaitUntilAudible(*audio));
        SpinFor(200);
        int endedAt = -1;
        const auto connection = QObject::connect(audio.get(), &TAudioEngine::SoundEnded,
                                                 [&](int positionMs) { endedAt = positionMs; });
        ASSERT_TRUE(audio->Play(second.string()));
        EXPECT_EQ(audio->CurrentFile(), second.string());
        EXPECT_EQ(audio->LengthMs(), audio->FileLengthMs(second.string()));
        EXPECT_LT(audio->PositionMs(), 150) << second;
        ASSERT_TRUE(WaitUntilAudible(*audio));
        QElapsedTimer clock;
        clock.start();
        const int start = audio->PositionMs();
        EXPECT_LT(start, 400) << second << ": not played from its start";  // a busy machine may look late
        ASSERT_TRUE(SpinUntil([&] { return audio->State() == TAudioEngine::kEnded; }, 8000));
        // It is the second sound that ends, on its own length and after playing all of it.
        EXPECT_GE(endedAt, audio->LengthMs() - TAudioEngine::kEndMarginMs) << second;
        EXPECT_GE(clock.elapsed() + start, audio->LengthMs() - 150) << second;
        QObject::disconnect(connection);
    }
}

TEST_F(AudioEngine, MeasuringDoesNotTouchTheSoundPlaying) {
    const auto& files = SoundFiles::Get();
    ASSERT_TRUE(audio->Play(files.xm.string()));
    ASSERT_TRUE(WaitUntilAudible(*audio));
    const int before = audio->PositionMs();
    for (const auto& other : {files.wav, files.mod, files.mp3, files.garbage})
        audio->FileLengthMs(other.string());
    EXPECT_EQ(audio->State(), TAudioEngine::kPlaying);
    EXPECT_EQ(audio->CurrentFile(), files.xm.string());
    EXPECT_TRUE(SpinUntil([&] { return audio->PositionMs() > before + 100; }, 3000));
    EXPECT_EQ(audio->State(), TAudioEngine::kPlaying);
    EXPECT_EQ(audio->LengthMs(), audio->FileLengthMs(files.xm.string()));
}

TEST_F(AudioEngine, FailuresPlayNothingAndSayStopped) {
    const auto& files = SoundFiles::Get();
    EXPECT_FALSE(audio->Play(files.garbage.string()));
    EXPECT_EQ(audio->State(), TAudioEngine::kStopped);

    ASSERT_TRUE(audio->Play(files.ogg.string()));
    // An address cannot be streamed: false, and the sound that played has been cut off.
    EXPECT_FALSE(audio->Play("http://radio.example/stream.mp3"));
    EXPECT_FALSE(audio->PlayAddress("ftp://host/a.mp3"));
    EXPECT_EQ(audio->State(), TAudioEngine::kStopped);
    EXPECT_EQ(audio->CurrentFile(), "ftp://host/a.mp3");
    SpinFor(100);
    EXPECT_EQ(audio->State(), TAudioEngine::kStopped);  // the end timer leaves addresses alone

    ASSERT_TRUE(audio->Play(files.ogg.string()));
    EXPECT_FALSE(audio->Play((files.garbage.parent_path() / "missing.wav").string()));
    EXPECT_EQ(audio->State(), TAudioEngine::kStopped);
    EXPECT_EQ(audio->PositionMs(), 0);
}

TEST_F(AudioEngine, FiltersAndSettings) {
    EXPECT_EQ(audio->TAudioEngine::FileFilter(), kEngineFileFilter);
    EXPECT_EQ(audio->FileFilter(), std::string(kEngineFileFilter) + "|Playlist (pls/m3u)|*.pls;*.m3u");
    EXPECT_EQ(audio->Frequency(), 44100);
    EXPECT_EQ(audio->Device(), -1);
    EXPECT_EQ(audio->State(), TAudioEngine::kStopped);
    EXPECT_EQ(audio->BufferLengthMs(), 500);
    EXPECT_EQ(audio->SetBufferLength(10), 150);
    EXPECT_EQ(audio->SetBufferLength(5000), 2000);
    EXPECT_TRUE(TAudioEngine::IsKnownSoundFile("track.Mp3"));
    EXPECT_FALSE(TAudioEngine::IsKnownSoundFile("track.mp4"));
}

TEST_F(AudioEngine, PlaylistItemsAndBounds) {
    const auto& files = SoundFiles::Get();
    audio->AddItem(files.wav.string(), "tone");
    audio->AddItem("HTTP://radio.example/live", "radio");
    const auto list = files.wav.parent_path() / "list.m3u";
    std::ofstream(list) << "tone.ogg\n" << files.mod.string() << "\n";
    audio->AddItem(list.string(), "ignored");
    audio->AddItem((files.wav.parent_path() / "notes.txt").string(),
                   "ignored");  // neither sound nor playlist
    ASSERT_EQ(audio->ItemCount(), 4);
    EXPECT_EQ(audio->FindItem(files.ogg.string()), 2);
    EXPECT_EQ(audio->FindItem(files.mod.string()), 3);

    const std::string current = audio->CurrentFile();
    audio->PlayItem(audio->ItemCount());  // one past the end: nothing
    audio->PlayItem(-1);
    EXPECT_EQ(audio->State(), TAudioEngine::kStopped);
    EXPECT_EQ(audio->LastItem(), -1);
    EXPECT_EQ(audio->CurrentFile(), current);

    audio->PlayItem(2);
    EXPECT_EQ(audio->LastItem(), 2);
    EXPECT_EQ(audio->CurrentFile(), files.ogg.string());
    EXPECT_EQ(audio->State(), TAudioEngine::kPlaying);

    EXPECT_TRUE(audio->LoadPlaylistFile(list.string(), true));
    EXPECT_EQ(audio->ItemCount(), 2);
    EXPECT_FALSE(audio->LoadPlaylistFile(files.wav.string(), true));
    audio->ClearItems();
    EXPECT_EQ(audio->ItemCount(), 0);
}

TEST_F(AudioEngine, PreparedPlaylistHoldsOneItemPerSoundNode) {
    const auto& files = SoundFiles::Get();
    Movie movie;
    movie.ResetTimeline(60, 25);
    const std::string stored[] = {PathToField(files.ogg.string()), PathToField(files.wav.string()),
                                  PathToField(files.ogg.string())};
    for (int i = 0; i < 3; ++i) {
        movie.SelCol = 10 * (i + 1);
        SoundNode sound;
        sound.path = stored[i];
        movie.AddSoundRecord(sound);
    }
    movie.txtRecords.Load(movie.nodeStore.Records()[0].fieldText);
    audio->AddItem(files.mp3.string(), "left over");
    ASSERT_TRUE(audio->Play(files.mp3.string()));

    PrepareSoundPlaylist(movie, *audio);
    EXPECT_EQ(audio->State(), TAudioEngine::kStopped);
    EXPECT_EQ(movie.txtRecords.LineCount(), 0);
    ASSERT_EQ(audio->ItemCount(), 3);
    EXPECT_EQ(audio->Playlist().Item(1), files.wav.string());
    EXPECT_EQ(audio->Playlist().Title(1), "tone.wav");

    // Both nodes naming the same file start its first item.
    EXPECT_TRUE(StartSoundNode(*audio, movie.nodeStore.Records()[2].fieldText));
    EXPECT_EQ(audio->LastItem(), 0);
    EXPECT_EQ(audio->State(), TAudioEngine::kPlaying);
    EXPECT_TRUE(StartSoundNode(*audio, movie.nodeStore.Records()[1].fieldText));
    EXPECT_EQ(audio->LastItem(), 1);
    EXPECT_FALSE(StartSoundNode(*audio, "9:1:1:1:/not/in/the/list.ogg:1"));
    EXPECT_EQ(audio->LastItem(), 1);
}

TEST_F(AudioEngine, ReopeningTheOutputStopsTheSound) {
    ASSERT_TRUE(audio->Play(SoundFiles::Get().wav.string()));
    audio->Init(-1);
    EXPECT_EQ(audio->State(), TAudioEngine::kStopped);
    EXPECT_TRUE(audio->Play(SoundFiles::Get().wav.string()));
}

}  // namespace
}  // namespace kinoloop

namespace kinoloop {
namespace {

TEST(RecordingControls, OpensPavucontrolOnItsRecordingPageWhenInstalled) {
    testing::TestApp();
    const char* path = std::getenv("PATH");
    const std::string keptPath = path != nullptr ? path : "";
    testing::TempFolder folder;

    setenv("PATH", folder.Path().c_str(), 1);
    EXPECT_FALSE(OpenRecordingControls());

    // A stand-in volume control that writes down how it was started.
    const auto program = folder / "pavucontrol";
    const auto started = folder / "started.txt";
    std::ofstream(program) << "#!/bin/sh\necho \"$@\" > '" << started.string() << "'\n";
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    EXPECT_TRUE(OpenRecordingControls());
    EXPECT_TRUE(testing::SpinUntil([&] { return std::filesystem::exists(started); }, 5000));
    testing::SpinFor(100);
    std::ifstream in(started);
    std::string arguments;
    std::getline(in, arguments);
    EXPECT_EQ(arguments, "--tab=2");
    setenv("PATH", keptPath.c_str(), 1);
}

}  // namespace
}  // namespace kinoloop

namespace kinoloop {
namespace {

TEST_F(AudioEngine, BrowsingARealFileMeasuresItWithTheEngine) {
    testing::TempFolder folder;
    const auto file = folder / "take 1: ten point nine.wav";  // a ":" as drive paths have
    ASSERT_TRUE(testing::Shell("sox -n -r 8000 -c 1 -b 16 '" + file.string() + "' synth 10.9 sine 300"));
    Movie movie;
    movie.ResetTimeline(600, 25);
    movie.SelCol = 100;
    movie.AddSoundRecord(SoundNode{});
    movie.strTimeline.SetCell(100, 1, "T");
    testing::ScriptedNotices notices;

    const SoundBrowseResult result = BrowseSoundFile(movie, notices, *audio, 100, 1, file.string(), 25);
    EXPECT_TRUE(result.stored);
    EXPECT_EQ(result.length, 250);
    EXPECT_EQ(movie.strTimeline.Cell(349, 1), "t");
    EXPECT_EQ(movie.strTimeline.Cell(350, 1), "");
    EXPECT_TRUE(notices.boxes.empty());
    EXPECT_NE(movie.nodeStore.Find(100, 1)->fieldText.find("take 1? ten point nine.wav"), std::string::npos);

    // The node's file goes into the playlist with ":" restored and plays from there.
    PrepareSoundPlaylist(movie, *audio);
    ASSERT_EQ(audio->ItemCount(), 1);
    EXPECT_TRUE(StartSoundNode(*audio, movie.nodeStore.Find(100, 1)->fieldText));
    EXPECT_EQ(audio->CurrentFile(), file.string());
    EXPECT_EQ(audio->LengthMs(), 10900);
}

}  // namespace
}  // namespace kinoloop
