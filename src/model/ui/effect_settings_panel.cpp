#include "model/ui/effect_settings_panel.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace kinoloop {

EffectSettingsPanel::EffectSettingsPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("panEffectSettings");
    auto* form = new QFormLayout(this);
    controls_.lblEffect = new QLabel("Effect: No effect is selected");
    controls_.lblEffect->setObjectName("lblEffect");
    controls_.lblEffect->setWordWrap(true);
    form->addRow(controls_.lblEffect);
    controls_.lblEffectDetails = new QLabel("Track: Unknown Cell: 0");
    controls_.lblEffectDetails->setObjectName("lblEffectDetails");
    form->addRow(controls_.lblEffectDetails);
    const auto box = [](const char* name, const char* text) {
        auto* edit = new QLineEdit(text);
        edit->setObjectName(name);
        return edit;
    };
    controls_.txtParam = box("txtParam", "0");
    controls_.txtParam2 = box("txtParam2", "0");
    controls_.txtParam3 = box("txtParam3", "0");
    controls_.txtParam4 = box("txtParam4", "0");
    controls_.txtMessage = box("txtMessage", "");
    controls_.txtEffectID = box("txtEffectID", "-1");
    controls_.txtEffectID->setReadOnly(true);
    form->addRow("Parameter 1:", controls_.txtParam);
    form->addRow("Parameter 2:", controls_.txtParam2);
    form->addRow("Parameter 3:", controls_.txtParam3);
    form->addRow("Parameter 4:", controls_.txtParam4);
    form->addRow("Text:", controls_.txtMessage);
    form->addRow("Effect id:", controls_.txtEffectID);
    controls_.txtAuthorNotes = new QPlainTextEdit;
    controls_.txtAuthorNotes->setObjectName("txtAuthorNotes");
    controls_.txtAuthorNotes->setReadOnly(true);
    controls_.txtAuthorNotes->setMaximumHeight(70);
    form->addRow(controls_.txtAuthorNotes);
    buttons_ = new QHBoxLayout;
    form->addRow(buttons_);
}

}  // namespace kinoloop
