#include "main_window_fixture.h"

#include <QTest>

namespace halvora {
namespace {

using test::PictureEvent;

class HitMarkingTest : public test::MainWindowTest {
protected:
    // 400 ms into a second of the clock, so that the wait after a marking with effects shows.
    void SetUp() override {
        time.advance(400);
        folder.addSampleMedia();
        random.pushPicks({1, 1, 2, 3, 4}, 4); // the draw-button icons
        ASSERT_TRUE(startWindow());
        time.doEvents(); // the window is exposed
        announcement = control<PictureBox>(u"Pic当り発表");
        recorder.watch(*announcement);
    }
    QString count() const { return text(u"Txt回数"); }
    // The prints of one announcement start with its clear; the texts printed after clear `k`.
    QStringList textsAfterClear(int k) const {
        QStringList texts;
        int clears = 0;
        for (const PictureEvent& e : recorder.events)
            if (e.kind == PictureEvent::Kind::Op && e.op.kind == PictureOp::Kind::Clear)
                ++clears;
            else if (e.kind == PictureEvent::Kind::Op && e.op.kind == PictureOp::Kind::Print && clears == k)
                texts << e.op.text;
        return texts;
    }

    PictureBox* announcement = nullptr;
    test::PictureRecorder recorder{time};
};

TEST_F(HitMarkingTest, CorrectionCommandsFollowTheFlagsAndTheCounter) {
    // Before any double-click there is no target: nothing changes.
    for (const char16_t* command : {u"Menu当り", u"Menu当り_効果付き", u"Menu解除"})
        trigger(command);
    EXPECT_EQ(count(), "0");
    // A double-click selects the number and pops up the correction menu.
    QTest::mouseDClick(box(20), Qt::LeftButton);
    auto* menu = control<QMenu>(u"Menu当り修正");
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    // Each command given twice: the second time changes nothing. With effects on a number already
    // drawn: no announcement, no wait. The next full repaint of the board agrees.
    const std::tuple<const char16_t*, bool, const char*, QColor> steps[] = {
        {u"Menu当り", true, "1", test::kDrawn},           {u"Menu当り", true, "1", test::kDrawn},
        {u"Menu当り_効果付き", true, "1", test::kDrawn},   {u"Menu解除", false, "0", test::kNotDrawn},
        {u"Menu解除", false, "0", test::kNotDrawn}};
    for (const auto& [command, drawn, counter, colour] : steps) {
        trigger(command);
        const QColor shown = back(20);
        form->applyBoardColours();
        EXPECT_EQ(std::tuple(form->game().isDrawn(20), count(), shown, back(20)),
                  std::tuple(drawn, counter, colour, colour))
            << QString::fromUtf16(command).toStdString();
    }
    EXPECT_TRUE(recorder.prints().empty());
    EXPECT_EQ(time.elapsedMs(), 400);

    // With effects: the number's own pattern (12 plays pattern 1, from the top-left corner) in no time
    // of its own, then the box stays up with the board over it until the clock's second has changed twice.
    random.pushPicks({2, 3}, 8); // face, final colour
    bool visibleDuringWait = false;
    time.schedule(1500, [&] { visibleDuringWait = announcement->isVisible() && visibleBoxes() == 75; });
    correct(12, u"Menu当り_効果付き");
    EXPECT_TRUE(form->game().isDrawn(12) && count() == "1" && back(12) == test::kDrawn);
    const std::vector<PictureOp> prints = recorder.prints();
    ASSERT_GT(prints.size(), 10U);
    EXPECT_TRUE(prints.front().text == "12" && prints.front().x == 1 && prints.front().y == 1);
    EXPECT_EQ(prints.back().colour, QColor(255, 255, 0));
    EXPECT_TRUE(visibleDuringWait);
    EXPECT_FALSE(announcement->isVisible());
    EXPECT_EQ(time.elapsedMs(), 3000);
    EXPECT_EQ(visibleBoxes(), 75);
}

TEST_F(HitMarkingTest, AnnouncementStartedDuringAnotherTakesTheBoxOver) {
    // The operator marks 20 with effects while 12's announcement lets events run: one frame of 12,
    // then 20 alone; the older announcement neither draws on nor shows its final copy.
    random.pushPicks({1, 2, 3}, 8);
    time.schedule(0, [this] { correct(20, u"Menu当り_効果付き"); });
    correct(12, u"Menu当り_効果付き");
    EXPECT_EQ(random.remaining(), 0);
    EXPECT_TRUE(count() == "2" && form->game().isDrawn(12) && form->game().isDrawn(20));
    EXPECT_EQ(textsAfterClear(1), QStringList{"12"});
    const QStringList later = textsAfterClear(2);
    ASSERT_GT(later.size(), 10);
    EXPECT_EQ(later.count("20"), later.size());
    EXPECT_FALSE(announcement->isVisible());
    EXPECT_LE(time.elapsedMs(), 6400);

    // A draw's announcement starting inside a manual one keeps the box until the draw cycle ends it.
    recorder.clear();
    random.pushPicks({1}, 8);
    random.pushPicks({9}, 12);
    random.pushPicks({4, 5}, 8);
    time.schedule(0, [this] { form->handMarking().showHitAnnouncement(33); });
    correct(40, u"Menu当り_効果付き");
    EXPECT_EQ(random.remaining(), 0);
    EXPECT_EQ(textsAfterClear(1), QStringList{"40"});
    EXPECT_EQ(textsAfterClear(2).count("33"), textsAfterClear(2).size());
    EXPECT_TRUE(announcement->isVisible() && visibleBoxes() == 0);
}

} // namespace
} // namespace halvora
