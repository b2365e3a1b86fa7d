// Kinoloop's entry. The main window composes the services; until it exists this shows the empty movie's size.
#include <QApplication>
#include <QLabel>

#include "model/movie.h"
#include "shell/program_folder.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kinoloop");
    kinoloop::EnsureProgramFolders();

    kinoloop::Movie movie;
    movie.ResetTimeline(10 * 60, 25);
    QLabel window(QString("Kinoloop: %1 frames, %2 track")
                      .arg(movie.strTimeline.ColumnCount())
                      .arg(movie.strTimeline.TrackCount()));
    window.setWindowTitle("Kinoloop");
    window.resize(640, 480);
    window.show();
    return QApplication::exec();
}
