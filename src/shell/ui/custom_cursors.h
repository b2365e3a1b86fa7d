#pragma once
// The program's custom cursors, registered by number from the cursor files of Img: 1 `point.cur` (the
// pointing cursor of the clickable controls), 2 `hand.cur`, 3 `select.cur`. A number whose file is missing or
// unreadable stays the default arrow.
#include <QByteArray>
#include <QCursor>
#include <QPoint>
#include <filesystem>
#include <map>
#include <optional>

namespace kinoloop {

// The hot spot of a Windows cursor file's first image (from its directory entry); nothing when the bytes are
// not a cursor file.
std::optional<QPoint> CursorHotSpot(const QByteArray& bytes);

// A cursor file as a cursor with its own hot spot; nothing when it cannot be read.
std::optional<QCursor> LoadCursorFile(const std::filesystem::path& file);

class CustomCursors {
public:
    static constexpr int kPoint = 1;
    static constexpr int kHand = 2;
    static constexpr int kSelect = 3;

    // Registers the cursor files found in `imgFolder`.
    void Load(const std::filesystem::path& imgFolder);

    bool Has(int number) const { return cursors_.count(number) != 0; }
    // The registered cursor, or the arrow.
    QCursor Cursor(int number) const;

private:
    std::map<int, QCursor> cursors_;
};

}  // namespace kinoloop
