#include "platform/mpv_media_player.h"

#include "support/test_files.h"

#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace halvora {
namespace {

// Blocks in the event loop until `done` holds, checking whenever a player of `media` reports.
bool waitOn(MediaPlayer& media, const std::function<bool()>& done) {
    QEventLoop loop;
    const auto check = [&] {
        if (done())
            loop.quit();
    };
    QObject::connect(&media, &MediaPlayer::positionChanged, &loop, check);
    QObject::connect(&media, &MediaPlayer::finished, &loop, check);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}

// Plays our own media on real players with no sound; a video is drawn into a view of ours.
class MpvMediaPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFile::copy(QStringLiteral(HALVORA_ASSET_DIR "/spm1.mp3"), music));
        ASSERT_TRUE(QFile::copy(QStringLiteral(HALVORA_TEST_DATA_DIR "/clip.avi"), video));
    }

    test::ProgramFolder folder;
    const QString music = folder.file(QStringLiteral("roulette tune.mp3"));
    const QString video = folder.file(QStringLiteral("開会 clip.AVI"));
    MpvMediaPlayer media{MpvOutputs{QStringLiteral("null"), {}}};
};

TEST_F(MpvMediaPlayerTest, MusicSeeksPlaysToItsEndAndClosesThenPlaysBesideAVideo) {
    ASSERT_TRUE(media.open(music));
    EXPECT_FALSE(media.open(music)) << "a file already open";
    EXPECT_NEAR(media.length(music), 8.072, 0.05);
    EXPECT_FALSE(media.seek(music, -1) || media.seek(music, 90));
    ASSERT_TRUE(media.seek(music, 6.5));
    EXPECT_NEAR(media.position(music), 6.5, 0.005);
    bool finished = false;
    QObject::connect(&media, &MediaPlayer::finished, &media,
                     [&](const QString& path) { finished = path == music; });
    ASSERT_TRUE(media.play(music));
    // At the end the file stops there, and may be played again from an earlier place.
    ASSERT_TRUE(waitOn(media, [&] { return finished; }));
    EXPECT_NEAR(media.position(music), media.length(music), 0.001);
    EXPECT_TRUE(media.seek(music, 7.9) && media.play(music));
    media.close(music);
    EXPECT_EQ(media.openFiles(), 0);

    // Events run while an open waits for its player, and a file may be closed from the handler of its
    // own signal.
    VideoView area;
    area.resize(160, 120);
    media.setVideoView(&area);
    bool openedMeanwhile = true;
    QTimer::singleShot(0, &media, [&] { openedMeanwhile = media.open(video); });
    ASSERT_TRUE(media.open(video));
    EXPECT_FALSE(openedMeanwhile);
    ASSERT_TRUE(media.showVideo(video) && media.seek(video, 0) && media.open(music));
    // Both advance at once; closing the music leaves the video playing to its end.
    double videoWhenMusicClosed = 0, videoAtItsEnd = 0;
    QObject::connect(&media, &MediaPlayer::positionChanged, &media, [&](const QString& path, double) {
        if (path == music && media.position(video) >= 0.3 && media.position(music) >= 0.3) {
            videoWhenMusicClosed = media.position(video);
            media.close(music);
        }
    });
    QObject::connect(&media, &MediaPlayer::finished, &media, [&](const QString& path) {
        videoAtItsEnd = media.position(path);
        media.close(path);
    });
    ASSERT_TRUE(media.play(video) && media.play(music));
    ASSERT_TRUE(waitOn(media, [&] { return media.openFiles() == 0; }));
    EXPECT_GT(videoWhenMusicClosed, 0);
    EXPECT_NEAR(videoAtItsEnd, 2.1, 0.05);
}

// What a file holds decides whether it plays as video, whatever its name. An open file is told apart
// the same way as a probed one.
TEST_F(MpvMediaPlayerTest, KindFoundByContent) {
    for (const char* name : {"tone.mp4", "clip.mkv", "silent.mkv", "clip.avi"}) // the clip named as music
        ASSERT_TRUE(QFile::copy(QStringLiteral(HALVORA_TEST_DATA_DIR "/") + name,
                                folder.file(QString(name).replace(".avi", ".mp3"))));
    QImage photo(64, 48, QImage::Format_RGB32);
    photo.fill(Qt::blue);
    ASSERT_TRUE(photo.save(folder.file("photo.mp3"), "JPEG"));
    test::writeBytes(folder.file("empty.mp4"), {});
    // Sound alone, a video, a picture without sound, the video named as music.
    const std::pair<const char*, MediaKind> cases[] = {
        {"tone.mp4", MediaKind::Music},  {"clip.mkv", MediaKind::Video}, {"silent.mkv", MediaKind::Video},
        {"clip.mp3", MediaKind::Video},  {"photo.mp3", MediaKind::None}, {"empty.mp4", MediaKind::None},
        {"missing.mp4", MediaKind::None}};
    QStringList paths;
    for (const auto& [name, kind] : cases)
        paths << folder.file(QString::fromUtf8(name));

    // The probe answers later, on the window's thread, in the order asked.
    std::vector<MediaKind> found;
    QEventLoop loop;
    media.probe(paths, [&](const std::vector<MediaKind>& kinds) {
        found = kinds;
        loop.quit();
    });
    EXPECT_TRUE(found.empty());
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    ASSERT_EQ(found.size(), std::size(cases));
    for (std::size_t i = 0; i < found.size(); ++i)
        EXPECT_EQ(found[i], cases[i].second) << cases[i].first;
}

TEST_F(MpvMediaPlayerTest, RefusesWhatIsNotAPlayableLocalFileAndPlaysWithoutASoundDevice) {
    const QString text = folder.file(QStringLiteral("notes.mp3"));
    const QString playlist = folder.file(QStringLiteral("list.m3u"));
    const QString disguised = folder.file(QStringLiteral("list.avi")); // a playlist by content only
    test::writeBytes(text, "not a tune\r\n");
    test::writeBytes(playlist, "#EXTM3U\n" + video.toUtf8() + "\n");
    test::writeBytes(disguised, "#EXTM3U\n" + video.toUtf8() + "\n");
    for (const QString& path :
         {folder.file(QStringLiteral("missing.mp3")), folder.path(), QStringLiteral("av://lavfi:sine"),
          "file://" + video, QStringLiteral("/dev/zero"), text, playlist, disguised}) {
        EXPECT_FALSE(media.open(path) || media.play(path)) << path.toStdString();
    }
    EXPECT_EQ(media.openFiles(), 0);

    MpvMediaPlayer silent{MpvOutputs{QStringLiteral("no-such-device"), QStringLiteral("null")}};
    ASSERT_TRUE(silent.open(music) && silent.play(music));
    EXPECT_TRUE(waitOn(silent, [&] { return silent.position(music) >= 0.2; }));
}

// A machine without libmpv: opening fails and the program goes on. Run in a fresh process: the
// library is loaded only once.
[[noreturn]] void playWithoutLibmpv() {
    qputenv("HALVORA_LIBMPV", "libhalvora-no-such-mpv.so");
    const QString video = QStringLiteral(HALVORA_TEST_DATA_DIR "/clip.avi");
    MpvMediaPlayer media{MpvOutputs{QStringLiteral("null"), QStringLiteral("null")}};
    std::_Exit(!media.open(video) && !media.open(video) && !media.play(video) && media.openFiles() == 0 ? 0
                                                                                                        : 1);
}

TEST(MpvMediaPlayerDeathTest, WithoutLibmpvOpeningFailsAndTheProgramGoesOn) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(playWithoutLibmpv(), ::testing::ExitedWithCode(0), "libmpv cannot be loaded");
}

} // namespace
} // namespace halvora
