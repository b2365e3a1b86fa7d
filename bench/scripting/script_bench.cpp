// The interpreter beside lua5.4 running the same programs in the same run (fib(27), a 10-million-step integer
// loop, a million steps of float trigonometry, building a 200000-character string), and one frame of a camera
// script through the host bridge. Lua runs as a process on the equivalent .lua file; its start-up (about a
// millisecond) is part of its time, as compiling is part of the interpreter's.
//
//   bench/scripting_bench                      all figures; the "ratio" counter of a Pascal run is its time
//                                              divided by Lua's on the same program
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "scripting/pascal/interpreter.h"
#include "scripting/pascal/output_host.h"
#include "scripting/script_bridge.h"

namespace {

using namespace kinoloop;

std::string Program(const std::string& file) {
    std::ifstream in(std::string(KINOLOOP_BENCH_PROGRAMS) + "/" + file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::map<std::string, double>& LuaSeconds() {
    static std::map<std::string, double> seconds;
    return seconds;
}

void Lua(benchmark::State& state, const std::string& name) {
    std::string command = "lua5.4 " + std::string(KINOLOOP_BENCH_PROGRAMS) + "/" + name + ".lua";
    double total = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) {
            state.SkipWithError("lua5.4 is not installed");
            return;
        }
        char buf[256];
        std::string out;
        while (fgets(buf, sizeof buf, pipe)) out += buf;
        if (pclose(pipe) != 0 || out.empty()) {
            state.SkipWithError("lua5.4 failed");
            return;
        }
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(s);
        total += s;
    }
    LuaSeconds()[name] = total / static_cast<double>(state.iterations());
}

void Pascal(benchmark::State& state, const std::string& name) {
    std::string text = Program(name + ".pas");
    std::string printed;
    pascal::OutputHost host([&printed](std::string_view s) { printed = s; });
    double total = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        pascal::Interpreter in;
        in.SetText(text);
        if (auto error = in.RunMain(host)) {
            state.SkipWithError(error->Message().c_str());
            return;
        }
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(s);
        total += s;
    }
    double mean = total / static_cast<double>(state.iterations());
    auto lua = LuaSeconds().find(name);
    if (lua != LuaSeconds().end() && lua->second > 0) state.counters["ratio"] = mean / lua->second;
    state.SetLabel(printed.substr(0, printed.find('\n')));
}

// Lua first, so that each Pascal run can report its ratio.
#define PROGRAM(name)                                                                                   \
    BENCHMARK_CAPTURE(Lua, name, #name)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5); \
    BENCHMARK_CAPTURE(Pascal, name, #name)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
PROGRAM(fib)
PROGRAM(intloop)
PROGRAM(trig)
PROGRAM(strings)

// The simulator side at its cheapest, so that the figure is the script's and the bridge's own cost.
class CountingSimulator : public ScriptSimulator {
public:
    CameraRecord& LastCameraPacket() override { return camera; }
    const OutSimRecord& OutSimData() const override { return outsim; }
    void SendValuePacket(std::string_view, std::int32_t) override { ++packets; }
    void SendLastCameraPacket() override { ++packets; }
    void StepSimulator(int) override { ++packets; }
    int Fps() const override { return 25; }
    bool FrameClockOn() const override { return false; }
    void SetFrameClock(bool) override {}
    float CurrentFrame() const override { return frame; }
    void AdvanceFrameTo(float f) override { frame = f; }
    bool Rendering() const override { return false; }
    void CaptureFrame() override {}
    CameraRecord camera{};
    OutSimRecord outsim{};
    long long packets = 0;
    float frame = 0;
};

// One frame of a camera script: read the camera, change three values, set the camera, step the time.
void CameraFrame(benchmark::State& state) {
    CountingSimulator sim;
    ScriptBridge bridge(sim);
    pascal::Interpreter in;
    in.SetText(
        "unit Frame;\n"
        "procedure Main;\nbegin\nend;\n"
        "procedure Step;\n"
        "begin\n"
        "  COM_get_camera;\n"
        "  _camera_pos_x := _camera_pos_x + 6554;\n"
        "  _camera_heading := _camera_heading + 100;\n"
        "  _camera_fov := _camera_fov + 0.1;\n"
        "  COM_set_camera;\n"
        "  COM_step_time(_current_step_time);\n"
        "end;\n"
        "end.\n");
    if (auto error = in.RunMain(bridge)) {
        state.SkipWithError(error->Message().c_str());
        return;
    }
    for (auto _ : state) {
        if (auto error = in.CallRoutine("Step", bridge)) {
            state.SkipWithError(error->Message().c_str());
            return;
        }
    }
    benchmark::DoNotOptimize(sim.packets);
}
BENCHMARK(CameraFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
