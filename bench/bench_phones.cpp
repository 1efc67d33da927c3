// Guests' phones following the show on loopback. 500 phones, on a thread of their own, join
// (POST /api/join) and open the live socket; then 20 draws are booked through the roulette 300 ms
// apart while the show's thread, which also serves the phones, plays announcements at 1080p.
// Figures: the joins' and connections' time; each phone's delay from a booking to the first message
// holding its number, over every phone and draw; the slowest announcement frame after a draw (the
// events run before it counted, a pattern's start too), the median over the draws and the worst,
// with the phones and, before they come, without. The run ends by itself within two minutes: a passed
// deadline or a missing delivery is told on stderr and the program fails.
#include "announcement_screen.h"
#include "bench_app.h"
#include "bench_util.h"
#include "support/local_http.h"

#include "cards/card_register.h"
#include "draw/hit_patterns.h"
#include "game/game.h"
#include "phones/phone_server.h"
#include "platform/clock.h"
#include "platform/random.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QWebSocket>

#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <memory>

namespace {

using namespace halvora;
using Steady = std::chrono::steady_clock;
using Instant = Steady::time_point;

constexpr int kPhones = 500;
constexpr int kDrawSpacingMs = 300;
// How long the joins and the connections may each take, and the phones to catch up after the last
// booking before a delivery counts as missing.
constexpr int kStepMs = 30000;
constexpr auto kCatchUp = std::chrono::seconds(10);

double msBetween(Instant from, Instant to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

int stepMs(Instant deadline) {
    return std::clamp(static_cast<int>(msBetween(Steady::now(), deadline)), 0, kStepMs);
}

// What the phones saw: written on their thread, the instants read only once it has ended.
struct PhoneRecord {
    // Per phone and number, 0 standing for the greeting on connecting; zero: never.
    std::vector<std::array<Instant, 76>> firstSeen = std::vector<std::array<Instant, 76>>(kPhones);
    std::atomic<int> joined{0}, joinsRefused{0}, greeted{0}, numbersSeen{0}, dropped{0};
    std::atomic<double> joinMs{0}, greetMs{0};
};

// The guests' phones: raw HTTP for the join, a QWebSocket each for the live game.
class Phones final : public QObject {
public:
    Phones(quint16 port, PhoneRecord& record) : port_(port), record_(record) {}

    // All at once, each on a connection of its own, closed once answered.
    void join() {
        start_ = Steady::now();
        for (int i = 0; i < kPhones; ++i) {
            auto* socket = new QTcpSocket(this);
            auto reply = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, reply] {
                *reply += socket->readAll();
                const qsizetype head = reply->indexOf("\r\n\r\n");
                const qsizetype length = reply->toLower().indexOf("content-length: ");
                if (head > 0 && length > 0 &&
                    reply->size() >= head + 4 + reply->mid(length + 16, 8).split('\r')[0].toInt())
                    joinEnded(socket, reply->startsWith("HTTP/1.1 200") && reply->contains("\"token\""));
            });
            connect(socket, &QTcpSocket::errorOccurred, this, [this, socket] { joinEnded(socket, false); });
            const QByteArray body = R"({"nickname":"スマホ)" + QByteArray::number(i) + "\"}";
            socket->connectToHost(QHostAddress::LocalHost, port_);
            socket->write("POST /api/join HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port_) +
                          "\r\nContent-Type: application/json\r\nContent-Length: " +
                          QByteArray::number(body.size()) + "\r\n\r\n" + body);
        }
    }

    void openLive() {
        start_ = Steady::now();
        const QUrl url(QStringLiteral("ws://127.0.0.1:%1/api/live").arg(port_));
        for (int i = 0; i < kPhones; ++i) {
            auto* socket = new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, this);
            connect(socket, &QWebSocket::textMessageReceived, this,
                    [this, i](const QString& m) { received(i, m); });
            connect(socket, &QWebSocket::disconnected, this, [this] { ++record_.dropped; });
            socket->open(url);
        }
    }

private:
    void joinEnded(QTcpSocket* socket, bool joined) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
        record_.joinsRefused += joined ? 0 : 1;
        if (++record_.joined == kPhones)
            record_.joinMs = msBetween(start_, Steady::now());
    }

    void received(int phone, const QString& message) {
        const Instant now = Steady::now();
        auto& seen = record_.firstSeen[static_cast<std::size_t>(phone)];
        if (seen[0] == Instant{}) {
            seen[0] = now;
            if (++record_.greeted == kPhones)
                record_.greetMs = msBetween(start_, now);
        }
        const QJsonArray drawn =
            QJsonDocument::fromJson(message.toUtf8()).object().value(QLatin1String("drawn")).toArray();
        for (const QJsonValue& value : drawn) {
            const int n = value.toInt();
            if (n >= 1 && n <= 75 && seen[static_cast<std::size_t>(n)] == Instant{}) {
                seen[static_cast<std::size_t>(n)] = now;
                ++record_.numbersSeen;
            }
        }
    }

    quint16 port_;
    PhoneRecord& record_;
    Instant start_;
};

// One turn of one draw, as the operator's start and the roulette's stop book it.
std::pair<int, Instant> bookDraw(Game& game) {
    game.startTurn(3);
    game.startRoulette();
    for (int tick = 0; tick < 4; ++tick) {
        game.showCandidate();
        game.hideCandidate();
    }
    game.showCandidate();
    const Instant at = Steady::now();
    const int n = game.fixDraw();
    game.countDrawDone();
    game.endAnnouncement();
    return {n, at};
}

struct Draws {
    std::vector<std::pair<int, Instant>> booked;
    double frameMaxMs = 0;
    double frameWorstMs = 0;
};

// Announcements back to back while a timer books the draws, until the phones have caught up; the
// median over the draws of the slowest frame after each.
Draws announceDraws(Game& game, bench::AnnouncementScreen& screen, int count,
                    const std::function<bool()>& caughtUp, Instant deadline) {
    Draws draws;
    bench::TimingPump pump;
    pump.withEvents = true;
    int picks = 0; // a pattern picks its face, then its final colour: each goes round all eight
    const HitPatternTools tools{screen.box, pump,
                                [&picks](std::int16_t max) { return picks++ / 2 % max + 1; }};
    std::vector<double> slowest; // per draw, from its booking to the next
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &timer, [&] {
        if (static_cast<int>(draws.booked.size()) >= count)
            return;
        if (!draws.booked.empty())
            slowest.push_back(pump.frameMs);
        pump.frameMs = 0;
        draws.booked.push_back(bookDraw(game));
    });
    timer.start(kDrawSpacingMs);
    pump.begin();
    const auto going = [&] {
        const Instant now = Steady::now();
        if (now >= deadline)
            return false;
        if (static_cast<int>(draws.booked.size()) < count)
            return true;
        const Instant last = draws.booked.back().second;
        return now < last + std::chrono::milliseconds(kDrawSpacingMs) ||
               (!caughtUp() && now < last + kCatchUp);
    };
    for (std::int16_t pattern = 1; going(); pattern = static_cast<std::int16_t>(pattern % 12 + 1))
        playHitPattern(static_cast<std::int16_t>(game.drawOrder().empty() ? 1 : game.drawOrder().back()),
                       pattern, tools);
    slowest.push_back(pump.frameMs);
    draws.frameMaxMs = bench::median(slowest);
    draws.frameWorstMs = *std::max_element(slowest.begin(), slowest.end());
    return draws;
}

// Every phone's delay for every booked draw; false, told on stderr, when any is missing.
bool reportDeliveries(const PhoneRecord& record, const Draws& draws) {
    std::vector<double> delays;
    for (const auto& seen : record.firstSeen)
        for (const auto& [n, at] : draws.booked)
            if (const Instant got = seen[static_cast<std::size_t>(n)]; got != Instant{})
                delays.push_back(msBetween(at, got));
    std::sort(delays.begin(), delays.end());
    const auto rank = [&](double q) {
        return delays.empty()
                   ? 0.0
                   : delays[static_cast<std::size_t>(std::ceil(q * static_cast<double>(delays.size()))) - 1];
    };
    bench::report("phone_draw_p50_ms", rank(0.5), "ms");
    bench::report("phone_draw_p99_ms", rank(0.99), "ms");
    bench::report("phone_draw_max_ms", rank(1.0), "ms");
    bench::report("phone_deliveries", static_cast<double>(delays.size()), "deliveries");
    const std::size_t expected = record.firstSeen.size() * draws.booked.size();
    if (delays.size() == expected)
        return true;
    std::fprintf(stderr, "FAILED: %zu of %zu deliveries missing (%d phones disconnected)\n",
                 expected - delays.size(), expected, record.dropped.load());
    return false;
}

bool failed(const char* why) {
    std::fprintf(stderr, "FAILED: %s\n", why);
    return false;
}

// 500 phones hold a socket each on both sides of loopback.
void raiseOpenFileLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < 4096) {
        limit.rlim_cur = std::min<rlim_t>(4096, limit.rlim_max);
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

} // namespace

int main(int argc, char** argv) {
    raiseOpenFileLimit();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    bench::Application app(argc, argv);
    const int drawCount = bench::quickRun(argc, argv) ? 5 : 20;
    const Instant deadline = Steady::now() + std::chrono::seconds(120);

    QTemporaryDir dir;
    SystemClock clock;
    MersenneRandom random;
    Game game(clock, random);
    game.setHistoryFolder(dir.path());
    CardRegister cards(dir.filePath(QStringLiteral("Halvora.cards")));
    PhoneServer server(game, [&random] { return dealCard(CardStyle::Bingo, random); });
    server.setRegister(&cards);
    if (cards.open() != CardRegister::Opened::Ready ||
        !server.start(QHostAddress(QHostAddress::LocalHost), 0)) {
        failed("no card register or no server");
        return 1;
    }
    bench::AnnouncementScreen screen(QSize(1920, 1080));
    const auto noPhones = [] { return true; };
    announceDraws(game, screen, 2, noPhones, deadline); // warms the fonts and caches, untimed
    const Draws alone = announceDraws(game, screen, drawCount, noPhones, deadline);
    bench::report("announcement_frame_max_ms_no_phones", alone.frameMaxMs, "ms");
    bench::report("announcement_frame_worst_ms_no_phones", alone.frameWorstMs, "ms");

    PhoneRecord record;
    QThread thread;
    auto* phones = new Phones(server.port(), record);
    phones->moveToThread(&thread);
    QObject::connect(&thread, &QThread::finished, phones, &QObject::deleteLater);
    thread.start();
    bool ok = true;
    QMetaObject::invokeMethod(phones, [phones] { phones->join(); });
    if (test::waitUntil([&] { return record.joined == kPhones; }, stepMs(deadline)) &&
        record.joinsRefused == 0)
        bench::report("phones_join_500_ms", record.joinMs, "ms");
    else
        ok = failed("not every phone could join");
    QMetaObject::invokeMethod(phones, [phones] { phones->openLive(); });
    if (test::waitUntil([&] { return record.greeted == kPhones; }, stepMs(deadline)))
        bench::report("phones_connect_500_ms", record.greetMs, "ms");
    else
        ok = failed("not every phone's live socket was greeted");
    const int expectedSeen = kPhones * (static_cast<int>(game.drawOrder().size()) + drawCount);
    const Draws draws = announceDraws(
        game, screen, drawCount, [&] { return record.numbersSeen >= expectedSeen; }, deadline);
    bench::report("announcement_frame_max_ms_500_phones", draws.frameMaxMs, "ms");
    bench::report("announcement_frame_worst_ms_500_phones", draws.frameWorstMs, "ms");
    thread.quit();
    thread.wait();
    ok = reportDeliveries(record, draws) && ok;
    if (Steady::now() >= deadline)
        ok = failed("the run passed its two minutes");
    return ok ? 0 : 1;
}
