#include "platform/instance_lock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace halvora {

namespace {

constexpr int kAskTimeoutMs = 1000;

// The same folder gives the same name, whichever path it was reached by.
QString serverName(const QString& folder) {
    const QString canonical = QDir(folder).canonicalPath();
    const QByteArray hash = QCryptographicHash::hash(QFile::encodeName(canonical.isEmpty() ? folder : canonical),
                                                     QCryptographicHash::Sha1);
    return QStringLiteral("halvora-") + QString::fromLatin1(hash.toHex().left(20));
}

// False when no program answers for the folder.
bool askToComeToTheFront(const QString& name) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kAskTimeoutMs))
        return false;
    socket.write("front\n");
    socket.waitForBytesWritten(kAskTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

} // namespace

InstanceLock::InstanceLock(QObject* parent) : QObject(parent) {}

InstanceLock::~InstanceLock() { release(); }

bool InstanceLock::acquire(const QString& folder) {
    release();
    auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(QStringLiteral(".halvora.lock")));
    // Only a live owner holds the lock; its age does not matter.
    lock->setStaleLockTime(0);
    const QString name = serverName(folder);
    bool locked = lock->tryLock(0);
    if (!locked && lock->error() != QLockFile::LockFailedError)
        return true; // a folder that takes no lock file: nothing to share it with either
    if (!locked && askToComeToTheFront(name))
        return false;
    // A lock nobody answers for came along with a folder copied or moved from where its program ran
    // (another computer, or another path): it holds nothing here.
    if (!locked)
        locked = lock->removeStaleLockFile() && lock->tryLock(0);
    if (locked) {
        lock_ = std::move(lock);
        listen(name);
    }
    return true;
}

void InstanceLock::listen(const QString& name) {
    QLocalServer::removeServer(name); // left by a program that did not end well
    server_ = new QLocalServer(this);
    if (!server_->listen(name))
        return;
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains("front"))
                    emit frontRequested();
            });
        }
    });
}

void InstanceLock::release() {
    delete server_;
    server_ = nullptr;
    lock_.reset(); // unlocks, removing the file
}

} // namespace halvora
