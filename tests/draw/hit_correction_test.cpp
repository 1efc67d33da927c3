#include "main_window_fixture.h"

#include "platform/picture_box.h"

#include <QMenu>
#include <QTest>

namespace halvora {
namespace {

using test::kDrawn;
using test::kNotDrawn;
using test::PictureEvent;

class HitMarkingTest : public test::MainWindowTest {
protected:
    void start(int startMs = 0) {
        time.setNow(test::VirtualTime::defaultStart().addMSecs(startMs));
        folder.addSampleMedia();
        random.pushPicks({1, 1, 2, 3, 4}, 4); // the draw-button icons
        ASSERT_TRUE(startWindow());
        time.doEvents(); // the window is exposed
        announcement = control<PictureBox>(u"Pic当り発表");
        recorder.watch(*announcement);
    }
    QString count() const { return text(u"Txt回数"); }
    void setCount(const QString& value) const { setText(u"Txt回数", value); }
    // Double-clicks board box n and closes the pop-up it opened.
    void select(int n) const {
        form->hitCorrection().Text1_DblClick(n, {});
        control<QMenu>(u"Menu当り修正")->hide();
    }
    bool boardVisible() const { return visibleBoxes() == 75; }
    bool boardHidden() const { return visibleBoxes() == 0; }
    // The prints of one announcement start with its clear; returns the texts printed after clear `k`.
    QStringList textsAfterClear(int k) const {
        QStringList texts;
        int clears = 0;
        for (const PictureEvent& e : recorder.events) {
            if (e.kind != PictureEvent::Kind::Op)
                continue;
            if (e.op.kind == PictureOp::Kind::Clear)
                ++clears;
            else if (e.op.kind == PictureOp::Kind::Print && clears == k)
                texts << e.op.text;
        }
        return texts;
    }

    PictureBox* announcement = nullptr;
};

TEST_F(HitMarkingTest, CorrectionCommandsFollowTheFlagsAndTheCounter) {
    start();
    // Before any double-click there is no target: nothing changes.
    trigger(u"Menu当り");
    trigger(u"Menu当り_効果付き");
    trigger(u"Menu解除");
    EXPECT_EQ(count(), QStringLiteral("0"));
    EXPECT_TRUE(recorder.prints().empty());

    // A double-click selects the number and pops up the correction menu.
    QTest::mouseDClick(box(20), Qt::LeftButton);
    EXPECT_EQ(form->state().SelectedNumber, 20);
    auto* menu = control<QMenu>(u"Menu当り修正");
    EXPECT_TRUE(menu->isVisible());
    menu->hide();

    // A command given twice: the second time changes nothing.
    auto twice = [this](QStringView command, std::int16_t flag, const QString& counter, const QColor& colour) {
        for (int k = 0; k < 2; ++k) {
            trigger(command);
            EXPECT_EQ(form->state().DrawnFlag[20], flag) << k;
            EXPECT_EQ(count(), counter) << k;
            EXPECT_EQ(back(20), colour) << k;
        }
    };
    // Set hit: drawn colours, flag, count.
    twice(u"Menu当り", 1, QStringLiteral("1"), kDrawn);
    // With effects on a number that is already a hit: no announcement, no wait.
    trigger(u"Menu当り_効果付き");
    EXPECT_EQ(count(), QStringLiteral("1"));
    EXPECT_TRUE(recorder.prints().empty());
    EXPECT_EQ(time.elapsedMs(), 0);
    // The next full repaint of the board agrees with the correction.
    form->ApplyBoardColours();
    EXPECT_EQ(back(20), kDrawn);

    // Cancel hit: back to the colours of a number not drawn.
    twice(u"Menu解除", 0, QStringLiteral("0"), kNotDrawn);

    // The counter text is the source of its value: no lower bound, and a text without a number is 0.
    select(30);
    trigger(u"Menu当り");
    setCount(QStringLiteral("0"));
    trigger(u"Menu解除");
    EXPECT_EQ(count(), QStringLiteral("-1"));
    setCount(QStringLiteral("回"));
    trigger(u"Menu当り");
    EXPECT_EQ(count(), QStringLiteral("1"));
    EXPECT_EQ(form->state().DrawCount, 0);
}

TEST_F(HitMarkingTest, SetHitWithEffectsPlaysThePatternOfTheNumberAndHidesTheBoxAfterTwoToThreeSeconds) {
    start(400);
    select(12);
    random.pushPicks({2, 3}, 8); // face, final colour
    bool visibleDuringWait = false;
    time.schedule(1500, [&] { visibleDuringWait = announcement->isVisible() && boardVisible(); });
    trigger(u"Menu当り_効果付き");

    EXPECT_EQ(form->state().DrawnFlag[12], 1);
    EXPECT_EQ(count(), QStringLiteral("1"));
    EXPECT_EQ(back(12), kDrawn);
    // 12 plays pattern 1: from the top-left corner, down and to the right.
    const std::vector<PictureOp> prints = recorder.prints();
    ASSERT_GT(prints.size(), 10U);
    EXPECT_EQ(prints.front().text, QStringLiteral("12"));
    EXPECT_EQ(prints.front().x, 1);
    EXPECT_EQ(prints.front().y, 1);
    EXPECT_EQ(prints.front().face, QStringLiteral("@HGP創英角ﾎﾟｯﾌﾟ体"));
    EXPECT_EQ(prints.back().colour, QColor(255, 255, 0));
    // The pattern takes no time of its own; the box stays up with the board over it, then goes.
    qint64 patternEnd = -1;
    for (const PictureEvent& e : recorder.events)
        if (e.kind == PictureEvent::Kind::Op)
            patternEnd = e.ms;
    EXPECT_EQ(patternEnd, 0);
    EXPECT_TRUE(visibleDuringWait);
    EXPECT_FALSE(announcement->isVisible());
    EXPECT_GE(time.elapsedMs() - patternEnd, 2000);
    EXPECT_LE(time.elapsedMs() - patternEnd, 3000);
    EXPECT_EQ(time.elapsedMs(), 2600); // just after the clock's second changed for the second time
    EXPECT_TRUE(boardVisible());
}

TEST_F(HitMarkingTest, DrawAnnouncementHidesTheBoardAndPlaysARandomPattern) {
    start();
    random.pushPicks({3}, 12);
    random.pushPicks({1, 8}, 8);
    form->hitCorrection().ShowHitAnnouncement(7);
    EXPECT_EQ(random.remaining(), 0);
    EXPECT_TRUE(boardHidden());
    EXPECT_TRUE(announcement->isVisible());
    // Pattern 3: from the left edge at three quarters of the height, up and to the right.
    const double h = announcement->scaleHeight();
    const std::vector<PictureOp> prints = recorder.prints();
    ASSERT_FALSE(prints.empty());
    EXPECT_EQ(prints.front().text, QStringLiteral("07"));
    EXPECT_EQ(prints.front().x, 1);
    EXPECT_NEAR(prints.front().y, h - h / 4 - 1, 1e-4);
    EXPECT_EQ(prints.back().colour, QColor(0, 255, 128));
    EXPECT_EQ(time.elapsedMs(), 0);
}

TEST_F(HitMarkingTest, AnnouncementStartedDuringAnotherTakesTheBoxOver) {
    start();
    // The operator marks 20 with effects while 12's announcement lets events run.
    select(12);
    random.pushPicks({1, 2, 3}, 8);
    time.schedule(0, [this] {
        select(20);
        form->hitCorrection().Menu当り_効果付き_Click();
    });
    trigger(u"Menu当り_効果付き");
    EXPECT_EQ(random.remaining(), 0);
    EXPECT_EQ(count(), QStringLiteral("2"));
    EXPECT_EQ(form->state().DrawnFlag[12], 1);
    EXPECT_EQ(form->state().DrawnFlag[20], 1);
    // One frame of 12, then 20 alone: the older announcement neither draws on nor shows its final copy.
    EXPECT_EQ(textsAfterClear(1), QStringList{QStringLiteral("12")});
    const QStringList later = textsAfterClear(2);
    ASSERT_GT(later.size(), 10);
    EXPECT_EQ(later.count(QStringLiteral("20")), later.size());
    EXPECT_FALSE(announcement->isVisible());
    EXPECT_LE(time.elapsedMs(), 6000);

    // A draw's announcement starting inside a manual one keeps the box until the draw cycle ends it.
    recorder.clear();
    select(40);
    random.pushPicks({1}, 8);
    random.pushPicks({9}, 12);
    random.pushPicks({4, 5}, 8);
    time.schedule(0, [this] { form->hitCorrection().ShowHitAnnouncement(33); });
    trigger(u"Menu当り_効果付き");
    EXPECT_EQ(random.remaining(), 0);
    EXPECT_EQ(textsAfterClear(1), QStringList{QStringLiteral("40")});
    EXPECT_EQ(textsAfterClear(2).count(QStringLiteral("33")), textsAfterClear(2).size());
    EXPECT_TRUE(announcement->isVisible());
    EXPECT_TRUE(boardHidden());
}

} // namespace
} // namespace halvora
