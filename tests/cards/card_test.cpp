#include "cards/card.h"
#include "cards/card_check_window.h"
#include "cards/card_register.h"
#include "platform/random.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <set>

namespace halvora {
namespace {

using namespace Qt::StringLiterals;

// Rows of 1..5, 16..20, …: square (row, column) holds 15 * column + row + 1, the ☆ in the centre.
Card bingoCard() {
    Card card;
    card.style = CardStyle::Bingo;
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 5; ++column)
            card.squares[static_cast<std::size_t>(row * 5 + column)] = row == 2 && column == 2 ? 0 : 15 * column + row + 1;
    return card;
}

TEST(CardVerdict, LinesReachesAndTheDrawThatCompletedTheFirstLine) {
    struct Row {
        const char* what;
        std::vector<int> order; // the numbers drawn, in the order they came
        QString text;
        int bingoAtDraw;
    };
    const Row rows[] = {
        {"nothing drawn", {}, u"まだビンゴではありません（リーチ 0）"_s, 0},
        {"row 2", {17, 47, 32, 62, 2}, u"ビンゴ！（横2行目）"_s, 5},
        {"column 4 and a reach", {46, 47, 48, 49, 50}, u"ビンゴ！（縦4列目）"_s, 5},
        {"the ☆ counts in row 3", {3, 18, 48, 63}, u"ビンゴ！（横3行目）"_s, 4},
        {"both diagonals", {1, 17, 49, 65, 61, 47, 19, 5}, u"ビンゴ！（斜め（＼）・斜め（／））"_s, 4},
        {"row 1 and column 1, the first", {1, 16, 31, 46, 61, 2, 3, 4, 5}, u"ビンゴ！（横1行目・縦1列目）"_s, 5},
        {"two reaches", {1, 16, 31, 46, 2, 3, 4}, u"まだビンゴではありません（リーチ 2）"_s, 0},
    };
    const Card card = bingoCard();
    for (const Row& row : rows) {
        std::array<bool, 76> drawn{};
        for (const int n : row.order)
            drawn[static_cast<std::size_t>(n)] = true;
        const CardVerdict verdict = checkCard(card, [&](int n) { return drawn[static_cast<std::size_t>(n)]; }, row.order);
        EXPECT_EQ(verdictText(verdict), row.text) << row.what;
        EXPECT_EQ(verdict.bingoAtDraw, row.bingoAtDraw) << row.what;
    }
}

// Claims by serial: a corrected mark counts as on the board; unknown, malformed and void serials are told.
TEST(CardVerdict, ClaimsByTheSerialTheOperatorTypes) {
    test::ProgramFolder folder;
    CardRegister cards(folder.file(u"Halvora.cards"_s));
    ASSERT_EQ(cards.open(), CardRegister::Opened::Ready);
    std::vector<Card> job = {bingoCard(), bingoCard()};
    const int id = cards.registerJob(job);
    cards.endJob(id, true);
    std::vector<Card> cancelled = {bingoCard()};
    cards.endJob(cards.registerJob(cancelled), false);

    std::array<bool, 76> drawn{};
    std::vector<int> order = {16, 17, 18, 19, 20};
    for (const int n : order)
        drawn[static_cast<std::size_t>(n)] = true;
    drawn[18] = false; // cleared by hand
    const std::tuple<QString, QString, QString> claims[] = {
        {u"1"_s, u"まだビンゴではありません（リーチ 1）"_s, {}},
        {u"No. 0002"_s, u"まだビンゴではありません（リーチ 1）"_s, {}},
        {u"３"_s, u"無効なカードです。"_s, u"印刷が取り消されたか、失敗した印刷のカードです。"_s},
        {u"4"_s, u"このカード番号は発行されていません。"_s, {}},
        {u"12a"_s, u"このカード番号は発行されていません。"_s, {}},
    };
    for (const auto& [typed, headline, detail] : claims) {
        const CardCheck check = checkClaim(&cards, parseSerial(typed), drawn, order);
        EXPECT_EQ(check.headline, headline) << typed.toStdString();
        EXPECT_EQ(check.detail, detail) << typed.toStdString();
    }
    drawn[18] = true; // marked again by hand, after 20
    order = {16, 17, 19, 20, 18};
    EXPECT_EQ(checkClaim(&cards, 1, drawn, order).detail, u"5個目の数字（18）でビンゴになりました。"_s);
}

// Dealt cards hold 24 distinct numbers (the B I N G O card's in their columns' ranges), and the live
// counts agree with checking every card one by one.
TEST(IssuedCards, CountsAgreeWithEachCardsVerdict) {
    MersenneRandom random;
    random.seed(7);
    std::vector<Card> cards;
    for (int k = 0; k < 400; ++k)
        cards.push_back(dealCard(k % 2 ? CardStyle::Bingo : CardStyle::Classic, random));
    for (const Card& card : cards) {
        std::set<int> numbers;
        for (int square = 0; square < 25; ++square) {
            const int n = card.squares[static_cast<std::size_t>(square)];
            EXPECT_EQ(n == 0, square == 12);
            if (card.style == CardStyle::Bingo && n != 0) {
                EXPECT_EQ((n - 1) / 15, square % 5) << n;
            }
            numbers.insert(n);
        }
        EXPECT_EQ(numbers.size(), 25u);
    }
    IssuedCards issued;
    issued.set(cards);
    std::array<bool, 76> drawn{};
    for (int n = 1; n <= 75; n += 2) {
        drawn[static_cast<std::size_t>(n)] = true;
        CardCounts expected{400, 0, 0};
        for (const Card& card : cards) {
            const CardVerdict v = checkCard(card, [&](int k) { return drawn[static_cast<std::size_t>(k)]; }, {});
            expected.bingo += v.completeLines.empty() ? 0 : 1;
            expected.reach += v.completeLines.empty() && v.reach > 0 ? 1 : 0;
        }
        EXPECT_EQ(issued.count(drawn), expected) << n;
    }
}

} // namespace
} // namespace halvora
