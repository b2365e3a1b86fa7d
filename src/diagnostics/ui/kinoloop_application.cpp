#include "diagnostics/ui/kinoloop_application.h"

#include "diagnostics/ui/diagnostics.h"

namespace kinoloop {

KinoloopApplication::KinoloopApplication(int& argc, char** argv) : QApplication(argc, argv) {}

// The diagnostics hold a window: they end while the application still exists.
KinoloopApplication::~KinoloopApplication() {
    diagnostics_.reset();
}

void KinoloopApplication::SetDiagnostics(std::unique_ptr<Diagnostics> diagnostics) {
    diagnostics_ = std::move(diagnostics);
}

bool KinoloopApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (diagnostics_ == nullptr) throw;
        diagnostics_->HandleEventException(receiver, std::current_exception());
        return false;
    }
}

}  // namespace kinoloop
