#pragma once
// The timeline context menu's "Convert Selected Hot Moment to..." and "Convert All Hot Moments to..."
// entries, wired to the conversions over the hot-moments window's recorder.
#include <QObject>
#include <functional>

#include "hotmoments/moment_nodes.h"

namespace kinoloop {

class Notices;
class TimelineContextMenu;

struct MomentConversionsContext {
    Movie* movie = nullptr;
    Notices* notices = nullptr;
    const TMoments* moments = nullptr;  // the hot-moments window's recorder
    std::function<void()> refresh;      // repaint the grids after a conversion changed cells
};

class MomentConversions : public QObject {
    Q_OBJECT
public:
    MomentConversions(MomentConversionsContext context, TimelineContextMenu& menu, QObject* parent = nullptr);

    // The hot-moment node at the selected cell; nothing changes and nothing is said when it cannot convert.
    bool ConvertSelected(ConversionTarget target);
    // Every hot-moment node; the result is also told in a message.
    ConversionResult ConvertAll(ConversionTarget target);

private:
    MomentConversionsContext ctx_;
};

}  // namespace kinoloop
