// knloop-script: checks and runs camera scripts outside the program.
//
//   knloop-script check FILE   parses the whole script ("Quick Compile"); exit 0, or the error and exit 1
//   knloop-script run FILE     runs Main against a simulator kept in memory, with WriteLn/Write printing to
//   the
//                              console; exit 0, or the error and exit 1
//
// Locked scripts ("PROT" files) are decoded as playback decodes them.
#include <QCoreApplication>
#include <cstdio>
#include <iostream>
#include <string>

#include "scripting/memory_simulator.h"
#include "scripting/pascal/interpreter.h"
#include "scripting/pascal/output_host.h"
#include "scripting/script_bridge.h"
#include "scripting/script_files.h"

namespace {

int Usage() {
    std::cerr << "usage: knloop-script check FILE\n"
                 "       knloop-script run FILE\n";
    return 2;
}

void PrintError(const std::string& file, const kinoloop::pascal::ScriptError& e) {
    if (e.line == 0)
        std::cerr << file << ": " << e.Message() << "\n";
    else
        std::cerr << file << ":" << e.line << ":" << e.column << ": " << e.Message() << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return Usage();
    std::string command = argv[1], file = argv[2];
    if (command != "check" && command != "run") return Usage();

    std::string fileText;
    kinoloop::FileOutcome read = kinoloop::ReadTextFile(file, fileText);
    if (!read.ok) {
        std::cerr << read.error << "\n";
        return 1;
    }
    std::string text = kinoloop::PlaybackText(fileText);

    if (command == "check") {
        if (auto error = kinoloop::QuickCompile(text)) {
            PrintError(file, *error);
            return 1;
        }
        return 0;
    }

    QCoreApplication app(argc, argv);  // COM_pause serves events while it waits
    kinoloop::MemorySimulator simulator;
    kinoloop::ScriptBridge bridge(simulator);
    kinoloop::pascal::OutputHost console([](std::string_view s) {
        std::fwrite(s.data(), 1, s.size(), stdout);
        std::fflush(stdout);
    });
    kinoloop::pascal::HostChain host(console, bridge);
    kinoloop::pascal::Interpreter interpreter;
    interpreter.SetText(text);
    if (auto error = interpreter.RunMain(host)) {
        PrintError(file, *error);
        return 1;
    }
    return 0;
}
