#include "real_turn.h"

#include "support/test_files.h"

#include "dialogs/timed_question.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace halvora {
namespace {

// The real program started in a fresh folder with our sample show.
class RealTurnTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder.addSampleMedia();
        ASSERT_TRUE(form.load());
    }

    test::ProgramFolder folder;
    test::ProgramFolder userData;
    test::RealTurn turn{folder.path(), userData.path()};
    MainForm& form = turn.form();
};

TEST_F(RealTurnTest, FiveSecondTurnPlaysTheSampleTuneLogsAndLightsTheNumber) {
    form.controls().selectDrawTimeIndex(2);
    form.controls().selectHitCountIndex(3);
    int positions = 0;
    const QString tune = folder.file(QStringLiteral("Sample/spm1.mp3"));
    QObject::connect(&turn.media(), &MediaPlayer::positionChanged, &form,
                     [&](const QString& path) { positions += path == tune ? 1 : 0; });

    ASSERT_TRUE(turn.run(60000)) << "the turn did not end";
    EXPECT_EQ(form.game().drawCount(), 1);
    int n = 0;
    for (int k = 1; k <= 75; ++k)
        n = form.game().isDrawn(k) ? k : n;
    ASSERT_NE(n, 0);
    EXPECT_GT(positions, 0) << "the tune never played";
    EXPECT_EQ(turn.media().openFiles(), 0);
    const QByteArray log = test::readBytes(form.game().historyLogPath());
    EXPECT_TRUE(log.endsWith(QStringLiteral("\r\n  1 : %1\r\n").arg(n, 3).toLatin1())) << log.constData();
    EXPECT_EQ(form.findChild<QLineEdit*>(QStringLiteral("Text1_%1").arg(n))->palette().color(QPalette::Base),
              QColor(255, 128, 128));
}

// With play time 0 the check waits for the tune to end, showing its position as it plays.
TEST_F(RealTurnTest, MusicCheckOfTheSampleTunePlaysToItsEnd) {
    AvList& av = form.show().av;
    av.files[1] = folder.file(QStringLiteral("Sample/spm1.mp3"));
    av.starts[1] = 0;
    av.playSeconds[1] = 0;
    av.count = 1;
    QStringList shown;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &form, [&] {
        if (auto* box = form.findChild<TimedQuestion*>()) {
            const QString text = box->findChild<QLineEdit*>(QStringLiteral("Txt演奏時間"))->text();
            if (!text.isEmpty() && (shown.isEmpty() || shown.back() != text))
                shown << text;
        }
    });
    look.start(100);
    QElapsedTimer clock;
    clock.start();

    form.findChild<QAction*>(QStringLiteral("Menu音楽_動画の確認"))->trigger();

    ASSERT_GE(shown.size(), 2) << shown.join(' ').toStdString();
    const int length = shown.back().section('/', 1).toInt();
    EXPECT_GT(length, 1) << shown.join(' ').toStdString();
    EXPECT_LT(shown.front().section('/', 0, 0).toInt(), shown.back().section('/', 0, 0).toInt());
    EXPECT_EQ(turn.media().openFiles(), 0);
    // It ended when the tune did, not on the first tick.
    EXPECT_GE(clock.elapsed(), (length - 1) * 1000);
    EXPECT_LT(clock.elapsed(), (length + 3) * 1000);
}

} // namespace
} // namespace halvora
