// Timeline painting at full-HD size with a busy movie, and program start to the shown main window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <random>

#include "model/movie.h"
#include "model/node_kind.h"
#include "model/ui/timeline_grid_view.h"

namespace kinoloop {
namespace {

// 40 tracks of a ten-minute movie with 3000 nodes of every kind, lengths 1 to 30, a replay over the whole first
// track, notes on every seventh node.
void BuildBusyMovie(Movie& movie) {
    movie.ResetTimeline(600, 25);
    for (int row = 2; row <= 40; ++row) {
        movie.strTimeline.InsertTrack(row);
        movie.strTracks.InsertRow(row, TrackGrid::Row{"Track " + std::to_string(row), "", ""});
    }
    const int columns = movie.strTimeline.ColumnCount();
    movie.strTimeline.SetCell(0, 1, "R");
    for (int c = 1; c < columns - 5; ++c) movie.strTimeline.SetCell(c, 1, "r");
    const char heads[] = {'C', 'S', 'E', 'T', 'G', 'X', 'H', 'M'};
    std::mt19937 random(42);
    int placed = 1;
    // The nodes crowd the first two thousand frames, so the painted view is full of them.
    while (placed < 3000) {
        const int row = 2 + static_cast<int>(random() % 39);
        const int column = static_cast<int>(random() % 2000);
        const int length = 1 + static_cast<int>(random() % 30);
        const char head = heads[random() % sizeof heads];
        bool free = true;
        for (int c = column; c < column + length && free; ++c) free = movie.strTimeline.Code(c, row).Empty();
        if (!free) continue;
        const std::string code = placed % 7 == 0 ? std::string{head, 'n'} : std::string{head};
        movie.strTimeline.SetCell(column, row, code);
        const char tail = static_cast<char>(head - 'A' + 'a');
        if (head != 'M') {
            for (int c = column + 1; c < column + length; ++c) movie.strTimeline.SetCell(c, row, std::string{tail});
        }
        ++placed;
    }
}

void BM_PaintVisibleTimeline(benchmark::State& state) {
    Movie movie;
    BuildBusyMovie(movie);
    TimelineGridView view;
    view.resize(1920, 1080);
    view.show();
    QCoreApplication::processEvents();
    view.SetMovie(&movie);
    view.ScrollToCell(400, 1);
    movie.CurrentFrame = 500;
    GridSelection selection;
    selection.Start(450, 3);
    selection.Extend(520, 6);
    view.SetSelection(selection);
    const QSize size = view.viewport()->size();
    QImage target(size, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&target);
        view.PaintGrid(painter, QRect(QPoint(0, 0), size));
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["visible_columns"] = view.WholeVisibleColumns();
    state.counters["width"] = size.width();
    state.counters["height"] = size.height();
}
BENCHMARK(BM_PaintVisibleTimeline)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

// Start of the program to its main window on screen, with a default movie (fresh program folder, no settings
// file): the program ends itself right after the first show.
void BM_StartToShownMainWindow(benchmark::State& state) {
    const QString program = QString::fromLocal8Bit(qgetenv("KINOLOOP_PROGRAM"));
    if (program.isEmpty()) {
        state.SkipWithError("KINOLOOP_PROGRAM names no program");
        return;
    }
    for (auto _ : state) {
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KINOLOOP_HOME", home.path());
        env.insert("KINOLOOP_INSTANCE", "kl-bench-" + QString::number(QCoreApplication::applicationPid()));
        env.insert("KINOLOOP_EXIT_WHEN_SHOWN", "1");
        env.insert("KINOLOOP_TOAST", "1");
        QProcess process;
        process.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        process.start(program, {});
        if (!process.waitForFinished(20000) || process.exitCode() != 0) {
            state.SkipWithError("the program did not start and end cleanly");
            return;
        }
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(BM_StartToShownMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace kinoloop

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
