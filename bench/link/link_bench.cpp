// How fast the link handles datagrams: the receive handler alone, and the whole way from a datagram sent on
// loopback to the end of its handling (the goal: p99 under 1 ms).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QUdpSocket>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

#include "link/event_wait.h"
#include "link/udp_link.h"

namespace {

using namespace kinoloop;

class NullSender : public DatagramSender {
public:
    void SendDatagram(ByteView bytes) override { benchmark::DoNotOptimize(bytes.data()); }
};

// What a running replay with a scan sends most: car data, states, cameras, OutSim, acknowledgements.
std::vector<Datagram> Mix() {
    auto tagged = [](const char* tag, std::size_t size) {
        Datagram d(size, 0);
        for (int i = 0; i < 3; ++i) d[i] = static_cast<std::uint8_t>(tag[i]);
        return d;
    };
    Datagram sta = tagged("STA", 28);
    WriteWord(sta, 8, 2);
    Datagram cpp = tagged("CPP", 32);
    WriteWord(cpp, 30, 2 | 4);
    return {tagged("MCI", 204), sta, cpp, Datagram(64, 1), tagged("LAP", 92), tagged("VER", 20)};
}

void BM_ReceiveHandler(benchmark::State& state) {
    TSettings settings;
    Movie movie;
    movie.ResetTimeline(60, 25);
    NullSender sender;
    LinkHandler handler(movie, settings, sender);
    const std::vector<Datagram> mix = Mix();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(handler.UdpServerRead(mix[i]));
        i = (i + 1) % mix.size();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_ReceiveHandler);

// One datagram at a time over loopback: sent, received by the link's socket, handled; p50/p99 in microseconds.
void BM_ArrivalToHandled(benchmark::State& state) {
    TSettings settings;
    QUdpSocket simulator;
    simulator.bind(QHostAddress::LocalHost, 0);
    settings.remoteport = simulator.localPort();
    {
        QUdpSocket probe;
        probe.bind(QHostAddress::LocalHost, 0);
        settings.localport = probe.localPort();
    }
    Movie movie;
    movie.ResetTimeline(60, 25);
    UdpLink link(movie, settings);
    if (!link.Open().empty()) {
        state.SkipWithError("cannot bind");
        return;
    }
    int handled = 0;
    QElapsedTimer clock;
    clock.start();
    qint64 handledAt = 0;
    QObject::connect(&link, &UdpLink::DatagramHandled, [&](int) {
        ++handled;
        handledAt = clock.nsecsElapsed();
    });
    const std::vector<Datagram> mix = Mix();
    std::vector<double> micros;
    std::size_t i = 0;
    for (auto _ : state) {
        const int before = handled;
        const Datagram& d = mix[i];
        i = (i + 1) % mix.size();
        const qint64 sentAt = clock.nsecsElapsed();
        simulator.writeDatagram(reinterpret_cast<const char*>(d.data()), static_cast<qint64>(d.size()),
                                QHostAddress::LocalHost, static_cast<quint16>(settings.localport));
        while (handled == before) QCoreApplication::processEvents(QEventLoop::AllEvents);
        micros.push_back(static_cast<double>(handledAt - sentAt) / 1000.0);
    }
    std::sort(micros.begin(), micros.end());
    if (!micros.empty()) {
        state.counters["p50_us"] = micros[micros.size() / 2];
        state.counters["p99_us"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
        state.counters["max_us"] = micros.back();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_ArrivalToHandled)->Iterations(20000)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
