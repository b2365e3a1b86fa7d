#include "shell/ui/tfrm_msg_box.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include "link/event_wait.h"

namespace kinoloop {

TfrmMsgBox::TfrmMsgBox(QWidget* parent) : QDialog(parent) {
    setObjectName("frmMsgBox");
    setWindowTitle("Kinoloop");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setModal(false);
    setFixedSize(298, 90);

    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setGeometry(8, 8, 32, 32);
    imgStatus_ = new QLabel(frame);
    imgStatus_->setObjectName("imgStatus");
    imgStatus_->setGeometry(8, 8, 16, 16);
    imgStatus_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(16, 16));

    lblStatus_ = new QLabel(this);
    lblStatus_->setObjectName("lblStatus");
    lblStatus_->setGeometry(48, 8, 241, 41);
    lblStatus_->setWordWrap(true);
    lblStatus_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont small = font();
    small.setPixelSize(11);
    lblStatus_->setFont(small);

    auto* bevel = new QFrame(this);
    bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    bevel->setGeometry(8, 55, 281, 2);

    btnYes_ = new QPushButton("Yes", this);
    btnYes_->setObjectName("btnYes");
    btnNo_ = new QPushButton("No", this);
    btnNo_->setObjectName("btnNo");
    for (QPushButton* button : {btnYes_, btnNo_}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoDefault(false);
        button->setFont(small);
        button->setCursor(QCursor(Qt::PointingHandCursor));
    }
    btnYes_->setGeometry(166, 64, 57, 17);
    btnNo_->setGeometry(232, 64, 57, 17);
    connect(btnYes_, &QPushButton::clicked, this, [this] { Record(true); });
    connect(btnNo_, &QPushButton::clicked, this, [this] { Record(false); });
}

char TfrmMsgBox::CloseAnswer(char buttons) {
    switch (buttons) {
        case 'Y': return 'N';
        case 'C': return 'C';
        default: return 'O';
    }
}

char TfrmMsgBox::Ask(char icon, char buttons, const QString& caption, const QString& text) {
    if (!placed_) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
        }
        placed_ = true;
    }
    answer_ = '?';
    buttons_ = buttons;
    switch (icon) {
        case 'I': imgStatus_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(16, 16)); break;
        case 'X': imgStatus_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(16, 16)); break;
        case 'E': imgStatus_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(16, 16)); break;
        default: break;
    }
    if (icon == 'I' || icon == 'X' || icon == 'E') pictureLetter_ = icon;
    switch (buttons) {
        case 'O':
            btnYes_->hide();
            btnYes_->setText(QString());
            btnNo_->setText("Ok");
            btnNo_->show();
            break;
        case 'Y':
            btnYes_->setText("Yes");
            btnNo_->setText("No");
            btnYes_->show();
            btnNo_->show();
            break;
        case 'C':
            btnYes_->setText("Ok");
            btnNo_->setText("Cancel");
            btnYes_->show();
            btnNo_->show();
            break;
        default: break;
    }
    setWindowTitle(caption);
    lblStatus_->setText(text);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    show();
    raise();

    // Timers, datagrams and clicks elsewhere go on being served while the caller waits.
    ServeEventsUntil([this] { return answer_ != '?'; });
    return answer_;
}

void TfrmMsgBox::Record(bool left) {
    // A set the window does not know records nothing: the caller keeps waiting for a known answer.
    switch (buttons_) {
        case 'C': answer_ = left ? 'O' : 'C'; break;
        case 'O': answer_ = 'O'; break;
        case 'Y': answer_ = left ? 'Y' : 'N'; break;
        default: return;
    }
    hide();
}

void TfrmMsgBox::closeEvent(QCloseEvent* event) {
    // The title-bar box must not leave a caller waiting for ever: it gives the set's declining answer.
    if (answer_ == '?') answer_ = CloseAnswer(buttons_);
    event->accept();
}

void TfrmMsgBox::keyPressEvent(QKeyEvent* event) {
    // Escape would close the dialog through reject(); treat it as the title-bar box.
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace kinoloop
