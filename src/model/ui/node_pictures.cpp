#include "model/ui/node_pictures.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>

#include "model/timeline_layout.h"
#include "shell/program_folder.h"

namespace kinoloop {
namespace {

bool FromImg(const QString& name, QPixmap& picture) {
    const QString path = QString::fromStdString((ImgFolder() / name.toStdString()).string());
    return QFile::exists(path) && picture.load(path);
}

QPixmap Blank(int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    return picture;
}

}  // namespace

QPixmap CurrentRowPicture() {
    QPixmap picture;
    if (FromImg("current.png", picture)) return picture;
    picture = Blank(12);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::black);
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({QPointF(3, 1), QPointF(10, 6), QPointF(3, 11)}));
    return picture;
}

QPixmap LockPicture() {
    QPixmap picture;
    if (FromImg("lock.png", picture)) return picture;
    picture = Blank(12);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::darkGray, 1.5));
    p.drawArc(QRectF(3, 1, 6, 7), 0, 180 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 150, 0));
    p.drawRect(QRectF(2, 5, 8, 6));
    return picture;
}

QPixmap KindPicture(char head) {
    QPixmap picture;
    if (FromImg(QString("kind_%1.png").arg(QChar(head)), picture)) return picture;
    picture = Blank(32);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    Rgb fill{128, 128, 128};
    const bool isKind = KindColour(head, fill);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(fill.r, fill.g, fill.b));
    p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 5, 5);
    QFont font = p.font();
    font.setPixelSize(isKind ? 18 : 11);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(0, 0, 32, 32), Qt::AlignCenter, isKind ? QString(QChar(head)) : QString("KL"));
    return picture;
}

}  // namespace kinoloop
