#pragma once

#include <QHostAddress>
#include <QTcpServer>

#include <unordered_set>

class QTcpSocket;

namespace halvora {

struct PhoneLimits {
    int maxConnections = 1000;
    int maxBodyBytes = 4096;
    // A request's head and body together, past which the connection is answered 413 and closed.
    int maxRequestBytes = 8192;
    // From a request's first byte to its answer (a client that trickles its request is dropped) ...
    int requestTimeoutMs = 10000;
    // ... and how long a connection may wait idle for its next request.
    int idleTimeoutMs = 30000;
    // Live connections are pinged; one that has not answered for two rounds is closed.
    int pingIntervalMs = 20000;
    int claimIntervalMs = 1000;
};

// Accepts connections for the HTTP server within the limits it has none of: a cap on open
// connections, a time limit on every request and on idle keep-alive connections, and a cap on a
// request's size. A connection upgraded to a live socket is released from the time limits.
class GuardedTcpServer final : public QTcpServer {
    Q_OBJECT

public:
    explicit GuardedTcpServer(const PhoneLimits& limits, QObject* parent = nullptr);
    ~GuardedTcpServer() override;

    int openConnections() const { return static_cast<int>(watches_.size()); }
    // The connection now belongs to a live socket that keeps itself alive with pings.
    void release(const QHostAddress& peer, quint16 peerPort);
    // Closes every connection that is still an HTTP one.
    void closeAll();

protected:
    void incomingConnection(qintptr handle) override;

private:
    class Watch;
    friend class Watch;
    void guard(QTcpSocket* socket);

    PhoneLimits limits_;
    std::unordered_set<Watch*> watches_;
};

} // namespace halvora
