#include "real_turn.h"

#include "support/test_files.h"

#include <QLineEdit>

#include <gtest/gtest.h>

namespace halvora {
namespace {

TEST(RealTurn, FiveSecondTurnPlaysTheSampleTuneLogsAndLightsTheNumber) {
    test::ProgramFolder folder;
    test::ProgramFolder userData;
    folder.addSampleMedia();
    test::RealTurn turn(folder.path(), userData.path());
    MainForm& form = turn.form();
    ASSERT_TRUE(form.load());
    form.controls().selectDrawTimeIndex(2);
    form.controls().selectHitCountIndex(3);
    int positions = 0;
    QObject::connect(&turn.mci(), &MpvMci::positionChanged, &form, [&] { ++positions; });

    ASSERT_TRUE(turn.run(60000)) << "the turn did not end";
    const GameState& s = form.state();
    EXPECT_EQ(s.DrawCount, 1);
    int n = 0;
    for (int k = 1; k <= 75; ++k)
        n = s.DrawnFlag[std::size_t(k)] != 0 ? k : n;
    ASSERT_NE(n, 0);
    EXPECT_EQ(s.CurrentMusicFile, folder.file(QStringLiteral("Sample/spm1.mp3")));
    EXPECT_GT(positions, 0) << "the tune never played";
    EXPECT_EQ(turn.mci().openDevices(), 0);
    const QByteArray log = test::readBytes(form.drawCycle().historyLogPath());
    EXPECT_TRUE(log.endsWith(QStringLiteral("\r\n  1 : %1\r\n").arg(n, 3).toLatin1())) << log.constData();
    EXPECT_EQ(form.findChild<QLineEdit*>(QStringLiteral("Text1_%1").arg(n))->palette().color(QPalette::Base),
              QColor(255, 128, 128));
}

} // namespace
} // namespace halvora
