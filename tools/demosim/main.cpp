// The demo simulator: plays the simulator's side of the InSim/OutSim conversation for tests and for users
// without the real simulator. See README.md for what it does and assumes.
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "replay.h"
#include "sim_window.h"
#include "simulator.h"

namespace {

void Usage() {
    std::fprintf(stderr,
                 "usage: demosim [/insim=PORT] [/windowed=yes] [--insim PORT] [--title TITLE] [--log FILE]\n"
                 "               [--headless] [--data FOLDER]\n"
                 "       demosim --write-demo-replays FOLDER [--replay-seconds N]\n");
}

bool ParsePort(const char* text, int& port) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > 65535) return false;
    port = static_cast<int>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    demosim::Options options;
    std::string writeReplays;
    int replaySeconds = demosim::kDemoReplaySeconds;
    bool titleGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a.rfind("/insim=", 0) == 0) {
            if (!ParsePort(a.c_str() + 7, options.insimPort)) {
                std::fprintf(stderr, "demosim: '%s' is not a port\n", a.c_str());
                return 2;
            }
        } else if (a.rfind("/windowed=", 0) == 0) {
            // The demo simulator always runs in a window.
        } else if (a == "--insim" && hasValue) {
            if (!ParsePort(argv[++i], options.insimPort)) {
                std::fprintf(stderr, "demosim: '%s' is not a port\n", argv[i]);
                return 2;
            }
        } else if (a == "--title" && hasValue) {
            options.title = QString::fromLocal8Bit(argv[++i]);
            titleGiven = true;
        } else if (a == "--log" && hasValue) {
            options.logPath = QString::fromLocal8Bit(argv[++i]);
        } else if (a == "--data" && hasValue) {
            options.dataFolder = QString::fromLocal8Bit(argv[++i]);
        } else if (a == "--headless") {
            options.headless = true;
        } else if (a == "--write-demo-replays" && hasValue) {
            writeReplays = argv[++i];
        } else if (a == "--replay-seconds" && hasValue) {
            char* end = nullptr;
            const long value = std::strtol(argv[++i], &end, 10);
            if (end == argv[i] || *end != '\0' || value < 1 || value > 3600) {
                std::fprintf(stderr, "demosim: '%s' is not a replay length in seconds (1 to 3600)\n", argv[i]);
                return 2;
            }
            replaySeconds = static_cast<int>(value);
        } else {
            std::fprintf(stderr, "demosim: unknown option '%s'\n", a.c_str());
            Usage();
            return 2;
        }
    }
    // A simulator started by Kinoloop gets only the simulator's own command line; tests name the log and the
    // title through the environment instead.
    if (options.logPath.isEmpty() && qEnvironmentVariableIsSet("DEMOSIM_LOG")) {
        options.logPath = qEnvironmentVariable("DEMOSIM_LOG");
    }
    if (!titleGiven && qEnvironmentVariableIsSet("DEMOSIM_TITLE")) options.title = qEnvironmentVariable("DEMOSIM_TITLE");
    if (!writeReplays.empty()) {
        const std::string problem = demosim::WriteDemoReplays(writeReplays, replaySeconds);
        if (!problem.empty()) {
            std::fprintf(stderr, "demosim: %s\n", problem.c_str());
            return 1;
        }
        return 0;
    }

    std::unique_ptr<QCoreApplication> app;
    if (options.headless) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        app = std::make_unique<QApplication>(argc, argv);
    }
    if (options.dataFolder.isEmpty()) options.dataFolder = QCoreApplication::applicationDirPath();

    demosim::Simulator simulator(options);
    QString why;
    if (!simulator.Start(why)) {
        std::fprintf(stderr, "demosim: %s\n", why.toLocal8Bit().constData());
        return 1;
    }
    std::unique_ptr<demosim::SimWindow> window;
    if (!options.headless) {
        window = std::make_unique<demosim::SimWindow>(simulator, options.title);
        window->show();
    }
    return app->exec();
}
