#pragma once
// At most one running Kinoloop per user: the first start listens on a local socket; a later start asks it to
// come to the front and then ends.
#include <QObject>
#include <QString>

class QLocalServer;

namespace kinoloop {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // name: the socket's name; the default is per user ("kinoloop-<uid>").
    explicit SingleInstance(QString name = QString(), QObject* parent = nullptr);

    // True when this is the only instance (it now listens). False when another instance answered: it has been
    // asked to raise its window, and this start should end.
    bool Claim();
    QString ServerName() const { return name_; }
    // Why listening failed, when Claim() found no other instance but could not listen either.
    QString ErrorText() const { return error_; }

    static QString DefaultName();

signals:
    // Another start asked this instance to bring its window to the front.
    void raiseRequested();

private:
    QString name_;
    QString error_;
    QLocalServer* server_ = nullptr;
};

}  // namespace kinoloop
