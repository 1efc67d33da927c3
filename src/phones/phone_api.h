#pragma once

#include "cards/card.h"

#include <QByteArray>
#include <QHostAddress>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace halvora {

// The Host values a phone's browser sends when it reached the server through its address and port;
// anything else (a name another site resolves to this machine) is refused.
QStringList allowedHosts(const QHostAddress& address, quint16 port);
bool isAllowedHost(const QByteArray& host, const QStringList& allowed);
// A request from a page of another site: its Origin, when it sends one, is not this server.
bool isAllowedOrigin(const QByteArray& origin, const QByteArray& host);

// A JSON object body; nothing for anything else.
std::optional<QJsonObject> parseJsonObject(const QByteArray& body);

// At most 20 characters, without control characters or surrounding spaces.
QString cleanNickname(const QString& typed);

// A card's secret: 256 random bits from the system, base64url. Only its hash is kept on disk.
QByteArray newToken();
QByteArray tokenHash(const QByteArray& token);
bool isTokenShaped(const QByteArray& token);

// The card as the phone's page draws it.
QJsonObject cardJson(const Card& card, const QString& nickname);
// What every phone is told when the game changes: the drawn numbers in the order they came.
QByteArray gameMessage(const std::vector<int>& order, int cardsPerBrowser);

// The address a guest types, or reads from the QR code.
QString pageAddress(const QHostAddress& address, quint16 port);
// The machine's addresses a phone on the venue's network could reach, the likely one first
// (private IPv4 of an interface that is up); loopback last.
QList<QHostAddress> reachableAddresses();

} // namespace halvora
