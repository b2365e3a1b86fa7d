#pragma once
// Small pictures of the timeline editor. A file of the same name in Img (PNG) replaces the drawn one.
#include <QPixmap>

namespace kinoloop {

QPixmap CurrentRowPicture();  // Img/current.png
QPixmap LockPicture();        // Img/lock.png
// The picture of a node kind by its head letter; 'N' (no node) gives the program's own picture.
QPixmap KindPicture(char head);  // Img/kind_<letter>.png

}  // namespace kinoloop
