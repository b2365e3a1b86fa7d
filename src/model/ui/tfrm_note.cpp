#include "model/ui/tfrm_note.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "model/ui/node_pictures.h"
#include "link/event_wait.h"

namespace kinoloop {

QString NoteFromMemo(const QString& memoText) {
    QString text = memoText;
    text.remove('?').remove('|').remove(':');
    text.replace("\r\n", "?").replace('\n', '?').replace('\r', '?');
    return text;
}

TfrmNote::TfrmNote(QWidget* parent) : QDialog(parent) {
    setObjectName("frmNote");
    setWindowTitle("Node Note");
    // No title-bar buttons: "Ok" is the way out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(false);
    setFixedSize(260, 170);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* picture = new QLabel;
    picture->setPixmap(KindPicture('N').scaled(24, 24, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    top->addWidget(picture);
    top->addWidget(new QLabel("Enter your note below:"), 1);
    layout->addLayout(top);
    txtNote_ = new QPlainTextEdit;
    txtNote_->setObjectName("txtNote");
    txtNote_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtNote_->installEventFilter(this);
    layout->addWidget(txtNote_, 1);
    btnOk_ = new QPushButton("Ok");
    btnOk_->setObjectName("btnOk");
    layout->addWidget(btnOk_, 0, Qt::AlignRight);
    connect(btnOk_, &QPushButton::clicked, this, &TfrmNote::Ok);
    // The memo holds at most 120 characters, however they came in (typing or pasting).
    connect(txtNote_, &QPlainTextEdit::textChanged, this, [this] {
        const QString text = txtNote_->toPlainText();
        if (text.size() <= kMaxLength) return;
        QSignalBlocker block(txtNote_);
        txtNote_->setPlainText(text.left(kMaxLength));
        txtNote_->moveCursor(QTextCursor::End);
    });
}

bool TfrmNote::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtNote_ && event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        if (typed == "?" || typed == "|" || typed == ":") return true;
    }
    return QDialog::eventFilter(watched, event);
}

QString TfrmNote::EditNote(const QString& text) {
    txtNote_->setPlainText(text.trimmed());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    }
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    show();
    raise();
    activateWindow();
    txtNote_->setFocus();
    ServeEventsUntil([this] { return !isVisible(); });
    return txtNote_->toPlainText();
}

void TfrmNote::Ok() {
    txtNote_->setPlainText(NoteFromMemo(txtNote_->toPlainText()));
    hide();
}

void TfrmNote::closeEvent(QCloseEvent* event) {
    // Closed by the window manager: keep what was typed, as "Ok" does.
    txtNote_->setPlainText(NoteFromMemo(txtNote_->toPlainText()));
    event->accept();
}

void TfrmNote::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) return;  // no reject(): "Ok" is the way out
    QDialog::keyPressEvent(event);
}

}  // namespace kinoloop
