#include "frame/single_instance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>

namespace tidora::frame {
namespace {

constexpr int kWaitMs = 2000;

// A short socket name (socket paths are limited to about 100 bytes) that is the same for every
// process using this lock folder.
QString serverNameFor(const QString& lockFolder, const QString& identity) {
    const QByteArray key = (QDir(lockFolder).absolutePath() + "|" + identity).toUtf8();
    return "tidora-" +
           QString::fromLatin1(
               QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(20));
}

}  // namespace

TMDataHandling::TMDataHandling(const QString& lockFolder, const QString& identity)
    : serverName_(serverNameFor(lockFolder, identity)),
      lock_(std::make_unique<QLockFile>(QDir(lockFolder).filePath(identity + ".lock"))) {
    // Only a live holder counts: a lock left by a process that died is taken over at once.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) {
        firstFlag_ = true;
        initFlag_ = true;
        QLocalServer::removeServer(serverName_);  // a socket left by a process that died
        server_ = std::make_unique<QLocalServer>();
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        QObject::connect(server_.get(), &QLocalServer::newConnection, [this] {
            while (QLocalSocket* socket = server_->nextPendingConnection()) {
                QObject::connect(socket, &QLocalSocket::readyRead,
                                 [this, socket] { readHandOver(socket); });
                QObject::connect(socket, &QLocalSocket::disconnected, socket,
                                 &QObject::deleteLater);
                readHandOver(socket);
            }
        });
        server_->listen(serverName_);
        return;
    }
    initFlag_ = lock_->error() == QLockFile::LockFailedError;
}

TMDataHandling::~TMDataHandling() {
    if (server_) {
        server_->close();
    }
}

// A hand-over: the regime sign (32 bits) and the text (UTF-16 units), as QDataStream writes them.
void TMDataHandling::readHandOver(QLocalSocket* socket) {
    QDataStream in(socket);
    in.startTransaction();
    qint32 regimeSign = 0;
    QString text;
    in >> regimeSign >> text;
    if (!in.commitTransaction()) {
        return;  // not all of it has arrived yet
    }
    lastText_ = text.left(kMaxTextUnits);
    socket->disconnectFromServer();
    if (onReceived) {
        onReceived(regimeSign, lastText_);
    }
}

bool TMDataHandling::SendDataStr(int regimeSign, const QString& text) {
    if (firstFlag_) {
        return false;
    }
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(kWaitMs)) {
        return false;
    }
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << qint32(regimeSign) << text.left(kMaxTextUnits);
    const bool sent = socket.write(message) == message.size() &&
                      (socket.bytesToWrite() == 0 || socket.waitForBytesWritten(kWaitMs));
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) {
        socket.waitForDisconnected(kWaitMs);
    }
    return sent;
}

}  // namespace tidora::frame
