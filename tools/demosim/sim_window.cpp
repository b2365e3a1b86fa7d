#include "sim_window.h"

#include <QKeyEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "camera_bar.h"
#include "time_bar.h"

namespace demosim {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kWordToRadians = 2 * kPi / 65536.0;

// A pinhole camera: heading 0 looks along +Y, angles grow anticlockwise, pitch > 0 looks down.
struct View {
    double cx, cy, cz;
    double fx, fy, fz, rx, ry, rz, ux, uy, uz;
    double focal, halfW, halfH;

    View(const Camera& c, int width, int height) {
        cx = c.x / 65536.0, cy = c.y / 65536.0, cz = c.z / 65536.0;
        const double a = c.heading * kWordToRadians;
        double p = c.pitch * kWordToRadians;
        if (p > kPi) p -= 2 * kPi;
        fx = -std::sin(a) * std::cos(p), fy = std::cos(a) * std::cos(p), fz = -std::sin(p);
        rx = std::cos(a), ry = std::sin(a), rz = 0;
        ux = ry * fz - rz * fy, uy = rz * fx - rx * fz, uz = rx * fy - ry * fx;
        halfW = width / 2.0, halfH = height / 2.0;
        const double fov = std::clamp(c.fov, 5.0, 170.0) * kPi / 180.0;
        focal = halfW / std::tan(fov / 2);
    }
    bool Project(double x, double y, double z, QPointF& out, double& depth) const {
        const double dx = x - cx, dy = y - cy, dz = z - cz;
        depth = dx * fx + dy * fy + dz * fz;
        if (depth < 0.5) return false;
        out = QPointF(halfW + (dx * rx + dy * ry + dz * rz) / depth * focal,
                      halfH - (dx * ux + dy * uy + dz * uz) / depth * focal);
        return true;
    }
};

const QColor kCarColours[] = {Qt::red, Qt::green, Qt::cyan, Qt::yellow, Qt::magenta, QColor(255, 140, 0),
                              QColor(120, 160, 255), QColor(200, 200, 200)};
}  // namespace

SimWindow::SimWindow(Simulator& simulator, const QString& title) : simulator_(simulator) {
    setWindowTitle(title);
    resize(640, 480);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&simulator_, &Simulator::Changed, this, qOverload<>(&QWidget::update));
}

void SimWindow::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text().toLower();
    if (text == "p" || text == "f") {
        simulator_.PressKey(text.at(0).toLatin1());
        return;
    }
    QWidget::keyPressEvent(event);
}

void SimWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const View view(simulator_.CurrentCamera(), width(), height());
    const auto& replay = simulator_.LoadedReplay();
    const std::uint32_t time = simulator_.ReplayTime();

    if (replay) {
        // The circuit as the first car's path over the whole replay, in grey.
        painter.setPen(QPen(QColor(70, 70, 70), 2));
        QPointF previous;
        bool havePrevious = false;
        for (std::size_t i = 0; i < replay->samples.size(); i += 2) {
            const CarSample& s = replay->samples[i][0];
            QPointF point;
            double depth;
            const bool seen = view.Project(s.x / 65536.0, s.y / 65536.0, 0, point, depth);
            if (seen && havePrevious) painter.drawLine(previous, point);
            previous = point;
            havePrevious = seen;
        }
        painter.setRenderHint(QPainter::Antialiasing, true);
        for (std::size_t c = 0; c < replay->names.size(); ++c) {
            const CarSample s = replay->CarAt(c, time);
            QPointF point;
            double depth;
            if (!view.Project(s.x / 65536.0, s.y / 65536.0, s.z / 65536.0, point, depth)) continue;
            const double r = std::clamp(2.0 * view.focal / depth, 2.0, 60.0);
            painter.setBrush(kCarColours[c % 8]);
            painter.setPen(Qt::NoPen);
            painter.drawEllipse(point, r, r);
            const double a = s.heading * kWordToRadians;
            QPointF nose;
            if (view.Project(s.x / 65536.0 - 3 * std::sin(a), s.y / 65536.0 + 3 * std::cos(a), s.z / 65536.0, nose,
                             depth)) {
                painter.setPen(QPen(kCarColours[c % 8], 2));
                painter.drawLine(point, nose);
            }
        }
        painter.setRenderHint(QPainter::Antialiasing, false);
    }

    // The 2D display: what is loaded and the state, like the simulator's own interface.
    if (simulator_.Flags() & kShow2D) {
        painter.setPen(Qt::lightGray);
        QFont small = font();
        small.setPixelSize(14);
        painter.setFont(small);
        QString status = replay ? simulator_.ReplayName() : QString("Main screen");
        if (simulator_.Flags() & kPaused) status += "  PAUSED";
        if (simulator_.Frozen()) status += "  FROZEN";
        painter.drawText(QRect(10, height() / 2 - 20, width() - 20, 20), Qt::AlignLeft, status);
    }

    // The replay time in hundredths as a big number, then the bar, each on a black band.
    QFont big = font();
    big.setPixelSize(std::max(24, height() / 8));
    big.setBold(true);
    painter.setFont(big);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, height() / 8, width(), height() / 6), Qt::AlignHCenter | Qt::AlignVCenter,
                     QString::number(time));

    // The time bar, and the camera bar just above it: the camera the picture is drawn from.
    const int left = BarLeft(width());
    auto drawBar = [&](int top, std::uint32_t bits) {
        painter.fillRect(left - kBarMargin, top - kBarMargin, kBarWidth + 2 * kBarMargin,
                         kBarCellSize + 2 * kBarMargin, Qt::black);
        for (int i = 0; i < kBarCells; ++i) {
            painter.fillRect(left + i * kBarCellSize, top, kBarCellSize, kBarCellSize,
                             BarCellWhite(bits, i) ? Qt::white : Qt::black);
        }
    };
    drawBar(BarTop(height()), time);
    drawBar(CameraBarTop(height()), CameraIdentity(simulator_.CurrentCamera().x, simulator_.CurrentCamera().y));
}

}  // namespace demosim
