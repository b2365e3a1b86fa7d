// Kinoloop's entry: one instance per user, the main window and its ten companions, then the event loop.
#include <QApplication>
#include <QTimer>
#include <QWindow>

#include "diagnostics/system_facts.h"
#include "diagnostics/ui/diagnostics.h"
#include "diagnostics/ui/kinoloop_application.h"

#include "platform/single_instance.h"
#include "playback/batch_render.h"
#include "shell/program_folder.h"
#include "shell/ui/startup_rules.h"
#include "shell/ui/tfrm_main.h"

int main(int argc, char* argv[]) {
    kinoloop::KinoloopApplication app(argc, argv);
    QApplication::setApplicationName("Kinoloop");
    QApplication::setApplicationDisplayName("Kinoloop");
    QApplication::setQuitOnLastWindowClosed(false);

    // "--render FILE.knloop ...": a batch render without the main window (and beside a running instance).
    if (kinoloop::IsBatchRenderCommand(argc, argv)) return kinoloop::RunBatchRender(argc, argv);

    // A second start brings the running one to the front and ends before anything else is built.
    kinoloop::SingleInstance instance(qEnvironmentVariable("KINOLOOP_INSTANCE"));
    if (!instance.Claim()) return 0;

    kinoloop::EnsureProgramFolders();
    // Exceptions escaping a handler are shown from here on; "/debug" also logs them, in the program's folder
    // beside the program file.
    const std::filesystem::path program = kinoloop::ProgramFilePath();
    app.SetDiagnostics(std::make_unique<kinoloop::Diagnostics>(
        program, kinoloop::ProgramFolder() / kinoloop::LogFileName(program).filename()));
    kinoloop::MainOptions options;
    options.debug = kinoloop::DebugSwitch(argc, argv);
    options.diagnostics = app.diagnostics();
    options.forceToast = qEnvironmentVariableIsSet("KINOLOOP_TOAST");
    kinoloop::TfrmMain window(options);
    QObject::connect(&instance, &kinoloop::SingleInstance::raiseRequested, &window, &kinoloop::TfrmMain::BringToFront);
    window.show();
    // A project file named on the command line (the first argument other than "/debug") opens once the main
    // window is up.
    const std::string project = kinoloop::ProjectArgument(argc, argv);
    if (!project.empty()) {
        QTimer::singleShot(0, &window, [&window, project] { window.OpenProjectFile(project); });
    }
    if (qEnvironmentVariableIsSet("KINOLOOP_EXIT_WHEN_SHOWN")) {
        // The start-up benchmark: end as soon as the main window is on the screen.
        QTimer wake;
        wake.start(1);
        while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        return 0;
    }
    return QApplication::exec();
}
