#pragma once

#include "cards/card.h"
#include "phones/connection_guard.h"

#include <QHash>
#include <QHttpServerResponder>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QHttpServerRequest;
class QTcpSocket;
class QWebSocket;

namespace halvora {

class CardRegister;
class Game;
class PhoneHttp;

// A claim the game confirmed: shown to the operator, never to the audience before it is accepted.
struct PhoneClaim {
    int serial = 0;
    QString nickname;
    QString verdict;
};

// The server guests' phones talk to on the venue's network: the page, a card per guest kept in the
// card register, the drawn numbers pushed live, and claims checked against the game. A phone can
// read its own card and claim; nothing it sends changes the game.
class PhoneServer final : public QObject {
    Q_OBJECT

public:
    using Deal = std::function<Card()>;
    PhoneServer(const Game& game, Deal deal, const PhoneLimits& limits = {}, QObject* parent = nullptr);
    ~PhoneServer() override;

    // Null: guests cannot get a card (joining answers why).
    void setRegister(CardRegister* cards) { register_ = cards; }
    void setCardsPerBrowser(int count);

    // Listens on `address`:`port`; false, with errorText(), when it cannot.
    bool start(const QHostAddress& address, quint16 port);
    // Closes every connection.
    void stop();
    bool isRunning() const { return http_ != nullptr; }
    QString errorText() const { return error_; }
    QHostAddress address() const { return address_; }
    quint16 port() const { return port_; }
    int connectionCount() const;
    int liveCount() const { return static_cast<int>(live_.size()); }

signals:
    void claimed(const PhoneClaim& claim);
    void cardIssued(const Card& card);

private:
    friend class PhoneHttp;
    struct Answer;
    struct Holder {
        Card card;
        QString nickname;
        std::chrono::steady_clock::time_point lastClaim{};
    };

    // A guest waiting for a card: answered when the cards asked for meanwhile are registered.
    struct Joining {
        QHttpServerResponder responder;
        QPointer<QTcpSocket> socket;
        QString nickname;
    };

    void answer(const QHttpServerRequest& request, QTcpSocket* socket);
    void write(QHttpServerResponder& responder, const Answer& answer) const;
    // The answer, or nothing when it comes later (a card to be registered).
    std::optional<Answer> route(const QHttpServerRequest& request, QHttpServerResponder& responder,
                                QTcpSocket* socket);
    std::optional<Answer> join(const QJsonObject& body, QHttpServerResponder& responder, QTcpSocket* socket);
    void issueCards();
    Answer showCard(const QByteArray& token);
    Answer claim(const QByteArray& token);
    Holder* holder(const QByteArray& token);
    void acceptLive();
    void scheduleBroadcast();
    void broadcast();
    void sendSome();
    void ping();

    const Game& game_;
    Deal deal_;
    PhoneLimits limits_;
    CardRegister* register_ = nullptr;
    int cardsPerBrowser_ = 1;
    std::unique_ptr<PhoneHttp> http_;
    GuardedTcpServer* tcp_ = nullptr;
    QHostAddress address_;
    quint16 port_ = 0;
    QStringList hosts_;
    QString error_;
    QHash<QByteArray, Holder> holders_;
    std::vector<Joining> joining_;
    struct Live {
        std::unique_ptr<QWebSocket> socket;
        bool answered = true;
    };
    std::vector<Live> live_;
    QTimer pingTimer_;
    bool broadcastQueued_ = false;
    // The game as it now stands, for the phones not yet told, a few per pass of the event loop.
    QString message_;
    std::vector<QPointer<QWebSocket>> unsent_;
    bool sendQueued_ = false;
};

} // namespace halvora

Q_DECLARE_METATYPE(halvora::PhoneClaim)
