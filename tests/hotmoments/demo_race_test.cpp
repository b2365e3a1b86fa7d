// End to end: the demo simulator runs headless on loopback with its two demo races, and the races are scanned
// the way a scan records them: the replay frozen and stepped a tenth of a second at a time, each car-position
// packet decoded by the link's packet code and recorded at the frame the replay has reached. The analysis
// must find the slide, the spin and the two cars side by side that the races contain, and nothing else.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "hotmoments/moment_nodes.h"
#include "hotmoments/recorder_sink.h"
#include "link/packets.h"
#include "model/movie.h"
#include "scripted_notices.h"
#include "temp_folder.h"

extern char** environ;

namespace kinoloop {
namespace {

using Clock = std::chrono::steady_clock;

std::filesystem::path DemoSimulatorProgram() {
#ifdef KL_DEMOSIM_PROGRAM
    return KL_DEMOSIM_PROGRAM;
#else
    const char* build = std::getenv("KINOLOOP_BUILD_DIR");
    return std::filesystem::path(build != nullptr ? build : ".") / "bin" / "demosim";
#endif
}

pid_t Spawn(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    return pid;
}

int WaitForExit(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A UDP socket on loopback with a port of its own.
class LoopbackSocket {
public:
    LoopbackSocket() {
        fd_ = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t size = sizeof address;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
    }
    ~LoopbackSocket() { close(fd_); }
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;

    int Port() const { return port_; }

    void Send(const Datagram& bytes, int port) const {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(static_cast<std::uint16_t>(port));
        sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }

    std::optional<Datagram> Receive(int timeoutMs) const {
        pollfd waiting{fd_, POLLIN, 0};
        if (poll(&waiting, 1, timeoutMs) <= 0) return std::nullopt;
        Datagram bytes(2048);
        const ssize_t size = recv(fd_, bytes.data(), bytes.size(), 0);
        if (size < 0) return std::nullopt;
        bytes.resize(static_cast<std::size_t>(size));
        return bytes;
    }

private:
    int fd_ = -1;
    int port_ = 0;
};

// The demo simulator as a headless process with its demo replays in a folder of its own.
class DemoSimulator {
public:
    DemoSimulator() {
        const std::string program = DemoSimulatorProgram().string();
        const pid_t writer = Spawn({program, "--write-demo-replays", folder_.Path().string()});
        written_ = writer > 0 && WaitForExit(writer) == 0;
        if (!written_) return;
        {
            const LoopbackSocket probe;  // a port that was free a moment ago
            port_ = probe.Port();
        }
        pid_ = Spawn({program, "--headless", "--insim", std::to_string(port_), "--data",
                      folder_.Path().string(), "--log", (folder_ / "demosim.log").string()});
    }
    ~DemoSimulator() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            WaitForExit(pid_);
        }
    }

    bool Running() const { return written_ && pid_ > 0; }

    // The end of the simulator's packet log, to show what it saw when a scan fails.
    std::string LogTail() const {
        std::ifstream in(folder_ / "demosim.log");
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        std::string tail;
        for (std::size_t i = lines.size() > 40 ? lines.size() - 40 : 0; i < lines.size(); ++i)
            tail += lines[i] + "\n";
        return tail;
    }
    int Port() const { return port_; }

private:
    testing::TempFolder folder_;
    bool written_ = false;
    pid_t pid_ = -1;
    int port_ = 0;
};

// One scan of a demo race; fails the test on the way when the simulator does not answer.
class DemoScan {
public:
    DemoScan(const DemoSimulator& simulator, TMoments& moments) : simulator_(simulator), sink_(moments) {}

    // Links up, loads the replay and records it from start to end.
    ::testing::AssertionResult Run(const std::string& loadCommand) {
        bool linked = false;
        for (int attempt = 0; attempt < 50 && !linked; ++attempt) {
            Send(BuildInSimInit(socket_.Port(), ""));
            Send(BuildValuePacket("SST", 0));
            linked = AwaitKind(Received::STA, 100);
        }
        if (!linked) return ::testing::AssertionFailure() << "the demo simulator did not answer";

        Send(BuildMessagePacket("MST", loadCommand));
        if (!AwaitKind(Received::RST, 3000)) return ::testing::AssertionFailure() << "no race start";
        Send(BuildValuePacket("TMS", 1));
        // Every player id in turn, in small groups: a burst of 256 datagrams overruns a receive buffer.
        for (int plid = 0; plid < 256; ++plid) {
            Send(BuildValuePacket("NPL", plid));
            if (plid % 16 == 15) AwaitKind(Received::Dropped, 5);
        }
        Send(BuildValuePacket("NLI", 10));

        // Step by step until the simulator reports the end of the race.
        constexpr int kStepHundredths = 10;  // 10 reports per second, as the scan asks for
        for (int hundredths = 0; !ended_; hundredths += kStepHundredths) {
            if (hundredths > 100000) return ::testing::AssertionFailure() << "the race never ended";
            // The state answer comes after the step before it is taken; the next car data after it shows the
            // step's time. 25 frames per second: 4 hundredths per frame.
            Send(BuildValuePacket("SST", 0));
            if (!AwaitKind(Received::STA, 2000))
                return ::testing::AssertionFailure() << "no state at " << hundredths;
            frame_ = static_cast<int>(RoundHalfEven(hundredths / 4.0));
            recordCars_ = true;
            if (!AwaitKind(Received::MCI, 2000))
                return ::testing::AssertionFailure() << "no cars at " << hundredths;
            recordCars_ = false;
            Send(BuildValuePacket("STP", kStepHundredths));
        }
        return ::testing::AssertionSuccess();
    }

private:
    void Send(const Datagram& bytes) { socket_.Send(bytes, simulator_.Port()); }

    // Handles every datagram until one of `kind` arrives.
    bool AwaitKind(Received kind, int timeoutMs) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < deadline) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            const std::optional<Datagram> datagram = socket_.Receive(static_cast<int>(left.count()) + 1);
            if (!datagram) continue;
            // The decoders read a short datagram's missing bytes as zero, as the zero-filled records do.
            const Received got = Classify(*datagram);
            if (got == Received::NPL) sink_.AddPlayer(DecodePlayer(*datagram));
            if (got == Received::REN) ended_ = true;
            if (got == Received::MCI && recordCars_) sink_.AddCarData(frame_, DecodeCars(*datagram));
            if (got == kind) return true;
        }
        return false;
    }

    const DemoSimulator& simulator_;
    RecorderSink sink_;
    LoopbackSocket socket_;
    int frame_ = 0;
    bool recordCars_ = false;
    bool ended_ = false;
};

struct DemoRace {
    const char* loadCommand;
    int cars;
};

void PrintTo(const DemoRace& race, std::ostream* out) {
    *out << '"' << race.loadCommand << '"';
}

class DemoRaceScan : public ::testing::TestWithParam<DemoRace> {};

// The frames of a span of replay seconds, at 25 frames per second.
bool Within(const THotMoment& moment, double fromSeconds, double toSeconds) {
    return moment.StartFrame >= fromSeconds * 25 && moment.EndFrame <= toSeconds * 25;
}

TEST_P(DemoRaceScan, FindsTheSlideTheSpinAndTheCarsSideBySide) {
    ASSERT_TRUE(std::filesystem::exists(DemoSimulatorProgram())) << DemoSimulatorProgram();
    const DemoSimulator simulator;
    ASSERT_TRUE(simulator.Running());
    TMoments moments;
    DemoScan scan(simulator, moments);
    ASSERT_TRUE(scan.Run(GetParam().loadCommand)) << simulator.LogTail();

    // 70 s at 10 samples per second, every car in every sample, every player known.
    EXPECT_EQ(moments.SampleCount(), 701u);
    for (const TMoment& sample : moments.Samples()) {
        ASSERT_EQ(sample.Cars.size(),
                  static_cast<std::size_t>(GetParam().cars) + (GetParam().cars < 8 ? 1 : 0))
            << sample.Frame;
    }
    ASSERT_EQ(moments.Players().size(), static_cast<std::size_t>(GetParam().cars));
    EXPECT_EQ(moments.FindPlayer(3)->PlayerName, "Cleo Slide");

    ASSERT_TRUE(moments.Analyse(Thresholds::FromSliders(60, 100, 4000)).ok);
    // Car 3 slides from 15 s to about 21 s; car 4 spins round from 30 s to 32.5 s, which is a slide too while
    // it points away from where it goes; car 2 comes up beside car 1 from 38 s and stays until about 50 s,
    // within 6 m for about 9 s.
    int slides = 0, spins = 0, pairs = 0;
    for (const THotMoment& moment : moments.HotMoments()) {
        SCOPED_TRACE(moment.Action + " " + std::to_string(moment.Player1) + "/" +
                     std::to_string(moment.Player2) + " frames " + std::to_string(moment.StartFrame) + "-" +
                     std::to_string(moment.EndFrame));
        if (moment.Action == "Drift" && moment.Player1 == 3) {
            ++slides;
            EXPECT_TRUE(Within(moment, 15.0, 21.5));
        } else if (moment.Action == "Drift" && moment.Player1 == 4) {
            EXPECT_TRUE(Within(moment, 30.0, 32.6));
        } else if (moment.Action == "AngVel" && moment.Player1 == 4) {
            ++spins;
            EXPECT_TRUE(Within(moment, 30.0, 32.6));
        } else if (moment.Action == "Close players" && moment.Player1 == 1 && moment.Player2 == 2) {
            ++pairs;
            EXPECT_TRUE(Within(moment, 38.0, 53.0));
        } else {
            ADD_FAILURE() << "a moment the race does not contain";
        }
    }
    EXPECT_EQ(slides, 1);
    EXPECT_EQ(spins, 1);
    EXPECT_EQ(pairs, 1);
    const auto pair = std::find_if(moments.HotMoments().begin(), moments.HotMoments().end(),
                                   [](const THotMoment& m) { return m.Action == "Close players"; });
    ASSERT_NE(pair, moments.HotMoments().end());
    EXPECT_GT(pair->Duration(), 8 * 25) << "within 6 m of each other for more than eight seconds";

    // And onto the timeline: every moment becomes a node, and every node a camera at its car.
    Movie movie;
    movie.ResetTimeline(80, 25);
    testing::ScriptedNotices notices;
    const AddToTimelineResult added = AddToTimeline(movie, notices, MomentListRows(moments));
    EXPECT_EQ(added.added, static_cast<int>(moments.HotMoments().size()));
    const ConversionResult converted = ConvertAllMoments(movie, moments, notices, ConversionTarget::TvCamera);
    EXPECT_EQ(converted.converted, added.added);
    EXPECT_EQ(converted.failed, 0);
    EXPECT_EQ(notices.LastText(), kConversionComplete);
}

INSTANTIATE_TEST_SUITE_P(Replays, DemoRaceScan,
                         ::testing::Values(DemoRace{"/spr demo", 6}, DemoRace{"/mpr demo", 8}),
                         [](const ::testing::TestParamInfo<DemoRace>& info) {
                             return info.param.cars == 6 ? std::string("SinglePlayer")
                                                         : std::string("MultiPlayer");
                         });

}  // namespace
}  // namespace kinoloop
