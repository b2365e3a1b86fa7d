// The cost of a new default movie and of the editing operations that walk a whole selection.
#include <benchmark/benchmark.h>

#include "../allocation_counter.h"
#include "../project/bench_movie.h"
#include "model/edit_command.h"
#include "model/pending_grid_op.h"

namespace kinoloop {
namespace {

void BM_NewDefaultMovie(benchmark::State& state) {
    long long bytes = 0;
    for (auto _ : state) {
        const long long before = bench::liveBytes;
        Movie movie;
        movie.ResetTimeline(10 * 60, 25);
        bytes = bench::liveBytes - before;
        benchmark::DoNotOptimize(movie.strTimeline.ColumnCount());
    }
    state.counters["columns"] = 15005;
    state.counters["model_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_NewDefaultMovie)->Unit(benchmark::kMillisecond);

void BM_TenMinuteMovieMemory(benchmark::State& state) {
    long long bytes = 0;
    for (auto _ : state) {
        const long long before = bench::liveBytes;
        Movie movie = bench::TenMinuteMovie();
        bytes = bench::liveBytes - before;
        benchmark::DoNotOptimize(movie.nodeStore.Size());
    }
    state.counters["model_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_TenMinuteMovieMemory)->Unit(benchmark::kMillisecond);

// Delete over the whole movie: every cell of 20 tracks x 15005 columns and 2000 records.
void BM_DeleteWholeMovieSelection(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Movie movie = bench::TenMinuteMovie();
        movie.SelCol = 0;
        movie.SelRow = 1;
        movie.selection = {0, 1, movie.strTimeline.ColumnCount() - 1, 20, 0, 1};
        state.ResumeTiming();
        const EditResult result = HandToTimeline(movie, PendingGridOp::Delete);
        benchmark::DoNotOptimize(result.removed.size());
    }
}
BENCHMARK(BM_DeleteWholeMovieSelection)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kinoloop

BENCHMARK_MAIN();
