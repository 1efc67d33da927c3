#include "main_window_fixture.h"

#include "cards/card_check_window.h"
#include "cards/card_register.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

namespace halvora {
namespace {

using namespace Qt::StringLiterals;

using CardClaimsTest = test::MainWindowTest;

// Cards printed from the window are registered; the counts under the board follow the hand markings,
// and a claim checked by the presenter's C shows the card's verdict until Esc.
TEST_F(CardClaimsTest, PrintedCardsAreCountedAndAClaimIsChecked) {
    random.setCounting();
    ASSERT_TRUE(startWindow());
    time.doEvents();
    trigger(u"MenuBINGOカード");
    dialogs.answerNextInput(u"1"_s);
    trigger(u"ビンゴカード発行");
    EXPECT_TRUE(printer.lines.contains(u"text B"_s) && printer.lines.contains(u"text No. 0002"_s));
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

} // namespace
} // namespace halvora
