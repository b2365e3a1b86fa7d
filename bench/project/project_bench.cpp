// Saving and opening a ten-minute movie with 20 tracks and 2000 nodes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "../allocation_counter.h"
#include "bench_movie.h"
#include "project/project_file.h"

namespace kinoloop {
namespace {

std::filesystem::path BenchFile() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / ("kl-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder / "bench.knloop";
}

// Packing in memory: building the members and compressing them.
void BM_PackMovie(benchmark::State& state) {
    const Movie movie = bench::TenMinuteMovie();
    std::size_t bytes = 0;
    for (auto _ : state) {
        Result<std::string> packed = PackMovie(movie, BenchFile());
        bytes = packed->size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["file_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_PackMovie)->Unit(benchmark::kMillisecond);

// The whole save as the user waits for it: pack, write a temporary file, flush it to disk, rename.
void BM_SaveMovie(benchmark::State& state) {
    const Movie movie = bench::TenMinuteMovie();
    for (auto _ : state) {
        const Status status = WriteMovie(movie, BenchFile());
        if (!status.Ok()) state.SkipWithError(status.Message().c_str());
    }
}
BENCHMARK(BM_SaveMovie)->Unit(benchmark::kMillisecond);

void BM_OpenMovie(benchmark::State& state) {
    if (!WriteMovie(bench::TenMinuteMovie(), BenchFile()).Ok()) state.SkipWithError("cannot write the movie");
    long long modelBytes = 0, peakBytes = 0;
    for (auto _ : state) {
        const long long before = bench::liveBytes;
        bench::ResetPeak();
        Result<Movie> movie = ReadMovie(BenchFile());
        if (!movie.Ok()) state.SkipWithError(movie.Message().c_str());
        modelBytes = bench::liveBytes - before;
        peakBytes = bench::peakBytes - before;
        benchmark::DoNotOptimize(movie.Ok());
    }
    state.counters["model_MB"] = static_cast<double>(modelBytes) / 1e6;
    state.counters["peak_MB"] = static_cast<double>(peakBytes) / 1e6;
}
BENCHMARK(BM_OpenMovie)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kinoloop

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(kinoloop::BenchFile().parent_path());
    return 0;
}
