#include "media/av_playback.h"

#include "support/fake_dialogs.h"
#include "support/mci_recorder.h"
#include "support/test_files.h"
#include "support/virtual_time.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <limits>

namespace halvora {
namespace {

using test::MciRecorder;

class AvPlayback : public ::testing::Test {
protected:
    test::VirtualTime time;
    test::FakeDialogs dialogs;
    MciRecorder mci;
    QWidget window;
};

TEST_F(AvPlayback, VideoCommandsInTenthsWithEventsRunBeforePlay) {
    const QString path = QStringLiteral("/shows/開会 映像.avi");
    qsizetype sentWhenEventsRan = -1;
    time.schedule(0, [&] { sentWhenEventsRan = mci.calls().size(); });

    AV再生Sub::PlayVideo(mci, time, path, 120);
    AV再生Sub::CloseVideo(mci, path);

    const QString q = QStringLiteral("\"/shows/開会 映像.avi\"");
    EXPECT_EQ(mci.commands(), QStringList({"open " + q, "window " + q + " state show",
                                           "seek " + q + " to 1200", "play " + q, "close " + q}));
    // Pending events run between "seek" and "play".
    EXPECT_EQ(sentWhenEventsRan, 3);
}

TEST_F(AvPlayback, MusicCommandsAndStartsInThePlayersUnits) {
    // A blank after ".avi" makes the file music: no window, milliseconds.
    AV再生Sub::PlayMusic(mci, QStringLiteral("/m/clip.avi "), 2);
    AV再生Sub::CloseMusic(mci, QStringLiteral("/m/clip.avi "));
    EXPECT_EQ(mci.commands(), QStringList({"open \"/m/clip.avi \"", "seek \"/m/clip.avi \" to 2000",
                                           "play \"/m/clip.avi \"", "close \"/m/clip.avi \""}));
    EXPECT_TRUE(dialogs.messages().empty());
    // Seconds become milliseconds or tenths; starts beyond the player's range are held at its ends.
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const std::pair<std::int32_t, const char*> starts[] = {
        {0, "0"}, {120, "120000"}, {2147483, "2147483000"}, {2147484, "2147483647"}, {kMin, "-2147483648"}};
    for (const auto& [start, seek] : starts) {
        AV再生Sub::PlayMusic(mci, QStringLiteral("a.mp3"), start);
        EXPECT_EQ(mci.commands().filter(QStringLiteral("seek ")).last(),
                  QStringLiteral("seek \"a.mp3\" to ") + seek);
    }
    AV再生Sub::PlayVideo(mci, time, QStringLiteral("b.avi"), kMax);
    EXPECT_EQ(mci.commands().filter(QStringLiteral("seek ")).last(),
              QStringLiteral("seek \"b.avi\" to 2147483647"));
}

TEST_F(AvPlayback, LengthAndPositionRoundHalvesUpInTheKindsUnits) {
    mci.setReply(QStringLiteral("status \"m.mp3\" length"), QStringLiteral("1500"));
    mci.setReply(QStringLiteral("status \"m.mp3\" position"), QStringLiteral("1499"));
    mci.setReply(QStringLiteral("status \"v.avi\" length"), QStringLiteral("15"));
    mci.setReply(QStringLiteral("status \"v.avi\" position"), QStringLiteral("14"));
    EXPECT_EQ(AV再生Sub::MediaLength(mci, QStringLiteral("m.mp3")), 2);
    EXPECT_EQ(AV再生Sub::MediaPosition(mci, QStringLiteral("m.mp3")), 1);
    EXPECT_EQ(AV再生Sub::MediaLength(mci, QStringLiteral("v.avi")), 2);
    EXPECT_EQ(AV再生Sub::MediaPosition(mci, QStringLiteral("v.avi")), 1);
    for (const MciRecorder::Call& call : mci.calls())
        EXPECT_EQ(call.replyLength, 20) << call.command.toStdString();

    // A file that is not open gets no reply: 0.
    EXPECT_EQ(AV再生Sub::MediaLength(mci, QStringLiteral("never.mp3")), 0);
    EXPECT_EQ(AV再生Sub::MediaPosition(mci, QStringLiteral("never.avi")), 0);
}

TEST_F(AvPlayback, PathWithDoubleQuotePlaysAsNothingAndIsReportedOnlyWhenLoaded) {
    const QString path = QStringLiteral("/m/say \"hello\".mp3");
    AV再生Sub::PlayMusic(mci, path, 0);
    AV再生Sub::PlayVideo(mci, time, QStringLiteral("/v/\"x\".avi"), 0);
    AV再生Sub::CloseMusic(mci, path);
    EXPECT_EQ(AV再生Sub::MediaLength(mci, path), 0);
    EXPECT_TRUE(mci.calls().empty());
    // A turn never waits behind a box for such an entry.
    EXPECT_TRUE(dialogs.messages().empty());

    AV再生Sub::ReportUnplayableNames(dialogs, &window, {QStringLiteral("/m/a.mp3")});
    EXPECT_TRUE(dialogs.messages().empty());
    AV再生Sub::ReportUnplayableNames(dialogs, &window, {path, QStringLiteral("/m/a.mp3"), QStringLiteral("\"")});
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].prompt,
              QStringLiteral("ファイル名に「\"」を含むファイルは再生できません。\r\n") + path + QStringLiteral("\r\n\""));
    EXPECT_EQ(dialogs.messages()[0].style, MsgBox::OkOnly);
}

} // namespace
} // namespace halvora
