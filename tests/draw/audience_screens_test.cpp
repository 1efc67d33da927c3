#include "main_window_fixture.h"

#include "draw/audience_screens.h"
#include "draw/operator_console.h"

#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

namespace halvora {
namespace {

using namespace Qt::StringLiterals;

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

using AudienceScreensTest = test::MainWindowTest;

// The audience's window shows the game the operator plays on the first screen; a correction made on
// the operator's copy reaches both; the screen unplugged mid-turn leaves the turn running on the board
// brought back into the operator's window.
TEST_F(AudienceScreensTest, TheBoardOnASecondScreenFollowsTheGameAndComesBackWhenTheScreenGoes) {
    random.setCounting();
    ASSERT_TRUE(startWindow());
    time.doEvents();
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
    EXPECT_EQ(seen(drawn), std::pair(test::kLatest, test::kLatest));
    EXPECT_EQ(draws(), QString::number(drawn));

    // Hand marking from the copy: a double-click there opens the menu for the box under it.
    const QRectF area = mirror->sourceArea();
    const QPointF at = area.topLeft() + QPointF(c.boardBoxes[5]->geometry().center()) * (area.width() / audience->width());
    QTest::mouseDClick(mirror, Qt::LeftButton, {}, at.toPoint());
    control<QMenu>(u"Menu当り修正")->hide();
    trigger(u"Menu当り");
    EXPECT_EQ(seen(5), std::pair(test::kDrawn, test::kDrawn));
    EXPECT_EQ(draws(), QString::number(drawn) + u"  5"_s);
    QTest::keyClicks(control<QLineEdit>(u"Txt参加人数_操作"), u"20"_s);
    EXPECT_EQ(c.participantsBox->text(), u"120"_s);
    correct(drawn, u"Menu解除");
    EXPECT_EQ(seen(drawn), std::pair(test::kNotDrawn, test::kNotDrawn));
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
    EXPECT_EQ(seen(form->game().drawOrder().back()), std::pair(test::kLatest, test::kLatest));
}

} // namespace
} // namespace halvora
