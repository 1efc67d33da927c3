#include "media/entry_checks.h"
#include "media/grid_modes.h"
#include "media/media_playback.h"
#include "support/fake_dialogs.h"
#include "support/media_recorder.h"
#include "support/test_files.h"

#include <QDir>
#include <QImage>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace halvora::test {
namespace {

using namespace Qt::StringLiterals;

// What each list takes when files are dropped or chosen: the whole extension, in any case.
TEST(EntryChecks, ListsTakeTodaysFormatsByTheirWholeExtension) {
    const struct {
        std::int16_t list;
        const char* path;
        bool taken;
    } cases[] = {
        {0, "/m/cup.mp4", true},   {0, "/m/Song.FLAC", true}, {0, "/m/clip.webm", true}, {0, "/m/talk.m4a", true},
        {0, "/m/old.avi", true},   {0, "/m/x.jpg", false},    {0, "/m/mp3", false},      {0, "/m.mp3/notes", false},
        {1, "/p/x.jpeg", true},    {1, "/p/X.PNG", true},     {1, "/p/y.webp", true},    {1, "/p/a.mp4", false},
        {1, "/p/a.xjpg", false},   {2, "/i/star.svg", true},  {2, "/i/star.ico", true},  {2, "/i/s.gif", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hasAcceptedExtension(QString::fromUtf8(c.path), gridModeFor(c.list).extensions), c.taken) << c.path;
    EXPECT_TRUE(gridModeFor(2).caption.contains(QStringLiteral("*.jpg,")));
    EXPECT_FALSE(gridModeFor(2).caption.contains(QStringLiteral("ipg")));
}

TEST(EntryChecks, QuickFaultsAreFoundAndToldWithListRowAndReason) {
    ProgramFolder folder;
    QImage photo(8, 8, QImage::Format_RGB32);
    photo.fill(Qt::red);
    ASSERT_TRUE(photo.save(folder.file("photo.png"), "PNG"));
    ASSERT_TRUE(photo.save(folder.file("renamed.jpg"), "PNG")); // read by content
    writeBytes(folder.file("notes.jpg"), "not a picture");
    writeBytes(folder.file("tune.mp3"), "whatever: the player decides");
    ASSERT_TRUE(QDir(folder.path()).mkdir("shots.jpg"));
    ASSERT_EQ(mkfifo(folder.file("pipe.mp3").toLocal8Bit().constData(), 0600), 0);
    const struct {
        std::int16_t list;
        const char* name;
        std::optional<EntryFault> fault;
    } cases[] = {
        {1, "photo.png", std::nullopt},           {1, "renamed.jpg", std::nullopt},
        {2, "photo.png", std::nullopt},           {1, "notes.jpg", EntryFault::NotPicture},
        {1, "gone.jpg", EntryFault::Missing},     {1, "shots.jpg", EntryFault::Folder},
        {0, "tune.mp3", std::nullopt},            {0, "pipe.mp3", EntryFault::Unreadable},
        {0, "say \"hi\".mp3", EntryFault::QuoteInName}, {0, "gone.mp3", EntryFault::Missing},
        {1, "😀smile.jpg", EntryFault::Unstorable},
    };
    for (const auto& c : cases)
        EXPECT_EQ(findQuickFault(c.list, folder.file(QString::fromUtf8(c.name))), c.fault) << c.name;

    const QString told = describeFaultyEntries(
        {{0, 3, "/m/a.mp3", EntryFault::NotMedia}, {1, 12, "/p/b.jpg", EntryFault::Missing}});
    EXPECT_EQ(told, QStringLiteral("次の行のファイルは、このままでは使えません。\r\n"
                                   "音楽_動画 3行目: /m/a.mp3（音楽・動画ではありません）\r\n"
                                   "背景画像 12行目: /p/b.jpg（ファイルがありません）"));
    const std::vector<FaultyEntry> many(25, {2, 1, "/i/x.ico", EntryFault::Missing});
    EXPECT_TRUE(describeFaultyEntries(many).endsWith(QStringLiteral("\r\nほか 5 件")));
}

// A file with a picture is shown as well as played, music only played. A path holding a double quote
// plays as nothing, with no message during a turn.
TEST(MediaPlayback, EntriesPlayFromTheirStartAndQuotedPathsPlayAsNothing) {
    MediaRecorder media;
    FakeDialogs dialogs;
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
    MediaRecorder media;
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
} // namespace halvora::test
