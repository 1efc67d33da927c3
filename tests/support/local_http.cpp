#include "support/local_http.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QJsonDocument>
#include <QTcpSocket>
#include <QTimer>

namespace halvora::test {

bool waitUntil(const std::function<bool()>& done, int ms) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    check.start(5);
    if (!done())
        loop.exec();
    return done();
}

HttpReply exchange(quint16 port, const QByteArray& request) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.write(request);
    QByteArray raw;
    const auto complete = [&] {
        raw += socket.readAll();
        const qsizetype head = raw.indexOf("\r\n\r\n");
        const qsizetype length = raw.toLower().indexOf("content-length: ");
        return socket.state() == QAbstractSocket::UnconnectedState ||
               (head > 0 && length > 0 && raw.size() >= head + 4 + raw.mid(length + 16, 8).split('\r')[0].toInt());
    };
    waitUntil(complete);
    return {raw.mid(9, 3).toInt(), QJsonDocument::fromJson(raw.mid(raw.indexOf("\r\n\r\n") + 4)).object()};
}

QByteArray phoneRequest(quint16 port, const QByteArray& method, const QByteArray& path, const QByteArray& body,
                        const QByteArray& extraHeaders) {
    return method + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
           "\r\nContent-Type: application/json\r\n" + extraHeaders + "Content-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

HttpReply phonePost(quint16 port, const QByteArray& path, const QByteArray& token, const QByteArray& body) {
    return exchange(port, phoneRequest(port, "POST", path, body,
                                       token.isEmpty() ? QByteArray() : "X-Halvora-Token: " + token + "\r\n"));
}

} // namespace halvora::test
