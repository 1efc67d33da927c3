#include "phones/connection_guard.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace halvora {

// Lives as the socket's child, so it learns of the socket's end even when the HTTP server has
// disconnected every signal of a socket whose request it could not parse.
class GuardedTcpServer::Watch final : public QObject {
public:
    Watch(GuardedTcpServer& server, QTcpSocket* socket) : QObject(socket), server_(&server), socket_(socket) {
        server.watches_.insert(this);
        timer_.setSingleShot(true);
        connect(&timer_, &QTimer::timeout, this, &Watch::expire);
        // Connected before the HTTP server's own handlers, so a request too large never reaches it.
        connect(socket, &QTcpSocket::readyRead, this, &Watch::received);
        connect(socket, &QTcpSocket::bytesWritten, this, &Watch::answered);
        timer_.start(server.limits_.requestTimeoutMs);
    }
    ~Watch() override {
        if (server_)
            server_->watches_.erase(this);
    }
    void forgetServer() { server_ = nullptr; }
    void release() {
        timer_.stop();
        released_ = true;
    }
    bool isReleased() const { return released_; }
    QTcpSocket* socket() const { return socket_; }

private:
    void received() {
        if (!server_ || released_)
            return;
        if (!inRequest_) {
            inRequest_ = true;
            timer_.start(server_->limits_.requestTimeoutMs);
        }
        bytes_ += socket_->bytesAvailable();
        if (bytes_ > server_->limits_.maxRequestBytes) {
            disconnect(socket_, &QTcpSocket::readyRead, nullptr, nullptr);
            socket_->write("HTTP/1.1 413 Payload Too Large\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            socket_->disconnectFromHost();
            released_ = true;
            timer_.start(server_->limits_.requestTimeoutMs);
        }
    }
    void answered() {
        if (released_ || !server_)
            return;
        inRequest_ = false;
        bytes_ = 0;
        timer_.start(server_->limits_.idleTimeoutMs);
    }
    void expire() {
        socket_->abort();
        socket_->deleteLater();
    }

    GuardedTcpServer* server_;
    QTcpSocket* socket_;
    QTimer timer_;
    qint64 bytes_ = 0;
    bool inRequest_ = false;
    bool released_ = false;
};

GuardedTcpServer::GuardedTcpServer(const PhoneLimits& limits, QObject* parent) : QTcpServer(parent), limits_(limits) {
    setMaxPendingConnections(limits.maxConnections);
    setListenBacklogSize(1024);
}

GuardedTcpServer::~GuardedTcpServer() {
    for (Watch* watch : watches_)
        watch->forgetServer();
}

void GuardedTcpServer::incomingConnection(qintptr handle) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(handle)) {
        delete socket;
        return;
    }
    if (openConnections() >= limits_.maxConnections) {
        socket->abort();
        delete socket;
        return;
    }
    guard(socket);
    addPendingConnection(socket);
}

void GuardedTcpServer::guard(QTcpSocket* socket) {
    // Bounds what one client can make the program hold while its request is still coming.
    socket->setReadBufferSize(2 * limits_.maxRequestBytes);
    new Watch(*this, socket);
}

void GuardedTcpServer::release(const QHostAddress& peer, quint16 peerPort) {
    for (Watch* watch : watches_)
        if (watch->socket()->peerPort() == peerPort && watch->socket()->peerAddress() == peer)
            watch->release();
}

void GuardedTcpServer::closeAll() {
    std::vector<QPointer<QTcpSocket>> sockets;
    for (Watch* watch : watches_)
        if (!watch->isReleased())
            sockets.emplace_back(watch->socket());
    for (const QPointer<QTcpSocket>& socket : sockets)
        if (socket) {
            socket->abort();
            socket->deleteLater();
        }
}

} // namespace halvora
