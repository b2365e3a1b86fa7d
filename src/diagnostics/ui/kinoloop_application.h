#pragma once
// The application object: an exception that escapes the handling of an event is caught here, reported through
// the diagnostics and shown, and the program goes on (Qt itself would end it).
#include <QApplication>
#include <memory>

namespace kinoloop {

class Diagnostics;

class KinoloopApplication : public QApplication {
    Q_OBJECT
public:
    KinoloopApplication(int& argc, char** argv);
    ~KinoloopApplication() override;

    // The diagnostics that exceptions go to; without them an escaping exception ends the program as Qt would.
    Diagnostics* diagnostics() const { return diagnostics_.get(); }
    void SetDiagnostics(std::unique_ptr<Diagnostics> diagnostics);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    std::unique_ptr<Diagnostics> diagnostics_;
};

}  // namespace kinoloop
