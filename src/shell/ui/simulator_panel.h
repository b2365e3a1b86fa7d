#pragma once
// `panMain`: the centre of the main window with the simulator panel `panLFS` (black, the simulator's window is
// embedded into it) and the launch picture `imgRunLFS` inside it.
#include <QWidget>

class QLabel;

namespace kinoloop {

class SimulatorPanel : public QWidget {
    Q_OBJECT
public:
    explicit SimulatorPanel(QWidget* parent = nullptr);

    QWidget* panLFS() const { return panLFS_; }
    QLabel* imgRunLFS() const { return imgRunLFS_; }
    // Centres the simulator panel in this panel and the picture in the simulator panel.
    void CentrePanels();

signals:
    void resized();
    void clicked();
    // The launch picture was clicked: start the simulator ("Run LFS").
    void runSimulatorClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* panLFS_;
    QLabel* imgRunLFS_;
};

}  // namespace kinoloop
