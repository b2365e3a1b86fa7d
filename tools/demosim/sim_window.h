#pragma once
// The demo simulator's window: the cars seen from the current camera, the replay time as a big number and as
// the machine-readable bar of time_bar.h, and the camera bar of camera_bar.h.
#include <QWidget>

#include "simulator.h"

namespace demosim {

class SimWindow : public QWidget {
    Q_OBJECT
public:
    SimWindow(Simulator& simulator, const QString& title);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Simulator& simulator_;
};

}  // namespace demosim
