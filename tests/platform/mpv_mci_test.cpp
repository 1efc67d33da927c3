#include "platform/mpv_mci.h"

#include "support/test_files.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace halvora {
namespace {

constexpr int kWaitMs = 10000;

// Plays our own media on real players with no sound; video frames are drawn into a view of ours.
class MpvMciTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFile::copy(QStringLiteral(HALVORA_ASSET_DIR "/spm1.mp3"), music));
        ASSERT_TRUE(QFile::copy(QStringLiteral(HALVORA_TEST_DATA_DIR "/clip.avi"), video));
    }

    int send(const QString& command) {
        QString reply;
        return mci.sendString(command, reply, 0, 0);
    }
    // The reply of a status query, or the error code in brackets.
    QString status(const QString& device, const QString& item) {
        QString reply;
        const int code = mci.sendString("status \"" + device + "\" " + item, reply, 20, 0);
        return code ? QStringLiteral("[%1]").arg(code) : reply;
    }
    int units(const QString& device, const QString& item) { return status(device, item).toInt(); }

    // Blocks in the event loop until `done` holds, checking whenever a player of `media` reports.
    static bool waitOn(MpvMci& media, const std::function<bool()>& done) {
        QEventLoop loop;
        const auto check = [&] {
            if (done())
                loop.quit();
        };
        QObject::connect(&media, &MpvMci::positionChanged, &loop, check);
        QObject::connect(&media, &MpvMci::playbackEnded, &loop, check);
        QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
        if (!done())
            loop.exec();
        return done();
    }

    test::ProgramFolder folder;
    const QString music = folder.file(QStringLiteral("roulette tune.mp3"));
    const QString video = folder.file(QStringLiteral("開会 clip.AVI"));
    MpvMci mci{MpvOutputs{QStringLiteral("null"), {}}};
};

TEST_F(MpvMciTest, MusicSeeksPlaysToItsEndAndCloses) {
    ASSERT_EQ(send("open \"" + music + "\""), 0);
    EXPECT_EQ(status(music, "mode"), "stopped");
    EXPECT_NEAR(units(music, "length"), 8072, 50);
    EXPECT_EQ(units(music, "position"), 0);

    // Seek to 6.5 s, then play the rest.
    ASSERT_EQ(send("seek \"" + music + "\" to 6500"), 0);
    EXPECT_NEAR(units(music, "position"), 6500, 5);
    ASSERT_EQ(send("play \"" + music + "\""), 0);
    EXPECT_EQ(status(music, "mode"), "playing");
    ASSERT_TRUE(waitOn(mci, [&] { return units(music, "position") > 6700; }));
    EXPECT_EQ(status(music, "mode"), "playing");

    // At the end the device stops there: position and length agree.
    ASSERT_TRUE(waitOn(mci, [&] { return status(music, "mode") == "stopped"; }));
    EXPECT_EQ(units(music, "position"), units(music, "length"));

    // Seeking back from the end and playing again works.
    ASSERT_EQ(send("seek \"" + music + "\" to 7900"), 0);
    ASSERT_EQ(send("play \"" + music + "\""), 0);
    EXPECT_EQ(status(music, "mode"), "playing");

    ASSERT_EQ(send("close \"" + music + "\""), 0);
    EXPECT_EQ(status(music, "length"), "[263]");
    EXPECT_EQ(mci.openDevices(), 0);
}

// Events run while an open waits for its player, and a device may be closed from the handler of its
// own signal. The video's frames reach the view while it plays, and go with it.
TEST_F(MpvMciTest, VideoCountsInTenthsAndPlaysBesideMusicEachClosedByItsOwnSignal) {
    VideoView area;
    area.resize(160, 120);
    mci.setVideoView(&area);
    int openedMeanwhile = -1;
    QTimer::singleShot(0, &mci, [&] { openedMeanwhile = send("open \"" + video + "\""); });
    ASSERT_EQ(send("open \"" + video + "\""), 0);
    EXPECT_EQ(openedMeanwhile, MciError::DeviceOpen);
    EXPECT_EQ(units(video, "length"), 21);
    ASSERT_EQ(send("window \"" + video + "\" state show"), 0);
    EXPECT_EQ(send("window \"" + video + "\" handle 7"), MciError::UnrecognizedKeyword);
    ASSERT_EQ(send("seek \"" + video + "\" to 0"), 0);
    ASSERT_EQ(send("open \"" + music + "\""), 0);
    ASSERT_EQ(mci.openDevices(), 2);

    // Both advance at once; closing the music leaves the video playing to its end.
    QString videoWhenMusicClosed, videoAtItsEnd;
    bool framesShown = false;
    QObject::connect(&mci, &MpvMci::positionChanged, &mci, [&](const QString& device, double) {
        if (device == music && units(video, "position") >= 3 && units(music, "position") >= 300) {
            videoWhenMusicClosed = status(video, "mode");
            send("close \"" + music + "\"");
        }
    });
    QObject::connect(&mci, &MpvMci::playbackEnded, &mci, [&](const QString& device) {
        videoAtItsEnd = status(device, "mode") + ' ' + status(device, "position");
        framesShown = framesShown || area.hasFrame();
        send("close \"" + device + "\"");
    });
    ASSERT_EQ(send("play \"" + video + "\""), 0);
    ASSERT_EQ(send("play \"" + music + "\""), 0);
    ASSERT_TRUE(waitOn(mci, [&] { return mci.openDevices() == 0; }));
    EXPECT_EQ(videoWhenMusicClosed, "playing");
    EXPECT_EQ(videoAtItsEnd, "stopped 21");
    EXPECT_TRUE(framesShown);
    EXPECT_FALSE(area.hasFrame()) << "a closed video's last frame stays";
}

TEST_F(MpvMciTest, RefusesWhatIsNotAPlayableLocalFile) {
    const QString text = folder.file(QStringLiteral("notes.mp3"));
    test::writeBytes(text, "not a tune\r\n");
    // Playlists that name a playable file, by extension and by content only.
    const QString playlist = folder.file(QStringLiteral("list.m3u"));
    test::writeBytes(playlist, "#EXTM3U\n" + video.toUtf8() + "\n");
    const QString disguised = folder.file(QStringLiteral("list.avi"));
    test::writeBytes(disguised, "#EXTM3U\n" + video.toUtf8() + "\n");

    const struct {
        QString path;
        int code;
    } cases[] = {
        {folder.file(QStringLiteral("missing.mp3")), MciError::FileNotFound},
        {folder.path(), MciError::FileNotFound},
        {QStringLiteral("av://lavfi:sine"), MciError::FileNotFound},
        {"file://" + video, MciError::FileNotFound},
        {QStringLiteral("/dev/zero"), MciError::FileNotFound},
        {text, MciError::InvalidFile},
        {playlist, MciError::InvalidFile},
        {disguised, MciError::InvalidFile},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(send("open \"" + c.path + "\""), c.code) << c.path.toStdString();
        EXPECT_EQ(status(c.path, "position"), "[263]") << c.path.toStdString();
    }
    EXPECT_EQ(mci.openDevices(), 0);
}

TEST_F(MpvMciTest, CommandsAreCheckedAndDevicesNamedWithoutRegardToCase) {
    ASSERT_EQ(send("open \"" + music + "\""), 0);
    EXPECT_EQ(send("open \"" + music + "\""), MciError::DeviceOpen);
    EXPECT_EQ(units(music.toUpper(), "length"), units(music, "length"));
    EXPECT_EQ(send("seek \"" + music + "\" to -1"), MciError::OutOfRange);
    EXPECT_EQ(send("seek \"" + music + "\" to 90000"), MciError::OutOfRange);
    EXPECT_EQ(send("pause \"" + music + "\""), MciError::UnrecognizedCommand);
    // A reply that does not fit is cut.
    QString reply;
    EXPECT_EQ(mci.sendString("status \"" + music + "\" length", reply, 3, 0), MciError::ParamOverflow);
    EXPECT_EQ(reply, "80");

    // An alias names the device instead of its file.
    ASSERT_EQ(send("open \"" + video + "\" alias clip"), 0);
    EXPECT_EQ(status("CLIP", "length"), "21");
    EXPECT_EQ(send("close clip"), 0);
    EXPECT_EQ(send("close \"" + music + "\""), 0);
}

TEST_F(MpvMciTest, MusicPlaysWhenNoSoundDeviceOpens) {
    MpvMci silent{MpvOutputs{QStringLiteral("no-such-device"), QStringLiteral("null")}};
    QString reply;
    ASSERT_EQ(silent.sendString("open \"" + music + "\"", reply, 0, 0), 0);
    ASSERT_EQ(silent.sendString("play \"" + music + "\"", reply, 0, 0), 0);
    const auto status = [&](const char* item) {
        silent.sendString("status \"" + music + "\" " + item, reply, 20, 0);
        return reply;
    };
    EXPECT_TRUE(waitOn(silent, [&] { return status("position").toInt() >= 200; }));
    EXPECT_EQ(status("mode"), "playing");
}

// A machine without libmpv: opening says so with its own code, the rest is refused as for any device
// that is not open, and the program goes on. Run in a fresh process: the library is loaded only once.
[[noreturn]] void playWithoutLibmpv() {
    qputenv("HALVORA_LIBMPV", "libhalvora-no-such-mpv.so");
    const QString video = QStringLiteral("\"" HALVORA_TEST_DATA_DIR "/clip.avi\"");
    MpvMci mci{MpvOutputs{QStringLiteral("null"), QStringLiteral("null")}};
    QString reply;
    const bool refused = mci.sendString("open " + video, reply, 0, 0) == MciError::CannotLoadDriver &&
                         mci.sendString("open " + video, reply, 0, 0) == MciError::CannotLoadDriver &&
                         mci.sendString("play " + video, reply, 0, 0) == MciError::InvalidDeviceName &&
                         mci.openDevices() == 0;
    std::_Exit(refused ? 0 : 1);
}

TEST(MpvMciDeathTest, WithoutLibmpvOpeningFailsAndTheProgramGoesOn) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(playWithoutLibmpv(), ::testing::ExitedWithCode(0), "libmpv cannot be loaded");
}

} // namespace
} // namespace halvora
