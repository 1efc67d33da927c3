// The window's commands on the sample show: the colour editor, the help, the media lists and their
// checks, the cards and the audience's screen.
#include "main_window_fixture.h"

#include "cards/card_check_window.h"
#include "cards/card_register.h"
#include "dialogs/timed_question.h"
#include "draw/audience_screens.h"
#include "draw/operator_console.h"
#include "media/media_list_grid.h"
#include "support/key_script.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <set>

namespace halvora::test {
namespace {

using namespace Qt::StringLiterals;

class WindowTest : public MainWindowTest {
protected:
    void SetUp() override { startSampleShow(); }
    // Gives the menu command; `act` runs on the dialog it opens.
    void run(QStringView command, const QString& dialogName, const std::function<void(QDialog&)>& act) {
        time.schedule(0, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (widget->objectName() == dialogName && widget->isVisible())
                    return act(*static_cast<QDialog*>(widget));
            ADD_FAILURE() << "no dialog " << dialogName.toStdString();
        });
        trigger(command);
    }
    void editColours(const std::function<void(QDialog&)>& act) { run(u"Menu画面色の編集", u"画面設定"_s, act); }
    static void click(QDialog& d, const QString& name) { d.findChild<QPushButton*>(name)->click(); }
    static QLineEdit* edit(QDialog& d, const QString& name) { return d.findChild<QLineEdit*>(name); }
    // Gives a list's edit command; while the grid is open, notes rows 1..4 and types the script.
    void editList(QStringView command, const QString& script, int columns) {
        run(command, u"音楽映像登録"_s, [&](QDialog& d) {
            auto& grid = static_cast<MediaListGrid&>(d);
            minimisedMeanwhile = form->isMinimized();
            shown.clear();
            for (int r = 1; r <= 4; ++r)
                for (int c = 1; c <= columns; ++c)
                    shown << grid.cellText(r, c);
            TypeIntoGrid(grid, script);
        });
    }
    // Clicks a button of the open check's box at the given virtual instant, noting its title and message.
    void clickAt(qint64 ms, const char* button) {
        time.schedule(static_cast<int>(ms - time.elapsedMs()), [this, button] {
            auto* box = form->findChild<TimedQuestion*>();
            ASSERT_NE(box, nullptr);
            titles << box->windowTitle();
            message = box->findChild<QPlainTextEdit*>(QStringLiteral("TxtMsg"))->toPlainText();
            box->findChild<QPushButton*>(QLatin1String(button))->click();
        });
    }
    // A check's end: its message, and the board back.
    void expectEnded(const char* message) {
        ASSERT_FALSE(dialogs.messages().empty());
        EXPECT_EQ(dialogs.messages().back().prompt, QString::fromUtf8(message));
        EXPECT_EQ(visibleBoxes(), 75);
        EXPECT_TRUE(control(u"Command1_0")->isVisible());
    }
    QStringList shown, titles;
    QString message;
    bool minimisedMeanwhile = false;
};

// Each pick paints its row's part of the mock-up only; the close box changes nothing, yet the window is
// repainted from its colours.
TEST_F(WindowTest, ColourEditorPicksAppliesAndSavesThenHelpShowsTheInstructions) {
    const struct {
        const char *row, *text;
        std::set<int> samples; // -1: the dialog itself
    } cases[] = {{"Cmd色指定_0", "Txt背景色_0", {-1}},
                 {"Cmd色指定_1", "Txt背景色_1", {0}},
                 {"Cmd色指定_2", "Txt背景色_2", {1, 2, 3, 4, 6, 7, 8}},
                 {"Cmd文字色_3", "Txt文字色_3", {5}},
                 {"Cmd文字色_4", "Txt文字色_4", {9}}};
    const ScreenColours before = form->show().colours;
    for (const auto& c : cases) {
        box(1)->setPalette(QPalette(Qt::red));
        const bool fore = QString::fromUtf8(c.text).contains(u"文字色"_s);
        editColours([&](QDialog& d) {
            auto colours = [&] {
                QList<QColor> seen{d.palette().color(fore ? QPalette::WindowText : QPalette::Window)};
                for (int i = 0; i < 10; ++i)
                    seen << edit(d, u"txtSample_%1"_s.arg(i))->palette().color(fore ? QPalette::Text : QPalette::Base);
                return seen;
            };
            const QList<QColor> shown = colours();
            dialogs.answerNextColour(QColor(0x12, 0x34, 0x56));
            click(d, c.row);
            EXPECT_EQ(edit(d, QString::fromUtf8(c.text))->text(), u" 5649426"_s);
            for (int i = -1; i < 10; ++i)
                EXPECT_EQ(colours()[i + 1], c.samples.count(i) ? QColor(0x12, 0x34, 0x56) : shown[i + 1])
                    << c.row << i;
            d.close();
        });
        EXPECT_EQ(form->show().colours.backColours, before.backColours);
        EXPECT_EQ(form->show().colours.foreColours, before.foreColours);
        EXPECT_EQ(back(1), kNotDrawn) << c.row;
    }

    // "いいえ" keeps the dialog with its picks; "はい" takes both boxes of every row as they stand: a picked
    // colour with its leading blank; a typed text that names no colour keeps the colour in force.
    editColours([&](QDialog& d) {
        dialogs.answerNextColour(QColor(0, 0, 0xFF));
        click(d, u"Cmd色指定_2"_s);
        edit(d, u"Txt背景色_1"_s)->setText(u"青"_s);
        dialogs.answerNextMessage(Answer::No);
        click(d, u"Cmd設定適用"_s);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(edit(d, u"Txt背景色_2"_s)->text(), u" 16711680"_s);
        click(d, u"Cmd設定適用"_s); // Yes, the default
    });
    EXPECT_EQ(lastMessage(), u"指定条件を適用しますか？|question|操作確認"_s);
    const auto& taken = form->show().colours.backColours;
    EXPECT_EQ(QStringList({taken[1], taken[2]}), QStringList({"青", " 16711680"}));
    EXPECT_EQ(std::pair(back(1), control(u"Text2")->palette().color(QPalette::Base)),
              std::pair(QColor(Qt::blue), QColor(0, 128, 0)));

    // The instructions in the program folder, read-only.
    writeBytes(folder.file(u"操作説明.txt"_s), ansiLines({"準備", "本番", "印刷"}));
    run(u"TxtReadme", u"操作説明"_s, [&](QDialog& viewer) {
        auto* text = viewer.findChild<QPlainTextEdit*>(u"TextHelp"_s);
        EXPECT_TRUE(text->isReadOnly() && text->toPlainText() == u"準備\n本番\n印刷\n"_s);
        viewer.close();
    });
}

// Three tunes, the second a video: はい plays on, いいえ stops at once; every entry played is closed.
TEST_F(WindowTest, MediaChecksPlayOrShowEachEntryInTurnAndStopAtNo) {
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

    // Each photo shows for five seconds in its own box, one that cannot be read leaves the area empty;
    // いいえ at the 12th ends the check. The fourth draw button shows each icon and its number, then the
    // buttons return to normal.
    for (std::size_t i = 1; i <= 13; ++i)
        s.pictures.files[i] = folder.file(QStringLiteral("Sample/SPG%1.jpg").arg(i % 2 + 1));
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
        s.icons.files[i] = folder.file(QStringLiteral("Sample/スタート%1.bmp").arg(i));
    s.icons.count = 2;
    QString caption;
    time.schedule(6000, [&] { caption = control<QPushButton>(u"Command1_3")->text(); });
    trigger(u"Menuアイコンの確認");
    EXPECT_EQ(caption, "002");
    expectEnded("アイコンの確認が終了しました");
    for (const QPushButton* button : form->controls().drawButtons)
        EXPECT_TRUE(button->text() == "回す" && !button->icon().isNull());
}

// Rows 1, 3 and 5 filled give three entries in that order; a row with times but no path is dropped;
// "1,5" reads as 15, letters as 0, 2.5 as 2. Entries of an earlier, longer show never reach the grid.
TEST_F(WindowTest, ListsComeBackClosedUp) {
    AvList& av = form->show().av;
    av.count = 1;
    av.files[1] = "/show/一曲目.mp3";
    av.starts[1] = 1000;
    av.playSeconds[1] = 30;
    av.files[2] = "/old/前の曲.mp3"; // left above the count by a longer show
    av.starts[2] = 7;
    editList(u"Menu音楽_動画",
             "{Down}5{Enter}20{Enter}{Enter}{Enter}1,5{Enter}abc{Enter}/m/b.avi{Enter}"
             "{Down}2.5{Enter}{Enter}{Enter}/m/\"c\".wav{Enter}{Esc}",
             3);
    EXPECT_TRUE(minimisedMeanwhile && !form->isMinimized() && form->isFullScreen());
    EXPECT_EQ(shown,
              QStringList({"1000", "30", "/show/一曲目.mp3", "0", "0", "", "0", "0", "", "0", "0", ""}));
    ASSERT_EQ(av.count, 3);
    const std::tuple<QString, int, int> expected[] = {
        {"/show/一曲目.mp3", 1000, 30}, {"/m/b.avi", 15, 0}, {"/m/\"c\".wav", 2, 0}, {"", 0, 0}};
    for (std::size_t i = 1; i <= 4; ++i)
        EXPECT_EQ(std::make_tuple(av.files[i], av.starts[i], av.playSeconds[i]), expected[i - 1]) << i;
    // Every entry that cannot be used is told once when the grid closes, with its row and why.
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messages()[0].prompt.endsWith(
        "\r\n音楽_動画 2行目: /m/b.avi（ファイルがありません）"
        "\r\n音楽_動画 3行目: /m/\"c\".wav（ファイル名に「\"」を含むため再生できません）"));

    // The photo list (the icon list works alike) closes up the same way, never showing entries above
    // its count.
    PictureList& photos = form->show().pictures;
    std::copy_n(QStringList({"", "/p/a.jpg", "/p/b.jpg", "/old/c.jpg"}).begin(), 4, photos.files.begin());
    photos.count = 2;
    editList(u"Menu写真", "{Down}{BS}{Enter}{Down}/p/d.jpg{Enter}{Esc}", 1);
    EXPECT_EQ(shown, QStringList({"/p/a.jpg", "/p/b.jpg", "", ""}));
    EXPECT_EQ(std::pair(photos.count, QStringList({photos.files[1], photos.files[2], photos.files[3]})),
              std::pair(std::int16_t(2), QStringList({"/p/a.jpg", "/p/d.jpg", ""})));
}

// What the player finds comes later; if a turn runs by then, the message waits for the turn's end
// rather than going up in front of the audience.
TEST_F(WindowTest, AnEntryFoundUnusableDuringATurnIsToldWhenTheTurnEnds) {
    media.holdProbes = true;
    media.kindOf = [](const QString&) { return MediaKind::None; };
    editList(u"Menu音楽_動画", "{Esc}", 3);
    form->controls().selectDrawTimeIndex(2);
    form->controls().drawButtons[0]->click();
    media.answerProbes();
    EXPECT_TRUE(dialogs.messages().empty());
    time.runUntil([this] { return !dialogs.messages().empty(); }, 60000, QStringLiteral("the message"));
    EXPECT_EQ(form->game().rouletteState(), RouletteState::Idle);
    EXPECT_TRUE(dialogs.messages()[0].prompt.endsWith(QStringLiteral("spm1.mp3（音楽・動画ではありません）")));
}

// Cards printed from the window are registered; the counts under the board follow the hand markings,
// and a claim checked by the presenter's C shows the card's verdict until Esc.
TEST_F(WindowTest, PrintedCardsAreCountedAndAClaimIsChecked) {
    trigger(u"MenuBINGOカード");
    dialogs.answerNextInput(u"1"_s);
    trigger(u"ビンゴカード発行");
    auto* counts = control<QLabel>(u"Lbl発行カード");
    EXPECT_EQ(counts->text(), u"発行カード 2枚　リーチ 0枚　ビンゴ 0枚"_s);

    CardRegister cards(form->show().folders.appFolder + u"Halvora.cards"_s);
    ASSERT_EQ(cards.open(), CardRegister::Opened::Ready);
    Card first;
    ASSERT_EQ(cards.find(1, first), CardRegister::Found::Issued);
    for (int column = 0; column < 4; ++column)
        form->game().markByHand(first.at(0, column));
    EXPECT_TRUE(counts->text().contains(u"リーチ 1枚"_s) || counts->text().contains(u"リーチ 2枚"_s))
        << counts->text().toStdString();
    form->game().markByHand(first.at(0, 4));
    EXPECT_TRUE(counts->text().contains(u"ビンゴ 1枚"_s) || counts->text().contains(u"ビンゴ 2枚"_s));

    QString shown;
    time.schedule(0, [&] {
        auto* window = form->findChild<CardCheckWindow*>();
        ASSERT_NE(window, nullptr);
        shown = window->check().headline;
        QTest::keyClick(window, Qt::Key_Escape);
    });
    dialogs.answerNextInput(u"No. 0001"_s);
    QApplication::setActiveWindow(form.get());
    QTest::keyClick(form.get(), Qt::Key_C);
    EXPECT_EQ(shown.left(7), u"ビンゴ！（横1"_s);
}

TEST(ChooseAudienceScreen, TheKeptChoiceElseTheLargestOtherScreen) {
    const QList<ScreenInfo> screens = {
        {u"op"_s, {0, 0, 1920, 1080}}, {u"tv"_s, {0, 0, 1280, 720}}, {u"beamer"_s, {0, 0, 3840, 2160}}};
    const std::tuple<QList<ScreenInfo>, QString, QString, int> rows[] = {
        {screens, u"op"_s, {}, 2},       {screens, u"op"_s, u"tv"_s, 1},     {screens, u"op"_s, u"gone"_s, 2},
        {screens, u"op"_s, u"op"_s, 2},  {screens.mid(0, 1), u"op"_s, {}, -1}, {screens, u"beamer"_s, {}, 0}};
    for (const auto& [list, operatorScreen, preferred, chosen] : rows)
        EXPECT_EQ(chooseAudienceScreen(list, operatorScreen, preferred), chosen)
            << operatorScreen.toStdString() << " " << preferred.toStdString();
}

// The audience's window shows the game the operator plays on the first screen; a correction made on
// the operator's copy reaches both; the screen unplugged mid-turn leaves the turn running on the board
// brought back into the operator's window.
TEST_F(WindowTest, TheBoardOnASecondScreenFollowsTheGameAndComesBackWhenTheScreenGoes) {
    form->controls().selectDrawTimeIndex(2); // "５秒"
    AudienceScreens& screens = form->audienceScreens();
    MainControls& c = form->controls();
    const QString op = screens.operatorScreen();
    screens.place({{op, {0, 0, 1920, 1080}}, {u"tv"_s, {1920, 0, 1280, 720}}});
    QWidget* audience = screens.audienceWindow();
    ASSERT_TRUE(audience && audience->isVisible());
    ASSERT_EQ(&c.stage(), audience);
    EXPECT_TRUE(audience->rect().contains(c.boardBoxes[75]->geometry()));
    EXPECT_EQ(audience->cursor().shape(), Qt::BlankCursor);
    EXPECT_TRUE(audience->findChildren<QMenuBar*>().isEmpty() && audience->findChildren<QPushButton*>().isEmpty());
    for (const QWidget* shown : audience->findChildren<QWidget*>())
        EXPECT_EQ(shown->focusPolicy(), Qt::NoFocus) << shown->objectName().toStdString();
    auto* mirror = form->findChild<BoardMirror*>();
    ASSERT_TRUE(mirror && mirror->isVisible());

    // What a board box looks like on the audience's screen and on the operator's copy.
    const auto seen = [&](int n) {
        const QPoint centre = c.boardBoxes[static_cast<std::size_t>(n)]->geometry().center();
        const QRectF area = mirror->sourceArea();
        const QPointF copied = area.topLeft() + QPointF(centre) * (area.width() / audience->width());
        return std::pair{audience->grab().toImage().pixelColor(centre),
                         mirror->grab().toImage().pixelColor(copied.toPoint())};
    };
    const auto draws = [this] { return control<QLabel>(u"Lbl出た番号")->text().section(u'\n', 1); };
    c.drawButtons[0]->click();
    time.runUntil([&] { return form->game().rouletteState() == RouletteState::Idle; }, 20000);
    ASSERT_EQ(form->game().drawOrder().size(), 1u);
    const int drawn = form->game().drawOrder()[0];
    EXPECT_EQ(seen(drawn), std::pair(kLatest, kLatest));
    EXPECT_EQ(draws(), QString::number(drawn));

    // Hand marking from the copy: a double-click there opens the menu for the box under it.
    const QRectF area = mirror->sourceArea();
    const QPointF at = area.topLeft() + QPointF(c.boardBoxes[5]->geometry().center()) * (area.width() / audience->width());
    QTest::mouseDClick(mirror, Qt::LeftButton, {}, at.toPoint());
    control<QMenu>(u"Menu当り修正")->hide();
    trigger(u"Menu当り");
    EXPECT_EQ(seen(5), std::pair(kDrawn, kDrawn));
    EXPECT_EQ(draws(), QString::number(drawn) + u"  5"_s);
    QTest::keyClicks(control<QLineEdit>(u"Txt参加人数_操作"), u"20"_s);
    EXPECT_EQ(c.participantsBox->text(), u"120"_s);
    correct(drawn, u"Menu解除");
    EXPECT_EQ(seen(drawn), std::pair(kNotDrawn, kNotDrawn));
    EXPECT_EQ(draws(), u"5"_s);

    // The screen goes during a roulette: the board comes back as it was, and the turn ends on time.
    c.drawButtons[0]->click();
    time.advance(2000);
    ASSERT_TRUE(form->game().rouletteRunning());
    screens.place({{op, {0, 0, 1920, 1080}}});
    EXPECT_EQ(&c.stage(), &c.board);
    EXPECT_FALSE(audience->isVisible() || mirror->isVisible());
    EXPECT_TRUE(c.photo->isVisible() && !c.drawButtons[0]->isVisible());
    time.advance(3001);
    EXPECT_EQ(form->game().drawCount(), 2);
    EXPECT_TRUE(c.announcement->isVisible());
    EXPECT_TRUE(c.participantsBox->focusPolicy() != Qt::NoFocus && !c.participantsBox->isReadOnly());

    // Plugged in again during the announcement: the audience gets it there, and the turn ends as due.
    screens.place({{op, {0, 0, 1920, 1080}}, {u"tv"_s, {1920, 0, 1280, 720}}});
    EXPECT_TRUE(&c.stage() == audience && audience->isVisible() && c.announcement->isVisible());
    time.runUntil([&] { return form->game().rouletteState() == RouletteState::Idle; }, 20000);
    EXPECT_EQ(seen(form->game().drawOrder().back()), std::pair(kLatest, kLatest));
}

} // namespace
} // namespace halvora::test
