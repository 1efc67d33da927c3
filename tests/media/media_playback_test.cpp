#include "media/media_playback.h"

#include "support/fake_dialogs.h"
#include "support/media_recorder.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace halvora {
namespace {

struct MediaPlaybackTest : ::testing::Test {
    test::FakeDialogs dialogs;
    test::MediaRecorder media;
    QWidget window;
};

TEST_F(MediaPlaybackTest, AnEntryPlaysFromItsStartAndAVideoShowsItsPicture) {
    // A blank after ".avi" makes the file music.
    MediaPlayback::play(media, QStringLiteral("/shows/開会 映像.AVI"), 120);
    MediaPlayback::play(media, QStringLiteral("/m/clip.avi "), 2);
    MediaPlayback::close(media, QStringLiteral("/m/clip.avi "));
    EXPECT_EQ(media.calls(),
              QStringList({"open /shows/開会 映像.AVI", "show /shows/開会 映像.AVI", "seek /shows/開会 映像.AVI 120",
                           "play /shows/開会 映像.AVI", "open /m/clip.avi ", "seek /m/clip.avi  2",
                           "play /m/clip.avi ", "close /m/clip.avi "}));
}

TEST_F(MediaPlaybackTest, LengthAndPositionAreWholeSecondsWithHalvesRoundedUp) {
    // A video counts in tenths first: 1.449 s is 1.4, not 1.45.
    const std::tuple<const char*, double, int> rows[] = {
        {"m.mp3", 1.5, 2}, {"m.mp3", 1.4994, 1}, {"m.mp3", 1.4996, 2}, {"v.avi", 1.449, 1}, {"v.avi", 1.45, 2}};
    for (const auto& [file, seconds, whole] : rows) {
        media.setTimes(QString::fromLatin1(file), seconds, seconds);
        EXPECT_EQ(MediaPlayback::length(media, QString::fromLatin1(file)), whole) << file << " " << seconds;
        EXPECT_EQ(MediaPlayback::position(media, QString::fromLatin1(file)), whole) << file << " " << seconds;
    }
    EXPECT_EQ(MediaPlayback::length(media, QStringLiteral("never.mp3")), 0);
}

TEST_F(MediaPlaybackTest, PathWithDoubleQuotePlaysAsNothingWithoutAMessage) {
    const QString path = QStringLiteral("/m/say \"hello\".mp3");
    MediaPlayback::play(media, path, 0);
    MediaPlayback::play(media, QStringLiteral("/v/\"x\".avi"), 0);
    MediaPlayback::close(media, path);
    EXPECT_TRUE(media.calls().empty());
    // A turn never waits behind a box for such an entry.
    EXPECT_TRUE(dialogs.messages().empty());

}

} // namespace
} // namespace halvora
