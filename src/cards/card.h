#pragma once

#include <QString>

#include <array>
#include <functional>
#include <vector>

namespace halvora {

class Random;

// The two ways a card is laid out: the program's own (24 numbers from the whole range, column by
// column) and the B I N G O card players know (a header, each column from its own fifteen numbers).
enum class CardStyle { Classic = 0, Bingo = 1 };

// A card as printed: its 25 squares row by row, 0 for the ☆ in the centre.
struct Card {
    int serial = 0; // 0 before the register gives it one
    CardStyle style = CardStyle::Classic;
    std::array<int, 25> squares{};

    int at(int row, int column) const { return squares[static_cast<std::size_t>(row * 5 + column)]; }
    bool operator==(const Card&) const = default;
};

// Numbers for a card of the given style, taken from `random` in the order the sheet prints them.
Card dealCard(CardStyle style, Random& random);

// "No. 0123".
QString serialText(int serial);
// The serial typed by the operator ("123", "No. 0123", "０１２３"); 0 when it is none.
int parseSerial(const QString& typed);

// The 12 lines of a card: 5 rows, 5 columns and the 2 diagonals, as square indices.
const std::array<std::array<int, 5>, 12>& cardLines();
// "横2行目", "縦4列目", "斜め（＼）", "斜め（／）".
QString lineName(int line);

// A card against the numbers drawn so far (hand corrections included), the ☆ counting as marked.
struct CardVerdict {
    std::vector<int> completeLines;
    int reach = 0;       // lines one number short
    int bingoAtDraw = 0; // the draw (1-based, in the order they came) that completed the first line
};
CardVerdict checkCard(const Card& card, const std::function<bool(int)>& drawn, const std::vector<int>& order);
// 「ビンゴ！（横2行目・縦4列目）」 or 「まだビンゴではありません（リーチ 2）」.
QString verdictText(const CardVerdict& verdict);

// How many issued cards show a line, and how many (without one) are a number short of one.
struct CardCounts {
    int issued = 0;
    int reach = 0;
    int bingo = 0;
    bool operator==(const CardCounts&) const = default;
};

// The issued cards kept as bit masks, so counting them after every draw costs next to nothing.
class IssuedCards {
public:
    void set(const std::vector<Card>& cards);
    void add(const std::vector<Card>& cards);
    CardCounts count(const std::array<bool, 76>& drawn) const;
    int size() const { return static_cast<int>(lines_.size()); }

private:
    struct Mask {
        unsigned long long low = 0, high = 0;
    };
    std::vector<std::array<Mask, 12>> lines_;
};

} // namespace halvora
