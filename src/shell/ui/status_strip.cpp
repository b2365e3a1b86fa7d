#include "shell/ui/status_strip.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

#include "model/movie.h"
#include "model/ui/node_pictures.h"

namespace kinoloop {
namespace {

QLabel* Label(const char* name, const char* text, int width) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    if (width > 0) label->setMinimumWidth(width);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return label;
}

}  // namespace

StatusStrip::StatusStrip(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 2, 0);
    const auto trackButton = [this, layout](const char* name, const char* hint, QStyle::StandardPixmap icon) {
        auto* button = new QToolButton;
        button->setObjectName(name);
        button->setIcon(style()->standardIcon(icon));
        button->setAccessibleName(hint);
        button->setCursor(Qt::PointingHandCursor);
        layout->addWidget(button);
        return button;
    };
    btnAddRow = trackButton("btnAddRow", "Add New Track", QStyle::SP_FileDialogNewFolder);
    btnDeleteRow = trackButton("btnDeleteRow", "Delete Track", QStyle::SP_TrashIcon);
    btnMoveUp = trackButton("btnMoveUp", "Move Track Up", QStyle::SP_ArrowUp);
    btnMoveDown = trackButton("btnMoveDown", "Move Track Down", QStyle::SP_ArrowDown);
    btnLock = trackButton("btnLock", "Lock Track", QStyle::SP_DialogNoButton);
    btnLock->setIcon(QIcon(LockPicture()));
    layout->addSpacing(12);
    lblCurrFrame = Label("lblCurrFrame", "Frame: 0", 90);
    lblFormat = Label("lblFormat", "", 40);
    lblFPS = Label("lblFPS", "25fps", 45);
    lblTime = Label("lblTime", "0s", 60);
    lblLastAction = Label("lblLastAction", "No Action", 0);
    for (QLabel* label : {lblCurrFrame, lblFormat, lblFPS, lblTime}) layout->addWidget(label);
    layout->addWidget(lblLastAction, 1);
}

void StatusStrip::ShowFrameInfo(const FrameInfo& info) {
    lblCurrFrame->setText(QString::fromStdString(info.currentFrame));
    lblFormat->setText(QString::fromStdString(info.format));
    lblFPS->setText(QString::fromStdString(info.fps));
    lblTime->setText(QString::fromStdString(info.time));
}

void StatusStrip::SetLastAction(const QString& text) { lblLastAction->setText(text); }

}  // namespace kinoloop
