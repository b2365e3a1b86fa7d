// The hot-moments window analyses the whole recording every refresh (2 s by default) while a scan runs; these
// measure that analysis at the end of a one-hour race of 32 cars at 10 reports per second (36000 samples).
#include <benchmark/benchmark.h>

#include "hotmoments/moments.h"
#include "race_generator.h"

namespace kinoloop::bench {
namespace {

constexpr int kCars = 32;
constexpr int kHourSeconds = 3600;
constexpr int kRefreshSeconds = 2;
constexpr int kPacketsPerReport = (kCars + 7) / 8;

const std::vector<RacePacket>& Race() {
    static const std::vector<RacePacket> race = GenerateRace(kCars, kHourSeconds + 600);
    return race;
}

std::size_t Record(TMoments& moments, std::size_t first, std::size_t count) {
    const std::vector<RacePacket>& race = Race();
    for (std::size_t i = first; i < first + count && i < race.size(); ++i) {
        moments.AddCarData(race[i].frame, race[i].cars);
    }
    return first + count;
}

// Every sample analysed again: what happens when a threshold changes, and what a from-scratch analysis costs.
void BM_AnalyseWholeHour(benchmark::State& state) {
    TMoments moments;
    Record(moments, 0, static_cast<std::size_t>(kHourSeconds) * 10 * kPacketsPerReport);
    const Thresholds thresholds[] = {Thresholds::FromSliders(60, 100, 4000),
                                     Thresholds::FromSliders(61, 100, 4000)};
    int turn = 0;
    for (auto _ : state) {
        const AnalysisResult result = moments.Analyse(thresholds[turn ^= 1]);
        if (result.examined != moments.SampleCount()) state.SkipWithError("not a whole analysis");
    }
    state.counters["samples"] = static_cast<double>(moments.SampleCount());
    state.counters["hot_moments"] = static_cast<double>(moments.HotMoments().size());
}
BENCHMARK(BM_AnalyseWholeHour)->Unit(benchmark::kMillisecond);

// The refresh during a scan after an hour: two more seconds of packets, then an analysis.
void BM_AnalyseRefreshAfterAnHour(benchmark::State& state) {
    TMoments moments;
    std::size_t next = Record(moments, 0, static_cast<std::size_t>(kHourSeconds) * 10 * kPacketsPerReport);
    moments.Analyse(Thresholds{});
    const std::size_t perRefresh = static_cast<std::size_t>(kRefreshSeconds) * 10 * kPacketsPerReport;
    for (auto _ : state) {
        state.PauseTiming();
        if (next + perRefresh > Race().size()) {
            state.SkipWithError("race too short for this many iterations");
            break;
        }
        next = Record(moments, next, perRefresh);
        state.ResumeTiming();
        benchmark::DoNotOptimize(moments.Analyse(Thresholds{}));
    }
    state.counters["samples"] = static_cast<double>(moments.SampleCount());
}
BENCHMARK(BM_AnalyseRefreshAfterAnHour)->Unit(benchmark::kMicrosecond)->Iterations(200);

// Recording one packet of eight cars.
void BM_AddCarData(benchmark::State& state) {
    TMoments moments;
    std::size_t next = 0;
    const std::vector<RacePacket>& race = Race();
    for (auto _ : state) {
        if (next == race.size()) {
            state.PauseTiming();
            moments.Clear();
            next = 0;
            state.ResumeTiming();
        }
        moments.AddCarData(race[next].frame, race[next].cars);
        ++next;
    }
}
BENCHMARK(BM_AddCarData);

}  // namespace
}  // namespace kinoloop::bench

BENCHMARK_MAIN();
