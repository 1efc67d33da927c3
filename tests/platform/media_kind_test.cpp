// What a file holds decides whether it plays as video, whatever its name: found by real libmpv.
#include "platform/mpv_media_player.h"

#include "support/test_files.h"

#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QTimer>

#include <gtest/gtest.h>

namespace halvora {
namespace {

TEST(MediaKind, FoundByContentWhenOpenAndWhenProbed) {
    test::ProgramFolder folder;
    const auto copy = [&](const char* from, const char* to) {
        ASSERT_TRUE(QFile::copy(QString::fromUtf8(from), folder.file(QString::fromUtf8(to))));
    };
    copy(HALVORA_TEST_DATA_DIR "/tone.mp4", "tone.mp4");   // sound alone
    copy(HALVORA_TEST_DATA_DIR "/clip.mkv", "clip.mkv");
    copy(HALVORA_TEST_DATA_DIR "/silent.mkv", "silent.mkv"); // a picture without sound
    copy(HALVORA_TEST_DATA_DIR "/clip.avi", "clip.mp3");   // a video, named as music
    copy(HALVORA_TEST_DATA_DIR "/clip.avi", "clip.AVI");
    copy(HALVORA_ASSET_DIR "/spm1.mp3", "spm1.mp3");
    QImage photo(64, 48, QImage::Format_RGB32);
    photo.fill(Qt::blue);
    ASSERT_TRUE(photo.save(folder.file("photo.mp3"), "JPEG"));
    test::writeBytes(folder.file("empty.mp4"), {});
    const std::pair<const char*, MediaKind> cases[] = {
        {"tone.mp4", MediaKind::Music}, {"clip.mkv", MediaKind::Video}, {"silent.mkv", MediaKind::Video}, {"clip.mp3", MediaKind::Video},
        {"clip.AVI", MediaKind::Video}, {"spm1.mp3", MediaKind::Music}, {"photo.mp3", MediaKind::None},
        {"empty.mp4", MediaKind::None}, {"missing.mp4", MediaKind::None}};

    MpvMediaPlayer media{MpvOutputs{QStringLiteral("null"), QStringLiteral("null")}};
    QStringList paths;
    for (const auto& [name, kind] : cases) {
        const QString path = folder.file(QString::fromUtf8(name));
        paths << path;
        const bool opened = media.open(path);
        EXPECT_EQ(opened && media.hasVideo(path), kind == MediaKind::Video) << name;
        EXPECT_TRUE(opened || kind == MediaKind::None) << name;
        media.close(path);
    }

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

} // namespace
} // namespace halvora
