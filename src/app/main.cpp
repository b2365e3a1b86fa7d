// Kinoloop's entry: one instance per user, the main window and its ten companions, then the event loop.
#include <QApplication>
#include <QTimer>
#include <QWindow>

#include "platform/single_instance.h"
#include "playback/batch_render.h"
#include "shell/program_folder.h"
#include "shell/ui/startup_rules.h"
#include "shell/ui/tfrm_main.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kinoloop");
    QApplication::setApplicationDisplayName("Kinoloop");
    QApplication::setQuitOnLastWindowClosed(false);

    // "--render FILE.knloop ...": a batch render without the main window (and beside a running instance).
    if (kinoloop::IsBatchRenderCommand(argc, argv)) return kinoloop::RunBatchRender(argc, argv);

    // A second start brings the running one to the front and ends before anything else is built.
    kinoloop::SingleInstance instance(qEnvironmentVariable("KINOLOOP_INSTANCE"));
    if (!instance.Claim()) return 0;

    kinoloop::EnsureProgramFolders();
    kinoloop::MainOptions options;
    options.debug = kinoloop::DebugSwitch(argc, argv);
    options.forceToast = qEnvironmentVariableIsSet("KINOLOOP_TOAST");
    kinoloop::TfrmMain window(options);
    QObject::connect(&instance, &kinoloop::SingleInstance::raiseRequested, &window, &kinoloop::TfrmMain::BringToFront);
    window.show();
    // A project file named on the command line (the first argument other than "/debug") opens once the main
    // window is up.
    QString project;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument.compare("/debug", Qt::CaseInsensitive) != 0) {
            project = argument;
            break;
        }
    }
    if (!project.isEmpty()) {
        QTimer::singleShot(0, &window, [&window, project] { window.OpenProjectFile(project.toStdString()); });
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
