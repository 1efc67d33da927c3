#include "phones/phone_api.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkInterface>
#include <QRandomGenerator>

#include <algorithm>

namespace halvora {

namespace {

QString hostText(const QHostAddress& address) {
    return address.protocol() == QAbstractSocket::IPv6Protocol ? QStringLiteral("[%1]").arg(address.toString())
                                                                : address.toString();
}

constexpr QByteArray::Base64Options kTokenEncoding =
    QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;

bool isPrivateIPv4(const QHostAddress& ip) {
    return ip.isInSubnet(QHostAddress(QStringLiteral("10.0.0.0")), 8) ||
           ip.isInSubnet(QHostAddress(QStringLiteral("172.16.0.0")), 12) ||
           ip.isInSubnet(QHostAddress(QStringLiteral("192.168.0.0")), 16);
}

} // namespace

QStringList allowedHosts(const QHostAddress& address, quint16 port) {
    const QString suffix = QStringLiteral(":%1").arg(port);
    QStringList hosts{hostText(address) + suffix};
    if (address.isLoopback())
        hosts << QStringLiteral("localhost") + suffix;
    if (port == 80)
        for (const QString& host : QStringList(hosts))
            hosts << host.chopped(suffix.size());
    return hosts;
}

bool isAllowedHost(const QByteArray& host, const QStringList& allowed) {
    return allowed.contains(QString::fromLatin1(host), Qt::CaseInsensitive);
}

bool isAllowedOrigin(const QByteArray& origin, const QByteArray& host) {
    return origin.isEmpty() || origin.compare("http://" + host, Qt::CaseInsensitive) == 0;
}

std::optional<QJsonObject> parseJsonObject(const QByteArray& body) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

QString cleanNickname(const QString& typed) {
    QString name;
    for (const QChar c : typed)
        if (!c.isNonCharacter() && c.category() != QChar::Other_Control && c.category() != QChar::Other_Format)
            name += c;
    name = name.simplified();
    // Never split a surrogate pair at the cut.
    int cut = 0;
    for (int count = 0; cut < name.size() && count < 20; ++count)
        cut += name.at(cut).isHighSurrogate() && cut + 1 < name.size() ? 2 : 1;
    return name.left(cut);
}

QByteArray newToken() {
    std::array<quint32, 8> bits{};
    QRandomGenerator::system()->fillRange(bits.data(), bits.size());
    return QByteArray(reinterpret_cast<const char*>(bits.data()), sizeof bits).toBase64(kTokenEncoding);
}

QByteArray tokenHash(const QByteArray& token) {
    return QCryptographicHash::hash(token, QCryptographicHash::Sha256).toHex();
}

bool isTokenShaped(const QByteArray& token) {
    return token.size() == 43 && std::all_of(token.begin(), token.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
           });
}

QJsonObject cardJson(const Card& card, const QString& nickname) {
    QJsonArray squares;
    for (const int n : card.squares)
        squares.append(n);
    return {{QStringLiteral("serial"), card.serial},
            {QStringLiteral("serialText"), serialText(card.serial)},
            {QStringLiteral("style"), card.style == CardStyle::Bingo ? QStringLiteral("bingo") : QStringLiteral("classic")},
            {QStringLiteral("squares"), squares},
            {QStringLiteral("nickname"), nickname}};
}

QByteArray gameMessage(const std::vector<int>& order, int cardsPerBrowser) {
    QJsonArray drawn;
    for (const int n : order)
        drawn.append(n);
    const QJsonObject message{{QStringLiteral("type"), QStringLiteral("game")},
                              {QStringLiteral("drawn"), drawn},
                              {QStringLiteral("cardsPerBrowser"), cardsPerBrowser}};
    return QJsonDocument(message).toJson(QJsonDocument::Compact);
}

QString pageAddress(const QHostAddress& address, quint16 port) {
    return QStringLiteral("http://%1:%2/").arg(hostText(address)).arg(port);
}

QList<QHostAddress> reachableAddresses() {
    QList<QHostAddress> likely, others, loopback;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        if (!interface.flags().testFlag(QNetworkInterface::IsUp))
            continue;
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            const QHostAddress ip = entry.ip();
            if (ip.isLoopback())
                loopback << ip;
            else if (ip.protocol() == QAbstractSocket::IPv4Protocol && isPrivateIPv4(ip))
                likely << ip;
            else if (!ip.isLinkLocal())
                others << ip;
        }
    }
    if (loopback.isEmpty())
        loopback << QHostAddress(QHostAddress::LocalHost);
    return likely + others + loopback;
}

} // namespace halvora
