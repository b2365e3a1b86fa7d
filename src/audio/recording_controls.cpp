#include <QProcess>
#include <QStandardPaths>

#include "audio/pulse_mixer.h"

namespace kinoloop {

bool OpenRecordingControls() {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pavucontrol"));
    if (program.isEmpty()) return false;
    // Page 2 of the volume control is "Recording"; the program runs on by itself after Kinoloop ends.
    return QProcess::startDetached(program, {QStringLiteral("--tab=2")});
}

}  // namespace kinoloop
