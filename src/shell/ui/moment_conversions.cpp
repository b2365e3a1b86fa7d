#include "shell/ui/moment_conversions.h"

#include <QAction>

#include "model/ui/timeline_context_menu.h"

namespace kinoloop {

namespace {

// The menu's entries are numbered as the conversion's targets.
static_assert(static_cast<int>(ConversionTarget::Arcade) == static_cast<int>(ConvertMenuTarget::Arcade));
static_assert(static_cast<int>(ConversionTarget::Custom) == static_cast<int>(ConvertMenuTarget::Custom));
static_assert(static_cast<int>(ConversionTarget::TrackingFollow) ==
              static_cast<int>(ConvertMenuTarget::TrackingFollow));
static_assert(static_cast<int>(ConversionTarget::TrackingStatic) ==
              static_cast<int>(ConvertMenuTarget::TrackingStatic));

ConversionTarget TargetOf(const QAction* action) {
    return static_cast<ConversionTarget>(action->data().toInt());
}

}  // namespace

MomentConversions::MomentConversions(MomentConversionsContext context, TimelineContextMenu& menu,
                                     QObject* parent)
    : QObject(parent), ctx_(std::move(context)) {
    for (QAction* action : menu.ConvertSelectedItems.targets) {
        connect(action, &QAction::triggered, this, [this, action] { ConvertSelected(TargetOf(action)); });
    }
    for (QAction* action : menu.ConvertAllItems.targets) {
        connect(action, &QAction::triggered, this, [this, action] { ConvertAll(TargetOf(action)); });
    }
}

bool MomentConversions::ConvertSelected(ConversionTarget target) {
    const bool converted = ConvertMoment(*ctx_.movie, *ctx_.moments, target);
    if (converted && ctx_.refresh) ctx_.refresh();
    return converted;
}

ConversionResult MomentConversions::ConvertAll(ConversionTarget target) {
    const ConversionResult result = ConvertAllMoments(*ctx_.movie, *ctx_.moments, *ctx_.notices, target);
    if (result.converted > 0 && ctx_.refresh) ctx_.refresh();
    return result;
}

}  // namespace kinoloop
