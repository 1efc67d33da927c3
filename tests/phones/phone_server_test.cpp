#include "phones/phone_server.h"

#include "cards/card_register.h"
#include "game/game.h"
#include "phones/phone_api.h"
#include "support/headless_browser.h"
#include "support/local_http.h"
#include "support/scripted_random.h"
#include "support/test_files.h"
#include "support/virtual_time.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>

#include <gtest/gtest.h>

namespace halvora {
namespace {

using namespace Qt::StringLiterals;

using test::waitUntil;

// The numbers drawn, as a live message tells a phone.
QVariantList drawnIn(const QString& message) {
    return QJsonDocument::fromJson(message.toUtf8()).object()["drawn"_L1].toArray().toVariantList();
}

struct PhoneServerTest : ::testing::Test {
    test::ProgramFolder folder;
    test::VirtualTime time;
    test::ScriptedRandom random;
    Game game{time, random};
    CardRegister cards{folder.path() + u"Halvora.cards"_s};
    PhoneLimits limits;
    std::unique_ptr<PhoneServer> server;
    int nextCard = 0;

    void SetUp() override {
        game.setHistoryFolder(folder.path());
        ASSERT_EQ(cards.open(), CardRegister::Opened::Ready);
    }
    // Cards whose first row is 1..5, then 6..10 and so on, shifted by one per card.
    void startServer() {
        server = std::make_unique<PhoneServer>(game, [this] {
            Card card;
            for (int i = 0; i < 25; ++i)
                card.squares[static_cast<std::size_t>(i)] = i == 12 ? 0 : (i + nextCard) % 75 + 1;
            ++nextCard;
            return card;
        }, limits);
        server->setRegister(&cards);
        ASSERT_TRUE(server->start(QHostAddress(QHostAddress::LocalHost), 0)) << server->errorText().toStdString();
    }
    QUrl live() const { return QUrl(u"ws://127.0.0.1:%1/api/live"_s.arg(server->port())); }
    QByteArray request(const QByteArray& method, const QByteArray& path, const QByteArray& body = "{}",
                       const QByteArray& extra = {}) const {
        return test::phoneRequest(server->port(), method, path, body, extra);
    }
    test::HttpReply exchange(const QByteArray& bytes) const { return test::exchange(server->port(), bytes); }
    test::HttpReply post(const QByteArray& path, const QByteArray& token, const QByteArray& body = "{}") const {
        return test::phonePost(server->port(), path, token, body);
    }
};

TEST_F(PhoneServerTest, GuestJoinsFollowsTheGameLiveAndClaims) {
    startServer();
    const test::HttpReply joined = post("/api/join", {}, R"({"nickname":"  <b>花子</b>\u0007 "})");
    ASSERT_EQ(joined.status, 200);
    const QByteArray token = joined.json["token"_L1].toString().toLatin1();
    const QJsonObject card = joined.json["card"_L1].toObject();
    EXPECT_EQ(token.size(), 43);
    EXPECT_EQ(card["serialText"_L1].toString(), u"No. 0001"_s);
    EXPECT_EQ(card["nickname"_L1].toString(), u"<b>花子</b>"_s); // the page shows it as text

    // The card is the guest's alone: its token reads it, nothing else does, and the disk keeps no token.
    EXPECT_EQ(post("/api/card", token).json["card"_L1].toObject(), card);
    EXPECT_EQ(post("/api/card", {}).status, 403);
    EXPECT_EQ(post("/api/card", newToken()).status, 403);
    for (const QString& stored : QDir(folder.path()).entryList(QDir::Files))
        EXPECT_FALSE(test::readBytes(folder.path() + stored).contains(token)) << stored.toStdString();

    // A phone that connects is told the game, then every change, a hand correction included.
    QWebSocket phone;
    QList<QVariantList> told; // the drawn numbers of each message
    QObject::connect(&phone, &QWebSocket::textMessageReceived, &phone, [&](const QString& m) { told << drawnIn(m); });
    phone.open(live());
    ASSERT_TRUE(waitUntil([&] { return told.size() == 1; }));
    for (int n : {3, 1, 2})
        game.markByHand(n);
    ASSERT_TRUE(waitUntil([&] { return told.size() == 2; })) << "three marks come as one message";
    game.clearByHand(1);
    ASSERT_TRUE(waitUntil([&] { return told.size() == 3; }));
    EXPECT_EQ(told, QList<QVariantList>({{}, {3, 1, 2}, {3, 2}}));
    game.markByHand(4);
    game.markByHand(5);

    // A false claim is answered on the phone; pressing again at once is refused.
    const test::HttpReply answer = post("/api/claim", token);
    EXPECT_EQ(answer.json,
              QJsonObject({{"bingo"_L1, false}, {"text"_L1, u"まだビンゴではありません（リーチ 1）"_s}}));
    EXPECT_EQ(post("/api/claim", token).status, 429);
}

// Guests joining at the same moment get cards of their own (registered together); one who leaves
// before the answer costs nothing but the card.
TEST_F(PhoneServerTest, GuestsJoiningAtOnceGetCardsOfTheirOwn) {
    startServer();
    QTcpSocket guests[6];
    for (QTcpSocket& guest : guests) {
        guest.connectToHost(QHostAddress::LocalHost, server->port());
        guest.write(request("POST", "/api/join", R"({"nickname":"g"})"));
    }
    ASSERT_TRUE(waitUntil([&] { return guests[0].bytesToWrite() == 0; }));
    guests[0].abort();
    QSet<QByteArray> serials;
    ASSERT_TRUE(waitUntil([&] {
        for (QTcpSocket& guest : guests)
            if (const QByteArray reply = guest.peek(4096); reply.contains("serialText"))
                serials.insert(reply.mid(reply.indexOf("No. "), 8));
        return serials.size() == 5;
    })) << serials.size();
    EXPECT_GE(cards.issuedCards().size(), 5U);
}

TEST_F(PhoneServerTest, RefusesWhatIsNotThePageOrItsApiAndChangesNothing) {
    startServer();
    QSignalSpy issued(server.get(), &PhoneServer::cardIssued);
    const QByteArray evil = "Host: evil.example:80\r\n";
    const std::pair<QByteArray, int> cases[] = { // a request, and the status it gets
        {"POST /api/join HTTP/1.1\r\n" + evil + "Content-Type: application/json\r\nContent-Length: 2\r\n\r\n{}", 403},
        {request("POST", "/api/join", "{}", "Origin: http://evil.example\r\n"), 403},
        {request("POST", "/api/join", "{}", "Sec-Fetch-Site: cross-site\r\n"), 403},
        {request("GET", "/../../etc/passwd"), 404},
        {request("GET", "/Halvora.cards"), 404},
        {request("PUT", "/"), 405},
        {request("GET", "/api/join"), 405},
        {request("DELETE", "/api/card"), 405},
        {request("POST", "/api/join", "nickname=x", "").replace("application/json", "text/plain"), 415},
        {request("POST", "/api/join", "{\"nickname\":"), 400},
        {request("POST", "/api/join", "[1,2]"), 400},
        {request("POST", "/api/join", "{\"nickname\":7}"), 400},
        {request("POST", "/api/join", "{\"nickname\":\"" + QByteArray(5000, 'a') + "\"}"), 413},
        {request("POST", "/api/join", "{\"nickname\":\"" + QByteArray(20000, 'a') + "\"}"), 413},
    };
    for (const auto& [bytes, status] : cases)
        EXPECT_EQ(exchange(bytes).status, status) << bytes.left(80).toStdString();
    EXPECT_EQ(issued.count(), 0);
    EXPECT_EQ(exchange(request("GET", "/")).status, 200);

    // A live socket from another site's page is closed.
    QWebSocket foreign;
    QNetworkRequest fromElsewhere(live());
    fromElsewhere.setRawHeader("Origin", "http://evil.example");
    foreign.open(fromElsewhere);
    EXPECT_TRUE(waitUntil([&] { return foreign.closeCode() == QWebSocketProtocol::CloseCodePolicyViolated; }));
    EXPECT_EQ(server->liveCount(), 0);
}

TEST_F(PhoneServerTest, ConnectionsAreCappedAndTimedOut) {
    limits.maxConnections = 3;
    limits.requestTimeoutMs = 300;
    limits.idleTimeoutMs = 300;
    startServer();
    // A client that trickles its request is dropped; so is one that never sends anything.
    QTcpSocket slow, silent, third, fourth;
    for (QTcpSocket* s : {&slow, &silent, &third, &fourth})
        s->connectToHost(QHostAddress::LocalHost, server->port());
    slow.write("GET / HTTP/1.1\r\nHo");
    ASSERT_TRUE(waitUntil([&] { return fourth.state() == QAbstractSocket::UnconnectedState; })) << "over the cap";
    EXPECT_TRUE(waitUntil([&] {
        return slow.state() == QAbstractSocket::UnconnectedState && silent.state() == QAbstractSocket::UnconnectedState;
    }));
    EXPECT_EQ(exchange(request("GET", "/")).status, 200) << "room again";
}

TEST_F(PhoneServerTest, EveryPhoneOfAFullHallFollowsTheGameAndAllConnectionsCloseOnStop) {
    startServer();
    // More phones than are told in one pass of the event loop.
    QWebSocket phones[120];
    std::vector<QVariantList> last(120);
    for (std::size_t i = 0; i < last.size(); ++i) {
        QObject::connect(&phones[i], &QWebSocket::textMessageReceived, &phones[i],
                         [&last, i](const QString& m) { last[i] = drawnIn(m); });
        phones[i].open(live());
    }
    QTcpSocket idle;
    idle.connectToHost(QHostAddress::LocalHost, server->port());
    ASSERT_TRUE(waitUntil(
        [&] { return server->liveCount() == 120 && idle.state() == QAbstractSocket::ConnectedState; }));
    game.markByHand(1);
    QCoreApplication::processEvents(); // the game changes again while the news is on its way
    game.markByHand(2);
    EXPECT_TRUE(waitUntil([&] {
        return std::ranges::all_of(last, [](auto& l) { return l == QVariantList{1, 2}; });
    }));
    server->stop();
    const auto closed = [](const auto& s) { return s.state() == QAbstractSocket::UnconnectedState; };
    EXPECT_TRUE(waitUntil([&] { return closed(idle) && std::ranges::all_of(phones, closed); }));
}

// A real phone browser: joins from the page, sees its card, a drawn number marked live, a claim on a
// losing card refused and on the winning card accepted; the card survives a reload.
TEST_F(PhoneServerTest, RealBrowserJoinsSeesDrawsAndClaims) {
    if (test::HeadlessBrowser::executable().isEmpty())
        GTEST_SKIP() << "chromium is not installed (scripts/setup installs it)";
    limits.claimIntervalMs = 0;
    startServer();
    QSignalSpy claimed(server.get(), &PhoneServer::claimed);
    test::HeadlessBrowser phone;
    const QUrl page(u"http://127.0.0.1:%1/"_s.arg(server->port()));
    ASSERT_TRUE(phone.start() && phone.open(page)) << phone.lastError().toStdString();
    ASSERT_TRUE(phone.waitFor(u"document.querySelector('#join')?.offsetParent !== null"_s, 10000));
    phone.evaluate(u"document.querySelector('#nickname').focus()"_s);
    ASSERT_TRUE(phone.insertText(u"はなこ"_s));
    phone.evaluate(u"document.querySelector('#join').click()"_s);
    ASSERT_TRUE(phone.waitFor(u"!!document.querySelector('.card .serial')"_s, 10000)) << phone.lastError().toStdString();
    EXPECT_EQ(phone.evaluate(u"document.querySelector('.card .serial').textContent"_s).toString(), u"No. 0001"_s);
    EXPECT_EQ(phone.evaluate(u"document.querySelector('.card .nickname').textContent"_s).toString(), u"はなこ"_s);

    game.markByHand(2);
    EXPECT_TRUE(phone.waitFor(u"document.querySelector('.cell[data-number=\"2\"]').classList.contains('marked')"_s, 5000));
    const QString result = u"document.querySelector('.claim-result').textContent"_s;
    phone.evaluate(u"document.querySelector('.claim').click()"_s);
    ASSERT_TRUE(phone.waitFor(result + u".includes('まだビンゴではありません')"_s, 5000));
    EXPECT_EQ(claimed.count(), 0);

    for (int n : {1, 3, 4, 5})
        game.markByHand(n);
    ASSERT_TRUE(phone.waitFor(u"document.querySelector('.card .status').textContent.includes('ビンゴ')"_s, 5000));
    phone.evaluate(u"document.querySelector('.claim').disabled = false; document.querySelector('.claim').click()"_s);
    ASSERT_TRUE(phone.waitFor(result + u".includes('ビンゴ！（横1行目）')"_s, 5000));
    EXPECT_EQ(claimed.count(), 1);

    ASSERT_TRUE(phone.open(page));
    EXPECT_TRUE(phone.waitFor(u"document.querySelector('.card .serial')?.textContent === 'No. 0001'"_s, 10000));
    EXPECT_EQ(phone.evaluate(u"document.querySelectorAll('.card').length"_s).toInt(), 1);
}

// Slow and broken clients are dropped while storms of reconnecting phones come and go: a phone that
// stays connected follows every draw, and the page is still served after.
TEST_F(PhoneServerTest, HostileClientsAreDroppedWhileTheShowGoesOn) {
    limits.requestTimeoutMs = 400;
    limits.idleTimeoutMs = 400;
    startServer();
    QWebSocket steady;
    QString last;
    QObject::connect(&steady, &QWebSocket::textMessageReceived, &steady, [&](const QString& m) { last = m; });
    steady.open(live());
    ASSERT_TRUE(waitUntil([&] { return !last.isEmpty(); }));

    // The show draws a number every 100 ms meanwhile.
    int draws = 0;
    QTimer show;
    QObject::connect(&show, &QTimer::timeout, &show, [&] {
        if (draws < 20)
            game.markByHand(++draws);
    });
    show.start(100);

    // Each kind five times, each fed one more byte every 50 ms.
    const QByteArray starts[] = {
        "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-A: ", QByteArray("\x00\xff\x13garbage", 10),
        "GET / HTTP/9.9\r\n\r\n", "GET /" + QByteArray(20000, 'a') + " HTTP/1.1\r\n"};
    QTcpSocket slow[20];
    for (std::size_t k = 0; k < 20; ++k) {
        slow[k].connectToHost(QHostAddress::LocalHost, server->port());
        slow[k].write(starts[k % 4]);
    }
    const auto connected = [](const auto& s) { return s.state() == QAbstractSocket::ConnectedState; };
    QTimer trickle;
    QObject::connect(&trickle, &QTimer::timeout, &trickle, [&] {
        for (QTcpSocket& s : slow)
            if (connected(s))
                s.write("a");
    });
    trickle.start(50);
    for (int storm = 0; storm < 100; ++storm) {
        QWebSocket phones[5];
        for (QWebSocket& phone : phones)
            phone.open(live());
        waitUntil([&] { return connected(phones[4]); }, 200);
    }
    EXPECT_TRUE(waitUntil([&] { return std::ranges::none_of(slow, connected); }))
        << "slow and broken clients are dropped";
    EXPECT_TRUE(waitUntil([&] { return drawnIn(last).size() == 20; }, 10000)) << last.toStdString();
    EXPECT_EQ(exchange(request("GET", "/")).status, 200);
    EXPECT_TRUE(waitUntil([&] { return server->connectionCount() <= 2; })) << server->connectionCount();
}

} // namespace
} // namespace halvora
