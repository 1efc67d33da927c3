#include "main_window_fixture.h"

#include <QApplication>
#include <QDialog>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace halvora {
namespace {

using test::kDrawn;
using test::kLatest;

enum TimeOption { Auto = 0, TenSeconds = 1, FiveSeconds = 2, Manual = 3 };

struct Entry {
    QString file;
    std::int32_t start = 0;
    std::int32_t playSeconds = 0;
};

class DrawCycleTest : public test::MainWindowTest {
protected:
    // The window after start-up with the given options and media list, in list order.
    void start(TimeOption drawTime, int numbers, const std::vector<Entry>& entries) {
        folder.addSampleMedia();
        random.setCounting();
        ASSERT_TRUE(startWindow());
        time.doEvents();
        form->controls().selectDrawTimeIndex(drawTime);
        form->controls().selectHitCountIndex(4 - numbers);
        form->controls().setAvRandom(false);
        form->controls().setPictureRandom(false);
        setList(entries);
        ShowSetup& s = form->show();
        s.pictures.count = 2;
        s.pictures.files[1] = folder.file(QStringLiteral("SPG1.jpg"));
        s.pictures.files[2] = folder.file(QStringLiteral("SPG2.jpg"));
    }
    void setList(const std::vector<Entry>& entries) {
        AvList& av = form->show().av;
        av.count = static_cast<std::int16_t>(entries.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            av.files[i + 1] = entries[i].file;
            av.starts[i + 1] = entries[i].start;
            av.playSeconds[i + 1] = entries[i].playSeconds;
        }
    }

    QPushButton* stop() const { return control<QPushButton>(u"CmdStop"); }
    void press() const { control<QPushButton>(u"Command1_2")->click(); }
    void chooseTime(TimeOption option) const {
        control<QRadioButton>(QStringLiteral("Opt抽選時間_%1").arg(int(option)))->click();
    }
    // All four draw buttons shown and usable, or all gone.
    bool buttons(bool shown) const {
        for (int b = 0; b < 4; ++b) {
            const auto* button = control<QPushButton>(QStringLiteral("Command1_%1").arg(b));
            if (button->isVisible() != shown || button->isEnabled() != shown)
                return false;
        }
        return true;
    }
    int drawn() const { return form->game().drawCount(); }
    // Runs until the draw count reaches `count`; returns the instant.
    qint64 untilDrawn(int count) {
        time.runUntil([&] { return drawn() >= count; }, 120000, QStringLiteral("draw %1").arg(count));
        return time.elapsedMs();
    }
    // Runs `check` at an instant of the time line: inside whatever wait the program is in then.
    void at(qint64 ms, std::function<void()> check) {
        time.schedule(static_cast<int>(ms - time.elapsedMs()), std::move(check));
    }
    void drawnAt(qint64 ms, int count) {
        at(ms, [this, ms, count] { EXPECT_EQ(drawn(), count) << "at " << ms << " ms"; });
    }
    qint64 untilIdle() {
        time.runUntil([&] { return form->game().rouletteState() == RouletteState::Idle; }, 120000, QStringLiteral("board back"));
        return time.elapsedMs();
    }
    std::int16_t shownNumber() const { return static_cast<std::int16_t>(text(u"Text2").toInt()); }
    QStringList logLines() const {
        return QString::fromLatin1(test::readBytes(form->game().historyLogPath())).split(QStringLiteral("\r\n"));
    }
    // The media calls so far, each as its verb and file name: "open m1.mp3".
    QStringList played() const {
        QStringList out;
        for (const QString& call : media.calls()) {
            const QString verb = call.section(QLatin1Char(' '), 0, 0);
            QString file = call.mid(verb.size() + 1).section(QLatin1Char('/'), -1);
            if (verb == QLatin1String("seek"))
                file = file.section(QLatin1Char(' '), 0, -2);
            out << (verb + QLatin1Char(' ') + file).trimmed();
        }
        return out;
    }
    QString path(const char* name) const { return folder.file(QString::fromUtf8(name)); }
};

// The first photo of the list is larger than the decoder takes at its own size (the limit is lowered
// so that a small file stands for one from a modern camera): it is read at the size it is shown at.
TEST_F(DrawCycleTest, OneNumberWithMusicAndALargePhotoInFiveSeconds) {
    start(FiveSeconds, 1, {{path("m1.mp3"), 5, 30}});
    QImage large(2400, 1800, QImage::Format_RGB32);
    large.fill(Qt::blue);
    ASSERT_TRUE(large.save(path("large.jpg")));
    form->show().pictures.files[1] = path("large.jpg");
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(8); // megabytes: the file needs 17 at its own size
    press();
    QImageReader::setAllocationLimit(limit);
    EXPECT_EQ(played(), QStringList({"open m1.mp3", "seek m1.mp3", "play m1.mp3"}));
    EXPECT_TRUE(media.calls().at(1).endsWith(QStringLiteral(" 5")));
    EXPECT_TRUE(buttons(false) && stop()->isEnabled());
    EXPECT_TRUE(!control(u"Text2")->isVisible() && visibleBoxes() == 0);
    auto* photo = control<QLabel>(u"Img背景画像");
    EXPECT_TRUE(photo->isVisible() && photo->pixmap().size() == QSize(2400, 1800).scaled(photo->size(), Qt::KeepAspectRatio));
    EXPECT_GT(photo->pixmap().toImage().pixelColor(10, 10).blue(), 240);

    // A candidate every 500 ms, shown for 250 ms in the drawn colours, its number in the panel.
    time.advance(250);
    ASSERT_EQ(visibleBoxes(), 1);
    EXPECT_EQ(back(shownNumber()), kDrawn);
    time.advance(250);
    EXPECT_EQ(visibleBoxes(), 0);

    EXPECT_EQ(untilDrawn(1), 5000);
    const std::int16_t n = shownNumber();
    EXPECT_EQ(text(u"Txt回数"), QStringLiteral("1"));
    // The last number of the turn: the buttons are back at once, the board and the music stay away
    // until the announcement's end.
    EXPECT_TRUE(buttons(true) && !stop()->isEnabled());
    EXPECT_TRUE(control(u"Pic当り発表")->isVisible() && visibleBoxes() == 0 && played().size() == 3);

    EXPECT_EQ(untilIdle(), 13000);
    EXPECT_TRUE(control(u"Text2")->isVisible() && visibleBoxes() == 75);
    EXPECT_EQ(back(n), kLatest);
    EXPECT_FALSE(control(u"Pic当り発表")->isVisible() || photo->isVisible());
    EXPECT_EQ(played().last(), QStringLiteral("close m1.mp3"));
    EXPECT_EQ(time.runningTimers(), 0);
}

TEST_F(DrawCycleTest, FourNumbersWithVideoStoppedByHandThenExitDuringATurn) {
    start(Manual, 4, {{path("clip.AVI"), 3, 20}});
    press();
    EXPECT_TRUE(control(u"Pic動画")->isVisible() && stop()->isVisible() && stop()->isEnabled());
    // Nothing but STOP ends a manual draw.
    time.advance(30000);
    EXPECT_EQ(drawn(), 0);
    stop()->click();
    EXPECT_FALSE(stop()->isEnabled());
    // Each further number: the announcement's 8 s, then a one-second roulette; STOP stays off.
    std::vector<std::int16_t> numbers;
    for (int k = 1; k <= 4; ++k) {
        const qint64 fixed = 30600 + (k - 1) * 9000;
        drawnAt(fixed - 1, k - 1);
        at(fixed + 1, [this, k, &numbers] {
            EXPECT_EQ(drawn(), k);
            numbers.push_back(shownNumber());
            EXPECT_FALSE(stop()->isEnabled());
            EXPECT_EQ(buttons(true), k == 4);
            EXPECT_EQ(visibleBoxes(), 0);
        });
    }
    EXPECT_EQ(untilIdle(), 30600 + 3 * 9000 + 8000);
    ASSERT_EQ(numbers.size(), 4U);
    EXPECT_EQ(played().last(), QStringLiteral("close clip.AVI"));
    EXPECT_FALSE(control(u"Pic動画")->isVisible());
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 6);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(back(numbers[std::size_t(k)]), kLatest);
        EXPECT_EQ(lines[k + 1], QStringLiteral("%1 : %2").arg(k + 1, 3).arg(numbers[std::size_t(k)], 3));
    }
    press();
    for (std::int16_t n : numbers)
        EXPECT_EQ(back(n), kDrawn);

    // Exit confirmed during the next turn's first announcement ends the show there: nothing more is
    // drawn, logged or played, and a click still queued starts nothing.
    stop()->click();
    at(time.elapsedMs() + 2000, [this] {
        ASSERT_EQ(drawn(), 5);
        dialogs.answerNextMessage(Answer::Yes);
        trigger(u"menu終了");
    });
    time.advance(70000);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(drawn(), 5);
    EXPECT_EQ(logLines().size(), 7);
    EXPECT_EQ(played().last(), QStringLiteral("close clip.AVI"));
    EXPECT_EQ(played().count(QStringLiteral("play clip.AVI")), 2);
    EXPECT_EQ(time.runningTimers(), 0);
    press();
    EXPECT_EQ(played().count(QStringLiteral("open clip.AVI")), 2);
}

TEST_F(DrawCycleTest, AutomaticDrawTimeFollowsThePlayTime) {
    start(Auto, 1, {});
    // Last, an empty list: it plays its empty entry as music for 60 s, and the photo stays up.
    auto tune = [this](int playSeconds) { return std::vector<Entry>{{path("m.mp3"), 0, playSeconds}}; };
    const std::pair<std::vector<Entry>, qint64> rows[] = {
        {tune(90), 60000}, {tune(0), 60000}, {tune(-5), 60000}, {tune(12), 12000}, {{}, 60000}};
    for (const auto& [entries, endMs] : rows) {
        setList(entries);
        media.clear();
        const qint64 pressed = time.elapsedMs();
        press();
        EXPECT_EQ(untilDrawn(drawn() + 1) - pressed, endMs) << played().join(u',').toStdString();
        untilIdle();
    }
    EXPECT_EQ(media.calls(), QStringList({"open ", "seek  0", "play ", "close "}));
    EXPECT_TRUE(control<QLabel>(u"Img背景画像")->isVisible());
}

// The entry follows the draws so far (two a turn: every other one), or the random pick.
TEST_F(DrawCycleTest, MediaFollowsTheListByNumbersDrawnOrAtRandom) {
    start(FiveSeconds, 2, {{path("1.mp3")}, {path("2.mp3")}, {path("3.mp3")}});
    for (int t = 0; t < 2; ++t) {
        press();
        untilIdle();
    }
    EXPECT_EQ(played().filter(QStringLiteral("open")), QStringList({"open 1.mp3", "open 3.mp3"}));

    form->controls().setAvRandom(true);
    form->controls().setPictureRandom(true);
    random.pushPicks({3}, 3); // list order would give 2.mp3 and SPG1.jpg
    random.pushPicks({2}, 2);
    media.clear();
    press();
    EXPECT_EQ(played().first(), QStringLiteral("open 3.mp3"));
    const QPixmap shown = control<QLabel>(u"Img背景画像")->pixmap();
    EXPECT_EQ(shown.toImage(), QImage(path("SPG2.jpg")).convertToFormat(shown.toImage().format()));
}

TEST_F(DrawCycleTest, TheLastNumbersOfTheGameEndTheTurnAndThenTheGame) {
    start(FiveSeconds, 4, {{path("m.mp3")}});
    for (int n = 1; n <= 75; ++n)
        if (n != 10 && n != 50)
            form->game().markByHand(n);
    press();
    at(14001, [this] { EXPECT_TRUE(buttons(true)); });
    EXPECT_EQ(untilIdle(), 22000);
    EXPECT_TRUE(form->game().isDrawn(10) && form->game().isDrawn(50));

    media.clear();
    press();
    ASSERT_EQ(dialogs.messages().size(), 1U);
    EXPECT_EQ(dialogs.messages()[0].prompt, QStringLiteral("すべての番号が出ました。"));
    EXPECT_TRUE(media.calls().isEmpty() && buttons(true));

    // Corrections that leave nothing undrawn during a roulette end the turn without a booking.
    form->game().clearByHand(10);
    press();
    time.advance(600);
    form->game().markByHand(10);
    time.advance(500);
    EXPECT_EQ(drawn(), 2);
    EXPECT_TRUE(buttons(true) && visibleBoxes() == 75);
    EXPECT_EQ(time.runningTimers(), 0);
}

TEST_F(DrawCycleTest, PressesNeverOverlapTurnsOrStrandAPlayer) {
    start(FiveSeconds, 1, {{path("a.avi")}, {path("b.mp3")}});
    // A second press while the video starts (events run there) is ignored.
    time.schedule(0, [this] { press(); });
    press();
    EXPECT_EQ(played().count(QStringLiteral("open a.avi")), 1);
    EXPECT_EQ(untilDrawn(1), 5000);

    // A press during the last announcement starts the next turn at once; the earlier turn's video
    // is closed and its announcement taken down.
    time.advance(2000);
    press();
    EXPECT_EQ(played().mid(4, 2), QStringList({"close a.avi", "open b.mp3"}));
    EXPECT_FALSE(control(u"Pic当り発表")->isVisible() || control(u"Pic動画")->isVisible());
    // The earlier announcement's end never comes: the new roulette goes on.
    at(11500, [this] { EXPECT_EQ(form->game().drawsLeftInTurn(), 1); });
    EXPECT_EQ(untilDrawn(2), 12000);
    at(13001, [this] { EXPECT_EQ(visibleBoxes(), 0); });
    untilIdle();
    EXPECT_EQ(played().count(QStringLiteral("close b.mp3")), 1);
    EXPECT_EQ(visibleBoxes(), 75);
}

TEST_F(DrawCycleTest, DrawTimeOptionsAndStopDuringTheRoulette) {
    start(FiveSeconds, 2, {{path("m.mp3")}});
    press();
    // Choosing "手動" mid-draw shows STOP, enabled since the turn began; STOP ends it 600 ms on.
    at(1000, [this] {
        chooseTime(Manual);
        EXPECT_TRUE(stop()->isVisible() && stop()->isEnabled());
    });
    at(2000, [this] { stop()->click(); });
    drawnAt(2601, 1);
    untilIdle();

    // STOP during an announcement would book the same number twice: it does nothing.
    qint64 pressed = time.elapsedMs();
    chooseTime(FiveSeconds);
    press();
    at(pressed + 6000, [this] {
        chooseTime(Manual);
        EXPECT_TRUE(stop()->isEnabled());
        stop()->click();
    });
    drawnAt(pressed + 14001, 4);
    untilIdle();
    EXPECT_EQ(logLines().size(), 6);

    // Leaving "手動" during a manual draw hides STOP and leaves nothing to end the draw.
    form->controls().selectHitCountIndex(3);
    pressed = time.elapsedMs();
    press();
    chooseTime(TenSeconds);
    EXPECT_FALSE(stop()->isVisible());
    time.advance(30000);
    EXPECT_EQ(drawn(), 4);
    chooseTime(Manual);
    stop()->click();
    EXPECT_EQ(untilDrawn(5) - pressed, 30600);
}

// A marking with effects during an announcement: the turn goes on, on time.
TEST_F(DrawCycleTest, HandMarkingDuringATurnKeepsItsTimes) {
    start(FiveSeconds, 2, {{path("m.mp3")}});
    press();
    at(6000, [&] {
        const int other = shownNumber() == 75 ? 1 : shownNumber() + 1;
        correct(other, u"Menu当り_効果付き");
        EXPECT_TRUE(form->game().isDrawn(other));
    });
    drawnAt(14001, 2);
    EXPECT_EQ(untilIdle(), 22000);
    EXPECT_EQ(text(u"Txt回数"), QStringLiteral("3"));
}

// A presenter remote (PageDown) or the keyboard runs the show as the mouse would.
TEST_F(DrawCycleTest, PresenterKeysDrawAndStopAsClicksWould) {
    start(Manual, 1, {{path("a.avi")}, {path("m.mp3")}});
    QApplication::setActiveWindow(form.get());
    // As the window system does: the key goes to the widget with the focus.
    const auto key = [this](Qt::Key k) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : form.get(), k);
    };
    auto* option = control<QRadioButton>(u"Opt当たり数_3");
    option->setFocus(); // the operator clicked an option button
    // A key during the video's start is ignored; STOP by PageDown ends the manual draw 600 ms later.
    time.schedule(0, [&] { key(Qt::Key_PageDown); });
    key(Qt::Key_PageDown);
    EXPECT_EQ(played().count(QStringLiteral("open a.avi")), 1);
    at(2000, [&] { key(Qt::Key_PageDown); });
    EXPECT_EQ(untilDrawn(1), 2600);
    // During the announcement, with the buttons already back, nothing; afterwards Space and Enter draw.
    key(Qt::Key_PageDown);
    EXPECT_EQ(played().count(QStringLiteral("open m.mp3")), 0);
    untilIdle();
    for (const Qt::Key next : {Qt::Key_Space, Qt::Key_Return}) {
        key(next);
        EXPECT_TRUE(buttons(false)) << next;
        key(Qt::Key_PageDown);
        untilIdle();
    }
    EXPECT_EQ(drawn(), 3);

    // Keys 1..4 choose the numbers per turn; in the participants box keys type, Enter included.
    key(Qt::Key_4);
    EXPECT_TRUE(control<QRadioButton>(u"Opt当たり数_0")->isChecked());
    auto* participants = control<QLineEdit>(u"Txt参加人数");
    participants->setFocus();
    participants->clear();
    for (const Qt::Key k : {Qt::Key_2, Qt::Key_Space, Qt::Key_Return})
        key(k);
    EXPECT_EQ(participants->text(), QStringLiteral("2 "));
    EXPECT_TRUE(control<QRadioButton>(u"Opt当たり数_0")->isChecked() && buttons(true));

    // Never while a dialog is open; nothing, not even a message, once every number is out.
    QDialog box(form.get());
    box.setModal(true);
    box.show();
    key(Qt::Key_PageDown);
    box.hide();
    for (int n = 1; n <= 75; ++n)
        form->game().markByHand(n);
    key(Qt::Key_PageDown);
    EXPECT_TRUE(buttons(true) && dialogs.messages().empty());
    EXPECT_EQ(drawn(), 3);
}

} // namespace
} // namespace halvora
