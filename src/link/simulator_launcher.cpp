#include "link/simulator_launcher.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <algorithm>
#include <cctype>
#include <filesystem>

#include "link/event_wait.h"

namespace kinoloop {

namespace {
bool EndsWithExe(const std::string& name) {
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".exe";
}
}  // namespace

LaunchCommand SimulatorCommand(const TSettings& settings) {
    LaunchCommand command;
    const std::string executable = (std::filesystem::path(settings.lfspath) / settings.exeoverride).string();
    const std::vector<std::string> simulatorArguments = {"/insim=" + std::to_string(settings.remoteport),
                                                         "/windowed=yes"};
    if (EndsWithExe(settings.exeoverride)) {
        command.program = "wine";
        command.arguments.push_back(executable);
    } else {
        command.program = executable;
    }
    command.arguments.insert(command.arguments.end(), simulatorArguments.begin(), simulatorArguments.end());
    command.workingFolder = settings.lfspath;
    return command;
}

SimulatorLauncher::SimulatorLauncher(LinkHandler& link, Notices& notices, SimulatorWindowHost* host)
    : link_(link), notices_(notices), host_(host) {}

void SimulatorLauncher::imgRunLFSClick() {
    CommandScope command;
    if (!command.acquired()) return;
    notices_.Progress("Loading Live for Speed, Please Wait");
    ProcessPendingEvents();
    if (!LaunchSimulator()) return;
    ProcessPendingEvents();
    link_.SendInSimInit();
    link_.SendValuePacket("VER", 0);
}

bool SimulatorLauncher::LaunchSimulator() {
    const LaunchCommand command = SimulatorCommand(link_.settings());
    const std::string executable = (std::filesystem::path(link_.settings().lfspath) /
                                    link_.settings().exeoverride).string();
    const QFileInfo info(QString::fromStdString(executable));
    std::string problem;
    qint64 pid = 0;
    if (!info.exists()) {
        problem = "The file was not found.";
    } else if (command.program != "wine" && !info.isExecutable()) {
        problem = "The file is not a program that can be run.";
    } else {
        QStringList arguments;
        for (const std::string& a : command.arguments) arguments << QString::fromStdString(a);
        if (!QProcess::startDetached(QString::fromStdString(command.program), arguments,
                                     QString::fromStdString(command.workingFolder), &pid)) {
            problem = command.program == "wine" ? "It could not be run through wine; is wine installed?"
                                                : "The program could not be run.";
        }
    }
    if (problem.empty()) processId_ = pid;
    if (!problem.empty()) {
        notices_.ShowMsgBox(icon::Error, buttons::Ok, kProductName,
                            "Live for Speed could not be started from '" + executable + "'. " + problem +
                                " Check the Live for Speed folder and program name in Setup.");
        return false;
    }

    if (host_ == nullptr) return true;
    // Looks every 100 ms for up to five seconds; the window usually appears well before.
    const std::string title = link_.settings().windowname;
    NativeWindow found = 0;
    QElapsedTimer sinceLook;
    sinceLook.start();
    ServeEventsUntil(
        [&] {
            if (sinceLook.elapsed() < 100) return false;
            sinceLook.restart();
            found = host_->FindTopLevelWindow(title);
            return found != 0;
        },
        {}, std::chrono::milliseconds(kWindowSearchMs));
    if (found == 0) found = host_->FindTopLevelWindow(title);
    link_.state.SimulatorWindow = found;
    if (found != 0) EmbedAndPlace(found);
    return true;
}

void SimulatorLauncher::EmbedAndPlace(NativeWindow window) {
    if (host_ == nullptr || window == 0) return;
    if (!host_->Embed(window)) return;
    PlaceSimulatorWindow();
}

void SimulatorLauncher::PlaceSimulatorWindow() {
    const NativeWindow window = link_.state.SimulatorWindow;
    if (host_ == nullptr || window == 0) return;
    const WindowRect panel = host_->PanelRectangle();
    host_->Place(window, SimulatorPlacement(panel.width, panel.height, frameExtraWidth_, frameExtraHeight_));
}

void SimulatorLauncher::AdjustLfsToFit() {
    if (host_ == nullptr) return;
    // Once embedded, the window is no longer top-level and the search may miss it: keep the one we hold.
    const NativeWindow found = host_->FindTopLevelWindow(link_.settings().windowname);
    if (found != 0) {
        link_.state.SimulatorWindow = found;
        EmbedAndPlace(found);
    } else {
        PlaceSimulatorWindow();
    }
}

void SimulatorLauncher::ReleaseSimulatorWindow() {
    if (host_ == nullptr || link_.state.SimulatorWindow == 0) return;
    host_->Release(link_.state.SimulatorWindow);
}

std::optional<WindowRect> SimulatorLauncher::SimulatorScreenRectangle() {
    if (host_ == nullptr || link_.state.SimulatorWindow == 0) return std::nullopt;
    return host_->ScreenRectangle(link_.state.SimulatorWindow);
}

}  // namespace kinoloop
