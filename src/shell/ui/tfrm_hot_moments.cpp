#include "shell/ui/tfrm_hot_moments.h"

namespace kinoloop {

TfrmHotMoments::TfrmHotMoments(QWidget* parent) : QDialog(parent, Qt::Window) {
    setObjectName("frmHotMoments");
    setWindowTitle("Hot Moment Scan");
    setModal(false);
    resize(448, 308);
}

}  // namespace kinoloop
