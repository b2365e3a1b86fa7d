#pragma once
// The effects configuration panel on the right: the chosen effect, its four number parameters, its text
// parameter and the plug-in author's notes. Showing an effect node fills it; the plug-in host's buttons
// ("Apply", "Test Effect") are added by their owner through ButtonRow().
#include <QWidget>

#include "model/ui/node_properties_panel.h"

class QHBoxLayout;

namespace kinoloop {

class EffectSettingsPanel : public QWidget {
    Q_OBJECT
public:
    explicit EffectSettingsPanel(QWidget* parent = nullptr);
    const EffectSettingsControls& Controls() const { return controls_; }
    QHBoxLayout* ButtonRow() const { return buttons_; }

private:
    EffectSettingsControls controls_;
    QHBoxLayout* buttons_;
};

}  // namespace kinoloop
