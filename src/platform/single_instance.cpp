#include "platform/single_instance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

namespace kinoloop {
namespace {
constexpr char kRaise[] = "raise\n";
constexpr int kTimeoutMs = 1000;
}  // namespace

QString SingleInstance::DefaultName() { return QString("kinoloop-%1").arg(::getuid()); }

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(name.isEmpty() ? DefaultName() : std::move(name)) {}

bool SingleInstance::Claim() {
    {
        QLocalSocket socket;
        socket.connectToServer(name_);
        if (socket.waitForConnected(kTimeoutMs)) {
            socket.write(kRaise);
            socket.waitForBytesWritten(kTimeoutMs);
            socket.disconnectFromServer();
            return false;
        }
    }
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // Nobody answered: a socket file left by a crashed instance is stale.
    QLocalServer::removeServer(name_);
    if (!server_->listen(name_)) {
        error_ = server_->errorString();
        return true;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server_->nextPendingConnection()) {
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                if (client->readAll().startsWith("raise")) emit raiseRequested();
                client->disconnectFromServer();
            });
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        }
    });
    return true;
}

}  // namespace kinoloop
