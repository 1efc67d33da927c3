#include "main_window_fixture.h"

#include "dialogs/timed_question.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace halvora::test {
namespace {

class MediaChecksTest : public MainWindowTest {
protected:
    void SetUp() override {
        random.setCounting(); // the icons put back on the draw buttons
        ASSERT_TRUE(startWindow());
    }
    TimedQuestion* openBox() const { return form->findChild<TimedQuestion*>(); }
    // Clicks a button of the open box at the given virtual instant, noting its title and message.
    void clickAt(qint64 ms, const char* button) {
        time.schedule(static_cast<int>(ms - time.elapsedMs()), [this, button] {
            TimedQuestion* box = openBox();
            ASSERT_NE(box, nullptr);
            titles << box->windowTitle();
            message = box->findChild<QPlainTextEdit*>(QStringLiteral("TxtMsg"))->toPlainText();
            box->findChild<QPushButton*>(QLatin1String(button))->click();
        });
    }
    QStringList titles;
    QString message;
};

// Three tunes, the second a video: はい plays on, いいえ stops at once; every entry played is closed.
TEST_F(MediaChecksTest, MusicVideoCheckPlaysInTurnAndStopsAtNo) {
    struct Case {
        const char* what;
        std::int16_t count;
        std::vector<const char*> clicks; // at 1 s into each box
        int played;                      // entries opened, and closed again
        QStringList titles;
    };
    const Case cases[] = {
        {"all answered はい", 3, {"cmdYes", "cmdYes", "cmdYes"}, 3, {"音楽_動画番号＝001", "音楽_動画番号＝002", "音楽_動画番号＝003"}},
        {"いいえ at entry 2", 3, {"cmdYes", "CmdNo"}, 2, {"音楽_動画番号＝001", "音楽_動画番号＝002"}},
        {"empty list", 0, {}, 0, {}},
    };
    const QString files[] = {"", "/show/a.mp3", "/show/B.Avi", "/show/c.wav"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        media.clear();
        dialogs.clear();
        titles.clear();
        ShowSetup& s = form->show();
        for (std::size_t i = 1; i <= 3; ++i) {
            s.av.files[i] = files[i];
            s.av.playSeconds[i] = 10;
        }
        s.av.count = c.count;
        for (std::size_t k = 0; k < c.clicks.size(); ++k)
            clickAt(time.elapsedMs() + qint64(k) * 1000 + 1000, c.clicks[k]);

        trigger(u"Menu音楽_動画の確認");

        EXPECT_EQ(titles, c.titles);
        for (int i = 1; i <= 3; ++i) {
            const QString f = files[i];
            EXPECT_EQ(media.calls().contains("open " + f), i <= c.played) << f.toStdString();
            EXPECT_EQ(media.calls().contains("close " + f), i <= c.played) << f.toStdString();
        }
        ASSERT_EQ(dialogs.messages().size(), 1u);
        EXPECT_EQ(dialogs.messages()[0].prompt, QStringLiteral("音楽_動画の確認が終了しました"));
        EXPECT_EQ(visibleBoxes(), 75);
        EXPECT_TRUE(control<QPushButton>(u"Command1_0")->isVisible());
        EXPECT_FALSE(control<QWidget>(u"Pic動画")->isVisible());
    }
    EXPECT_EQ(message, QStringLiteral("確認を強制終了する場合は[いいえ]を\r\n次の音楽_動画確認の場合は[はい]を選択してください。")
                           .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

// Each photo shows for five seconds in its own box; いいえ at the 12th ends the check.
TEST_F(MediaChecksTest, PictureCheckShowsEachPhotoAndNumbersTheBox) {
    folder.addSampleMedia();
    ShowSetup& s = form->show();
    for (std::size_t i = 1; i <= 13; ++i)
        s.pictures.files[i] = folder.file(QStringLiteral("SPG%1.jpg").arg(i % 2 + 1));
    s.pictures.files[2] = folder.file(QStringLiteral("missing.jpg"));
    s.pictures.count = 13;
    bool photoShown = false;
    bool missingEmpty = false;
    time.schedule(1000, [&] { photoShown = !control<QLabel>(u"Img背景画像")->pixmap().isNull(); });
    time.schedule(6000, [&] { missingEmpty = control<QLabel>(u"Img背景画像")->pixmap().isNull(); });
    clickAt(time.elapsedMs() + 57000, "CmdNo");

    trigger(u"Menu写真の確認");

    EXPECT_TRUE(photoShown);
    EXPECT_TRUE(missingEmpty);
    EXPECT_EQ(titles, QStringList{QStringLiteral("画像番号＝012")});
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].prompt, QStringLiteral("背景画像の確認が終了しました"));
    EXPECT_FALSE(control<QLabel>(u"Img背景画像")->isVisible());
    EXPECT_EQ(visibleBoxes(), 75);
}

// The fourth draw button shows each icon and its number, then the buttons return to normal.
TEST_F(MediaChecksTest, IconCheckRestoresCaptionAndIcons) {
    folder.addSampleMedia();
    ShowSetup& s = form->show();
    for (std::size_t i = 1; i <= 2; ++i)
        s.icons.files[i] = folder.file(QStringLiteral("スタート%1.bmp").arg(i));
    s.icons.count = 2;
    QString caption;
    time.schedule(6000, [&] { caption = control<QPushButton>(u"Command1_3")->text(); });

    trigger(u"Menuアイコンの確認");

    EXPECT_EQ(caption, QStringLiteral("002"));
    EXPECT_EQ(dialogs.messages().back().prompt, QStringLiteral("アイコンの確認が終了しました"));
    for (int b = 0; b < 4; ++b) {
        auto* button = control<QPushButton>(QStringLiteral("Command1_%1").arg(b));
        EXPECT_EQ(button->text(), QStringLiteral("回す"));
        EXPECT_FALSE(button->icon().isNull()) << b;
    }
}

} // namespace
} // namespace halvora::test
