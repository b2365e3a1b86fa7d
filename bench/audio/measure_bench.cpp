// What "Browse" of a sound node waits for: measuring a sound file's length, per format; and reading a long
// playlist.
#include <benchmark/benchmark.h>

#include <fstream>

#include "audio/audio_engine.h"
#include "audio/playlist.h"
#include "audio_test_support.h"

namespace {

using kinoloop::testing::SoundFiles;

kinoloop::TAudioObject& Engine() {
    static kinoloop::TAudioObject* engine = [] {
        kinoloop::testing::UseTestAudioDriver();
        kinoloop::testing::TestApp();
        return new kinoloop::TAudioObject;
    }();
    return *engine;
}

void MeasureFile(benchmark::State& state, std::filesystem::path SoundFiles::*file) {
    const std::string path = (SoundFiles::Get().*file).string();
    for (auto _ : state) benchmark::DoNotOptimize(Engine().FileLengthMs(path));
}
BENCHMARK_CAPTURE(MeasureFile, wav_1_3s, &SoundFiles::wav)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MeasureFile, ogg_1_7s, &SoundFiles::ogg)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MeasureFile, mp3_2_1s, &SoundFiles::mp3)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MeasureFile, mod, &SoundFiles::mod)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MeasureFile, xm, &SoundFiles::xm)->Unit(benchmark::kMicrosecond);

void ReadM3u(benchmark::State& state) {
    kinoloop::testing::TempFolder folder;
    const auto file = folder / "long.m3u";
    {
        std::ofstream out(file);
        for (int i = 0; i < state.range(0); ++i)
            out << "#EXTINF:200,Song " << i << "\nmusic\\album\\song" << i << ".mp3\n";
    }
    kinoloop::TPlaylist list;
    for (auto _ : state) {
        list.ReadM3u(file.string(), true);
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ReadM3u)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
