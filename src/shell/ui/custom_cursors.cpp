#include "shell/ui/custom_cursors.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QtEndian>

namespace kinoloop {

namespace {

// The cursor file's directory: reserved (2 bytes, 0), type (2 bytes, 2 for cursors), count (2 bytes), then
// one 16-byte entry per image whose bytes 4..7 hold the hot spot's x and y.
constexpr int kDirectorySize = 6;
constexpr int kEntrySize = 16;
constexpr int kHotSpotX = kDirectorySize + 4;
constexpr int kHotSpotY = kDirectorySize + 6;
constexpr quint16 kCursorType = 2;

quint16 Word(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar*>(bytes.constData()) + offset);
}

}  // namespace

std::optional<QPoint> CursorHotSpot(const QByteArray& bytes) {
    if (bytes.size() < kDirectorySize + kEntrySize) return std::nullopt;
    if (Word(bytes, 0) != 0 || Word(bytes, 2) != kCursorType || Word(bytes, 4) == 0) return std::nullopt;
    return QPoint(Word(bytes, kHotSpotX), Word(bytes, kHotSpotY));
}

std::optional<QCursor> LoadCursorFile(const std::filesystem::path& file) {
    QFile in(QString::fromStdString(file.string()));
    if (!in.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = in.readAll();
    const std::optional<QPoint> hotSpot = CursorHotSpot(bytes);
    if (!hotSpot) return std::nullopt;
    // Qt's icon reader takes cursor files too (its "cur" format); the hot spot is not part of the image.
    const QImage image = QImage::fromData(bytes, "cur");
    if (image.isNull()) return std::nullopt;
    const QPoint spot(std::min(hotSpot->x(), image.width() - 1), std::min(hotSpot->y(), image.height() - 1));
    return QCursor(QPixmap::fromImage(image), spot.x(), spot.y());
}

void CustomCursors::Load(const std::filesystem::path& imgFolder) {
    const struct {
        int number;
        const char* file;
    } files[] = {{kPoint, "point.cur"}, {kHand, "hand.cur"}, {kSelect, "select.cur"}};
    for (const auto& entry : files) {
        if (std::optional<QCursor> cursor = LoadCursorFile(imgFolder / entry.file)) {
            cursors_.insert_or_assign(entry.number, *cursor);
        }
    }
}

QCursor CustomCursors::Cursor(int number) const {
    const auto found = cursors_.find(number);
    return found != cursors_.end() ? found->second : QCursor(Qt::ArrowCursor);
}

}  // namespace kinoloop
