#include "phones/phone_server.h"

#include "cards/card_register.h"
#include "game/game.h"
#include "phones/phone_api.h"

#include <QAbstractHttpServer>
#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonDocument>
#include <QTcpSocket>
#include <QWebSocket>

namespace halvora {

using Status = QHttpServerResponder::StatusCode;

namespace {

// Header names as the HTTP server keeps them: in lower case.
const QByteArray kTokenHeader = QByteArrayLiteral("x-halvora-token");

// The page and its assets, shipped inside the program; nothing else is served as a file.
struct Asset {
    const char* route;
    const char* resource;
    const char* type;
};
constexpr Asset kAssets[] = {{"/", ":/phone/index.html", "text/html; charset=utf-8"},
                             {"/app.js", ":/phone/app.js", "text/javascript; charset=utf-8"},
                             {"/app.css", ":/phone/app.css", "text/css; charset=utf-8"}};

QByteArray json(const QJsonObject& object) { return QJsonDocument(object).toJson(QJsonDocument::Compact); }

QJsonObject error(const QString& text) { return {{QStringLiteral("error"), text}}; }

const QString kNoCards = QStringLiteral("いまはカードを配れません。係の人に知らせてください。");

} // namespace

struct PhoneServer::Answer {
    Status status = Status::Ok;
    QByteArray body;
    QByteArray type = QByteArrayLiteral("application/json");

    Answer(Status s, const QJsonObject& object) : status(s), body(json(object)) {}
    Answer(Status s, QByteArray b, QByteArray t) : status(s), body(std::move(b)), type(std::move(t)) {}
};

// The HTTP side of the server: every request goes to PhoneServer::answer.
class PhoneHttp final : public QAbstractHttpServer {
public:
    explicit PhoneHttp(PhoneServer& owner) : owner_(owner) {}
    using QAbstractHttpServer::makeResponder;

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override {
        owner_.answer(request, socket);
        return true;
    }
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override {
        owner_.answer(request, socket);
    }

private:
    PhoneServer& owner_;
};

PhoneServer::PhoneServer(const Game& game, Deal deal, const PhoneLimits& limits, QObject* parent)
    : QObject(parent), game_(game), deal_(std::move(deal)), limits_(limits) {
    connect(&game, &Game::numberChanged, this, &PhoneServer::scheduleBroadcast);
    connect(&game, &Game::restored, this, &PhoneServer::scheduleBroadcast);
    connect(&pingTimer_, &QTimer::timeout, this, &PhoneServer::ping);
}

PhoneServer::~PhoneServer() { stop(); }

void PhoneServer::setCardsPerBrowser(int count) {
    cardsPerBrowser_ = std::max(1, count);
    scheduleBroadcast();
}

int PhoneServer::connectionCount() const { return tcp_ ? tcp_->openConnections() : 0; }

bool PhoneServer::start(const QHostAddress& address, quint16 port) {
    stop();
    auto tcp = std::make_unique<GuardedTcpServer>(limits_);
    if (!tcp->listen(address, port)) {
        error_ = tcp->errorString();
        return false;
    }
    http_ = std::make_unique<PhoneHttp>(*this);
    tcp_ = tcp.release();
    http_->bind(tcp_);
    connect(http_.get(), &QAbstractHttpServer::newWebSocketConnection, this, &PhoneServer::acceptLive);
    address_ = address;
    port_ = tcp_->serverPort();
    hosts_ = allowedHosts(address_, port_);
    error_.clear();
    pingTimer_.start(limits_.pingIntervalMs);
    return true;
}

void PhoneServer::stop() {
    pingTimer_.stop();
    // Aborting emits disconnected at once, whose handler would erase from the list being walked.
    const std::vector<Live> closing = std::move(live_);
    live_.clear();
    for (const Live& live : closing)
        live.socket->abort();
    unsent_.clear();
    joining_.clear();
    if (tcp_) {
        tcp_->close();
        tcp_->closeAll();
    }
    tcp_ = nullptr;
    http_.reset();
}

void PhoneServer::answer(const QHttpServerRequest& request, QTcpSocket* socket) {
    // The live socket's handshake is the WebSocket server's to answer, once this returns.
    if (request.value(QByteArrayLiteral("upgrade")).compare("websocket", Qt::CaseInsensitive) == 0 &&
        request.url().path() == QStringLiteral("/api/live"))
        return;
    QHttpServerResponder responder = PhoneHttp::makeResponder(request, socket);
    if (const std::optional<Answer> now = route(request, responder, socket))
        write(responder, *now);
}

void PhoneServer::write(QHttpServerResponder& responder, const Answer& answer) const {
    responder.writeStatusLine(answer.status);
    responder.writeHeader(QByteArrayLiteral("Content-Type"), answer.type);
    responder.writeHeader(QByteArrayLiteral("Content-Length"), QByteArray::number(answer.body.size()));
    responder.writeHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store"));
    responder.writeHeader(QByteArrayLiteral("X-Content-Type-Options"), QByteArrayLiteral("nosniff"));
    responder.writeHeader(QByteArrayLiteral("X-Frame-Options"), QByteArrayLiteral("DENY"));
    responder.writeHeader(QByteArrayLiteral("Referrer-Policy"), QByteArrayLiteral("no-referrer"));
    // Older phone browsers do not count the live socket's ws: address as 'self'.
    responder.writeHeader(QByteArrayLiteral("Content-Security-Policy"),
                          "default-src 'self'; connect-src 'self' ws://" + hosts_.constFirst().toLatin1() +
                              "; frame-ancestors 'none'");
    responder.writeBody(answer.body);
}

std::optional<PhoneServer::Answer> PhoneServer::route(const QHttpServerRequest& request,
                                                      QHttpServerResponder& responder, QTcpSocket* socket) {
    const QByteArray host = request.value(QByteArrayLiteral("host"));
    if (!isAllowedHost(host, hosts_) || !isAllowedOrigin(request.value(QByteArrayLiteral("origin")), host) ||
        request.value(QByteArrayLiteral("sec-fetch-site")) == QByteArrayLiteral("cross-site"))
        return Answer{Status::Forbidden, error(QStringLiteral("このアドレスからは使えません。"))};
    const QString path = request.url().path();
    const bool get = request.method() == QHttpServerRequest::Method::Get;
    for (const Asset& asset : kAssets)
        if (path == QLatin1String(asset.route)) {
            if (!get)
                return Answer{Status::MethodNotAllowed, error(QStringLiteral("使えない操作です。"))};
            QFile file(QString::fromLatin1(asset.resource));
            file.open(QIODevice::ReadOnly);
            return Answer{Status::Ok, file.readAll(), asset.type};
        }
    if (path != QStringLiteral("/api/join") && path != QStringLiteral("/api/card") && path != QStringLiteral("/api/claim"))
        return Answer{Status::NotFound, error(QStringLiteral("見つかりません。"))};
    if (request.method() != QHttpServerRequest::Method::Post)
        return Answer{Status::MethodNotAllowed, error(QStringLiteral("使えない操作です。"))};
    if (request.body().size() > limits_.maxBodyBytes)
        return Answer{Status::PayloadTooLarge, error(QStringLiteral("送られた内容が大きすぎます。"))};
    // A page of another site cannot send this type without asking first, and nothing answers that.
    if (!request.value(QByteArrayLiteral("content-type")).startsWith("application/json"))
        return Answer{Status::UnsupportedMediaType, error(QStringLiteral("使えない形式です。"))};
    const std::optional<QJsonObject> body = parseJsonObject(request.body());
    if (!body)
        return Answer{Status::BadRequest, error(QStringLiteral("送られた内容が読めません。"))};
    const QByteArray token = request.value(kTokenHeader);
    if (path == QStringLiteral("/api/join"))
        return join(*body, responder, socket);
    return path == QStringLiteral("/api/card") ? showCard(token) : claim(token);
}

std::optional<PhoneServer::Answer> PhoneServer::join(const QJsonObject& body, QHttpServerResponder& responder,
                                                     QTcpSocket* socket) {
    const QJsonValue typed = body.value(QStringLiteral("nickname"));
    if (!typed.isUndefined() && !typed.isString())
        return Answer{Status::BadRequest, error(QStringLiteral("送られた内容が読めません。"))};
    if (!register_)
        return Answer{Status::ServiceUnavailable, error(kNoCards)};
    joining_.push_back({std::move(responder), socket, cleanNickname(typed.toString())});
    if (joining_.size() == 1)
        QMetaObject::invokeMethod(this, &PhoneServer::issueCards, Qt::QueuedConnection);
    return std::nullopt;
}

// The guests who asked meanwhile get their cards in one transaction: a hall joining at once costs
// the disk a few writes, not one per guest, and the show's frames do not wait on each.
void PhoneServer::issueCards() {
    std::vector<Joining> joining = std::move(joining_);
    joining_.clear();
    std::vector<Card> cards;
    std::vector<PhoneHolder> holders;
    std::vector<QByteArray> tokens;
    for (const Joining& guest : joining) {
        cards.push_back(deal_());
        tokens.push_back(newToken());
        holders.push_back({tokenHash(tokens.back()), guest.nickname});
    }
    const bool issued = register_ && register_->registerPhoneCards(cards, holders);
    for (std::size_t i = 0; i < joining.size(); ++i) {
        if (issued) {
            holders_.insert(holders[i].tokenHash, {cards[i], holders[i].nickname, {}});
            emit cardIssued(cards[i]);
        }
        if (joining[i].socket) // a guest who left meanwhile still has the card; nothing is written
            write(joining[i].responder,
                  issued ? Answer{Status::Ok, QJsonObject{{QStringLiteral("token"), QString::fromLatin1(tokens[i])},
                                                          {QStringLiteral("card"), cardJson(cards[i], holders[i].nickname)}}}
                         : Answer{Status::ServiceUnavailable, error(kNoCards)});
    }
}

PhoneServer::Holder* PhoneServer::holder(const QByteArray& token) {
    if (!isTokenShaped(token))
        return nullptr;
    const QByteArray hash = tokenHash(token);
    if (auto found = holders_.find(hash); found != holders_.end())
        return &found.value();
    Holder holder;
    if (!register_ || !register_->findPhoneCard(hash, holder.card, holder.nickname))
        return nullptr;
    return &holders_.insert(hash, holder).value();
}

PhoneServer::Answer PhoneServer::showCard(const QByteArray& token) {
    const Holder* found = holder(token);
    if (!found)
        return {Status::Forbidden, error(QStringLiteral("このカードは見つかりません。"))};
    return {Status::Ok, QJsonObject{{QStringLiteral("card"), cardJson(found->card, found->nickname)}}};
}

PhoneServer::Answer PhoneServer::claim(const QByteArray& token) {
    Holder* found = holder(token);
    if (!found)
        return {Status::Forbidden, error(QStringLiteral("このカードは見つかりません。"))};
    const auto now = std::chrono::steady_clock::now();
    if (now - found->lastClaim < std::chrono::milliseconds(limits_.claimIntervalMs))
        return {Status::TooManyRequests, error(QStringLiteral("少し待ってからもう一度押してください。"))};
    found->lastClaim = now;
    const CardVerdict verdict =
        checkCard(found->card, [this](int n) { return game_.isDrawn(n); }, game_.drawOrder());
    const bool bingo = !verdict.completeLines.empty();
    if (bingo)
        emit claimed({found->card.serial, found->nickname, verdictText(verdict)});
    return {Status::Ok, QJsonObject{{QStringLiteral("bingo"), bingo}, {QStringLiteral("text"), verdictText(verdict)}}};
}

void PhoneServer::acceptLive() {
    while (http_ && http_->hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> socket = http_->nextPendingWebSocketConnection();
        const QByteArray host = socket->request().rawHeader(QByteArrayLiteral("Host"));
        if (socket->requestUrl().path() != QStringLiteral("/api/live") || !isAllowedHost(host, hosts_) ||
            !isAllowedOrigin(socket->origin().toLatin1(), host)) {
            socket->close(QWebSocketProtocol::CloseCodePolicyViolated);
            socket.release()->deleteLater();
            continue;
        }
        tcp_->release(socket->peerAddress(), socket->peerPort());
        QWebSocket* raw = socket.get();
        socket->setMaxAllowedIncomingMessageSize(static_cast<quint64>(limits_.maxBodyBytes));
        connect(raw, &QWebSocket::pong, this, [this, raw] {
            for (Live& live : live_)
                if (live.socket.get() == raw)
                    live.answered = true;
        });
        connect(raw, &QWebSocket::disconnected, this, [this, raw] {
            const auto gone = std::find_if(live_.begin(), live_.end(), [raw](const Live& l) { return l.socket.get() == raw; });
            if (gone == live_.end())
                return;
            gone->socket.release()->deleteLater();
            live_.erase(gone);
        });
        raw->sendTextMessage(QString::fromUtf8(gameMessage(game_.drawOrder(), cardsPerBrowser_)));
        live_.push_back({std::move(socket), true});
    }
}

// Several changes in one go (a turn's booking, a kept game taken up) reach the phones as one message.
void PhoneServer::scheduleBroadcast() {
    if (broadcastQueued_)
        return;
    broadcastQueued_ = true;
    QMetaObject::invokeMethod(this, &PhoneServer::broadcast, Qt::QueuedConnection);
}

void PhoneServer::broadcast() {
    broadcastQueued_ = false;
    message_ = QString::fromUtf8(gameMessage(game_.drawOrder(), cardsPerBrowser_));
    unsent_.clear();
    for (const Live& live : live_)
        unsent_.emplace_back(live.socket.get());
    sendSome();
}

// Telling hundreds of phones at once would hold up the show's frames: the writes are spread over
// several passes of the event loop, a few dozen phones each.
void PhoneServer::sendSome() {
    if (unsent_.empty())
        return;
    constexpr std::size_t kPhonesPerPass = 50;
    const std::size_t from = unsent_.size() - std::min(unsent_.size(), kPhonesPerPass);
    for (std::size_t i = from; i < unsent_.size(); ++i)
        if (unsent_[i] && unsent_[i]->state() == QAbstractSocket::ConnectedState)
            unsent_[i]->sendTextMessage(message_);
    unsent_.resize(from);
    if (!unsent_.empty() && !sendQueued_) {
        sendQueued_ = true;
        QMetaObject::invokeMethod(this, [this] {
            sendQueued_ = false;
            sendSome();
        }, Qt::QueuedConnection);
    }
}

// A phone that did not answer the last ping is gone (switched off, out of the venue's network).
void PhoneServer::ping() {
    std::vector<QWebSocket*> silent;
    for (Live& live : live_) {
        if (!live.answered)
            silent.push_back(live.socket.get());
        live.answered = false;
        live.socket->ping();
    }
    for (QWebSocket* socket : silent)
        socket->abort();
}

} // namespace halvora
