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
        folder.addSampleMedia();
    }
    // Clicks a button of the open box at the given virtual instant, noting its title and message.
    void clickAt(qint64 ms, const char* button) {
        time.schedule(static_cast<int>(ms - time.elapsedMs()), [this, button] {
            auto* box = form->findChild<TimedQuestion*>();
            ASSERT_NE(box, nullptr);
            titles << box->windowTitle();
            message = box->findChild<QPlainTextEdit*>(QStringLiteral("TxtMsg"))->toPlainText();
            box->findChild<QPushButton*>(QLatin1String(button))->click();
        });
    }
    // The check's end: its message, and the board back.
    void expectEnded(const char* message) {
        ASSERT_FALSE(dialogs.messages().empty());
        EXPECT_EQ(dialogs.messages().back().prompt, QString::fromUtf8(message));
        EXPECT_EQ(visibleBoxes(), 75);
        EXPECT_TRUE(control(u"Command1_0")->isVisible());
    }
    QStringList titles;
    QString message;
};

// Three tunes, the second a video: はい plays on, いいえ stops at once; every entry played is closed.
TEST_F(MediaChecksTest, MusicVideoCheckPlaysInTurnAndStopsAtNo) {
    const std::tuple<const char*, std::int16_t, std::vector<const char*>, int> cases[] = {
        {"all answered はい", 3, {"cmdYes", "cmdYes", "cmdYes"}, 3},
        {"いいえ at entry 2", 3, {"cmdYes", "CmdNo"}, 2},
        {"empty list", 0, {}, 0}};
    const QString files[] = {"", "/show/a.mp3", "/show/B.Avi", "/show/c.wav"};
    ShowSetup& s = form->show();
    for (std::size_t i = 1; i <= 3; ++i) {
        s.av.files[i] = files[i];
        s.av.playSeconds[i] = 10;
    }
    for (const auto& [what, count, clicks, played] : cases) {
        SCOPED_TRACE(what);
        media.clear();
        dialogs.clear();
        titles.clear();
        s.av.count = count;
        for (std::size_t k = 0; k < clicks.size(); ++k)
            clickAt(time.elapsedMs() + qint64(k) * 1000 + 1000, clicks[k]);
        trigger(u"Menu音楽_動画の確認");
        ASSERT_EQ(titles.size(), played);
        for (int i = 1; i <= 3; ++i) {
            EXPECT_TRUE(i > played || titles[i - 1] == QStringLiteral("音楽_動画番号＝00%1").arg(i)) << i;
            EXPECT_EQ(media.calls().contains("open " + files[i]), i <= played) << i;
            EXPECT_EQ(media.calls().contains("close " + files[i]), i <= played) << i;
        }
        ASSERT_EQ(dialogs.messages().size(), 1u);
        expectEnded("音楽_動画の確認が終了しました");
        EXPECT_FALSE(control(u"Pic動画")->isVisible());
    }
    EXPECT_EQ(message, "確認を強制終了する場合は[いいえ]を\n次の音楽_動画確認の場合は[はい]を選択してください。");
}

// Each photo shows for five seconds in its own box, one that cannot be read leaves the area empty;
// いいえ at the 12th ends the check. The fourth draw button shows each icon and its number, then the
// buttons return to normal.
TEST_F(MediaChecksTest, PictureAndIconChecksShowEachInTurn) {
    ShowSetup& s = form->show();
    for (std::size_t i = 1; i <= 13; ++i)
        s.pictures.files[i] = folder.file(QStringLiteral("SPG%1.jpg").arg(i % 2 + 1));
    s.pictures.files[2] = folder.file(QStringLiteral("missing.jpg"));
    s.pictures.count = 13;
    auto* photo = control<QLabel>(u"Img背景画像");
    bool photoShown = false, missingEmpty = false;
    time.schedule(1000, [&] { photoShown = !photo->pixmap().isNull(); });
    time.schedule(6000, [&] { missingEmpty = photo->pixmap().isNull(); });
    clickAt(time.elapsedMs() + 57000, "CmdNo");
    trigger(u"Menu写真の確認");
    EXPECT_TRUE(photoShown && missingEmpty);
    EXPECT_EQ(titles, QStringList{"画像番号＝012"});
    expectEnded("背景画像の確認が終了しました");
    EXPECT_FALSE(photo->isVisible());

    for (std::size_t i = 1; i <= 2; ++i)
        s.icons.files[i] = folder.file(QStringLiteral("スタート%1.bmp").arg(i));
    s.icons.count = 2;
    QString caption;
    time.schedule(6000, [&] { caption = control<QPushButton>(u"Command1_3")->text(); });
    trigger(u"Menuアイコンの確認");
    EXPECT_EQ(caption, "002");
    expectEnded("アイコンの確認が終了しました");
    for (const QPushButton* button : form->controls().drawButtons)
        EXPECT_TRUE(button->text() == "回す" && !button->icon().isNull());
}

} // namespace
} // namespace halvora::test
