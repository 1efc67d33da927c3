#include "real_turn.h"

#include "support/test_files.h"

#include "dialogs/timed_question.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace halvora {
namespace {

// The real program on the real clock, timers and player, in a fresh folder with our sample show: a
// five-second turn plays the sample tune, logs the number and lights it; then the music check, with
// play time 0, waits for the tune to end, showing its position as it plays.
TEST(RealTurn, FiveSecondTurnThenTheMusicCheckPlaysTheSampleTuneToItsEnd) {
    test::ProgramFolder folder, userData;
    folder.addSampleMedia();
    test::RealTurn turn{folder.path(), userData.path()};
    MainForm& form = turn.form();
    ASSERT_TRUE(form.load());
    form.controls().selectDrawTimeIndex(2);
    form.controls().selectHitCountIndex(3);
    const QString tune = folder.file(QStringLiteral("Sample/spm1.mp3"));
    int positions = 0;
    QObject::connect(&turn.media(), &MediaPlayer::positionChanged, &form,
                     [&](const QString& path) { positions += path == tune ? 1 : 0; });

    ASSERT_TRUE(turn.run(60000)) << "the turn did not end";
    ASSERT_EQ(form.game().drawCount(), 1);
    const int n = form.controls().panel->text().toInt();
    EXPECT_TRUE(form.game().isDrawn(n));
    EXPECT_GT(positions, 0) << "the tune never played";
    EXPECT_EQ(turn.media().openFiles(), 0);
    const QByteArray log = test::readBytes(form.game().historyLogPath());
    EXPECT_TRUE(log.endsWith(QStringLiteral("\r\n  1 : %1\r\n").arg(n, 3).toLatin1())) << log.constData();
    EXPECT_EQ(form.controls().boardBoxes[std::size_t(n)]->palette().color(QPalette::Base), QColor(255, 128, 128));

    AvList& av = form.show().av;
    av.files[1] = tune;
    av.starts[1] = av.playSeconds[1] = 0;
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
