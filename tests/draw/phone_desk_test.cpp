#include "main_window_fixture.h"

#include "draw/phone_desk.h"
#include "support/local_http.h"

#include <QDialog>
#include <QJsonArray>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace halvora {
namespace {

using namespace Qt::StringLiterals;

using PhoneDeskTest = test::MainWindowTest;

// The operator opens the show to phones: the board shows a QR code a phone's camera reads as the
// page's address; a guest joins and is counted with the printed cards; a false claim stays on the
// phone, a true one reaches the operator's list with its serial and nickname and, when shown, the
// audience's board; turning it off stops the server.
TEST_F(PhoneDeskTest, GuestsJoinByTheQrCodeAndTheirClaimsReachTheOperator) {
    random.setCounting();
    ASSERT_TRUE(startWindow());
    time.doEvents();
    form->show().folders.phoneAddress = u"127.0.0.1"_s;
    form->show().folders.phonePort = 0; // any free port
    trigger(u"Menuスマホ受付");
    PhoneServer* server = form->findChild<PhoneDesk*>()->server();
    ASSERT_NE(server, nullptr);
    const quint16 port = server->port();

    auto* join = control<QWidget>(u"LblスマホQR");
    ASSERT_TRUE(join->isVisible());
    if (const QString zbar = QStandardPaths::findExecutable(u"zbarimg"_s); !zbar.isEmpty()) {
        QTemporaryDir dir;
        ASSERT_TRUE(join->grab().save(dir.filePath(u"qr.png"_s)));
        QProcess read;
        read.start(zbar, {u"-q"_s, u"--raw"_s, dir.filePath(u"qr.png"_s)});
        ASSERT_TRUE(read.waitForFinished(10000));
        EXPECT_EQ(QString::fromUtf8(read.readAllStandardOutput()).trimmed(),
                  u"http://127.0.0.1:%1/"_s.arg(port));
    }

    const test::HttpReply joined = test::phonePost(port, "/api/join", {}, R"({"nickname":"<i>花子</i>"})");
    ASSERT_EQ(joined.status, 200);
    const QByteArray token = joined.json["token"_L1].toString().toLatin1();
    const test::HttpReply second = test::phonePost(port, "/api/join", {}, R"({"nickname":""})");
    ASSERT_EQ(second.status, 200);
    const QByteArray other = second.json["token"_L1].toString().toLatin1();
    EXPECT_EQ(control<QLabel>(u"Lbl発行カード")->text(), u"発行カード 2枚　リーチ 0枚　ビンゴ 0枚"_s);

    const QJsonArray squares = joined.json["card"_L1].toObject()["squares"_L1].toArray();
    for (int column = 0; column < 5; ++column)
        form->game().markByHand(squares[column].toInt());
    EXPECT_FALSE(test::phonePost(port, "/api/claim", other).json["bingo"_L1].toBool());
    EXPECT_EQ(form->findChild<QDialog*>(u"ビンゴ申告"_s), nullptr) << "a false claim is the phone's alone";
    EXPECT_TRUE(test::phonePost(port, "/api/claim", token).json["bingo"_L1].toBool());
    auto* claims = form->findChild<QListWidget*>(u"Lstビンゴ申告"_s);
    ASSERT_NE(claims, nullptr);
    ASSERT_EQ(claims->count(), 1);
    EXPECT_TRUE(claims->item(0)->text().contains(u"No. 0001　<i>花子</i>　ビンゴ！（横1行目）"_s))
        << claims->item(0)->text().toStdString();

    form->findChild<QPushButton*>(u"Cmd観客に表示"_s)->click();
    auto* banner = control<QLabel>(u"Lblビンゴ申告");
    EXPECT_EQ(std::tuple(banner->isVisible(), banner->text(), banner->textFormat()),
              std::tuple(true, u"ビンゴ！ <i>花子</i>さん"_s, Qt::PlainText));
    form->game().markByHand(70);
    EXPECT_FALSE(banner->isVisible()) << "the show goes on";

    trigger(u"Menuスマホ受付"); // the server goes, and with it every connection
    EXPECT_FALSE(join->isVisible() || form->findChild<PhoneDesk*>()->server());
}

} // namespace
} // namespace halvora
