#include "diagnostics/ui/tfm_qel_log.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace kinoloop {

TfmQELLog::TfmQELLog(const QString& title, QWidget* parent) : QDialog(parent) {
    setObjectName("fmQELLog");
    setWindowTitle(title + " - Log");
    resize(500, 350);
    memLog_ = new QPlainTextEdit;
    memLog_->setObjectName("memLog");
    memLog_->setReadOnly(true);
    memLog_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memLog_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memLog_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // "Courier New" where it is installed; the system's fixed-width face keeps the columns otherwise.
    QFont font("Courier New");
    font.setStyleHint(QFont::TypeWriter);
    if (!font.exactMatch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    memLog_->setFont(font);
    btnClose_ = new QPushButton("Close");
    btnClose_->setObjectName("btnClose");
    connect(btnClose_, &QPushButton::clicked, this, &QWidget::hide);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnClose_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(memLog_, 1);
    layout->addLayout(buttons);
}

void TfmQELLog::ShowText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace("\r\n", "\n");
    if (shown.endsWith('\n')) shown.chop(1);
    memLog_->setPlainText(shown);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    show();
    raise();
    activateWindow();
}

}  // namespace kinoloop
