#include "media/media_playback.h"

#include "support/fake_dialogs.h"
#include "support/media_recorder.h"

#include <gtest/gtest.h>

namespace halvora {
namespace {

using namespace Qt::StringLiterals;

// A file with a picture is shown as well as played, music only played. A path holding a double quote
// plays as nothing, with no message during a turn.
TEST(MediaPlayback, EntriesPlayFromTheirStartAndQuotedPathsPlayAsNothing) {
    test::MediaRecorder media;
    test::FakeDialogs dialogs;
    const QString quoted = u"/m/say \"hello\".mp3"_s;
    MediaPlayback::play(media, u"/shows/開会 映像.AVI"_s, 120);
    MediaPlayback::play(media, u"/m/clip.avi "_s, 2);
    MediaPlayback::close(media, u"/m/clip.avi "_s);
    MediaPlayback::play(media, quoted, 0);
    MediaPlayback::play(media, u"/v/\"x\".avi"_s, 0);
    MediaPlayback::close(media, quoted);
    EXPECT_EQ(media.calls(),
              QStringList({"open /shows/開会 映像.AVI", "show /shows/開会 映像.AVI",
                           "seek /shows/開会 映像.AVI 120", "play /shows/開会 映像.AVI", "open /m/clip.avi ",
                           "seek /m/clip.avi  2", "play /m/clip.avi ", "close /m/clip.avi "}));
    EXPECT_TRUE(dialogs.messages().empty()); // a turn never waits behind a box for such an entry
}

TEST(MediaPlayback, LengthAndPositionAreWholeSecondsWithHalvesRoundedUp) {
    test::MediaRecorder media;
    // A video counts in tenths first: 1.449 s is 1.4, not 1.45.
    const std::tuple<const char*, double, int> rows[] = {{"m.mp3", 1.5, 2},
                                                         {"m.mp3", 1.4994, 1},
                                                         {"m.mp3", 1.4996, 2},
                                                         {"v.avi", 1.449, 1},
                                                         {"v.avi", 1.45, 2}};
    for (const auto& [file, seconds, whole] : rows) {
        media.setTimes(QString::fromLatin1(file), seconds, seconds);
        EXPECT_EQ(MediaPlayback::length(media, QString::fromLatin1(file)), whole) << file << " " << seconds;
        EXPECT_EQ(MediaPlayback::position(media, QString::fromLatin1(file)), whole) << file << " " << seconds;
    }
    EXPECT_EQ(MediaPlayback::length(media, u"never.mp3"_s), 0);
}

} // namespace
} // namespace halvora
