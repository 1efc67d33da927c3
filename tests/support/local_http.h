#pragma once

#include <QByteArray>
#include <QJsonObject>

#include <functional>

namespace halvora::test {

// Waits in the event loop for real network traffic, checking every few milliseconds, until `done`
// holds or `ms` pass; returns whether it holds.
bool waitUntil(const std::function<bool()>& done, int ms = 5000);

// One HTTP exchange on loopback with the program's server, written and read as raw bytes so that
// any request can be sent, malformed ones included.
struct HttpReply {
    int status = 0; // 0: the server closed without answering
    QJsonObject json;
};
HttpReply exchange(quint16 port, const QByteArray& request);
// A JSON POST as the phone's page sends it, with the card's token when there is one.
QByteArray phoneRequest(quint16 port, const QByteArray& method, const QByteArray& path,
                        const QByteArray& body = "{}", const QByteArray& extraHeaders = {});
HttpReply phonePost(quint16 port, const QByteArray& path, const QByteArray& token, const QByteArray& body = "{}");

} // namespace halvora::test
