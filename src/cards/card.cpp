#include "cards/card.h"

#include "platform/random_pick.h"

#include <QRegularExpression>

#include <bit>

namespace halvora {

namespace {

constexpr int kCentre = 12;

// A random number from first..first+count-1 not yet on the card.
int pickUnused(Random& random, int first, int count, std::array<bool, 76>& used) {
    int n = 0;
    do {
        n = first - 1 + randomPick(random, static_cast<std::int16_t>(count));
    } while (used[static_cast<std::size_t>(n)]);
    used[static_cast<std::size_t>(n)] = true;
    return n;
}

} // namespace

Card dealCard(CardStyle style, Random& random) {
    Card card;
    card.style = style;
    std::array<bool, 76> used{};
    // Column by column, top to bottom, as the sheet is printed.
    for (int column = 0; column < 5; ++column)
        for (int row = 0; row < 5; ++row) {
            const int square = row * 5 + column;
            if (square == kCentre)
                continue;
            card.squares[static_cast<std::size_t>(square)] =
                style == CardStyle::Bingo ? pickUnused(random, 15 * column + 1, 15, used) : pickUnused(random, 1, 75, used);
        }
    return card;
}

QString serialText(int serial) { return QStringLiteral("No. %1").arg(serial, 4, 10, QLatin1Char('0')); }

int parseSerial(const QString& typed) {
    static const QRegularExpression form(QStringLiteral("^\\s*(?:no\\.?\\s*)?(\\d{1,9})\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(typed.normalized(QString::NormalizationForm_KC));
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

const std::array<std::array<int, 5>, 12>& cardLines() {
    static const auto lines = [] {
        std::array<std::array<int, 5>, 12> all{};
        for (int k = 0; k < 5; ++k)
            for (int i = 0; i < 5; ++i) {
                all[static_cast<std::size_t>(k)][static_cast<std::size_t>(i)] = k * 5 + i;     // row k
                all[static_cast<std::size_t>(5 + k)][static_cast<std::size_t>(i)] = i * 5 + k; // column k
            }
        for (int i = 0; i < 5; ++i) {
            all[10][static_cast<std::size_t>(i)] = i * 6;
            all[11][static_cast<std::size_t>(i)] = (i + 1) * 4;
        }
        return all;
    }();
    return lines;
}

QString lineName(int line) {
    if (line < 5)
        return QStringLiteral("横%1行目").arg(line + 1);
    if (line < 10)
        return QStringLiteral("縦%1列目").arg(line - 4);
    return line == 10 ? QStringLiteral("斜め（＼）") : QStringLiteral("斜め（／）");
}

CardVerdict checkCard(const Card& card, const std::function<bool(int)>& drawn, const std::vector<int>& order) {
    CardVerdict verdict;
    const auto drawPosition = [&order](int n) {
        for (std::size_t i = 0; i < order.size(); ++i)
            if (order[i] == n)
                return static_cast<int>(i) + 1;
        return 0;
    };
    for (int line = 0; line < 12; ++line) {
        int missing = 0, completedAt = 0;
        for (const int square : cardLines()[static_cast<std::size_t>(line)]) {
            const int n = card.squares[static_cast<std::size_t>(square)];
            if (n == 0)
                continue; // the ☆
            if (!drawn(n))
                ++missing;
            completedAt = std::max(completedAt, drawPosition(n));
        }
        if (missing == 1)
            ++verdict.reach;
        if (missing > 0)
            continue;
        verdict.completeLines.push_back(line);
        if (verdict.bingoAtDraw == 0 || completedAt < verdict.bingoAtDraw)
            verdict.bingoAtDraw = completedAt;
    }
    return verdict;
}

QString verdictText(const CardVerdict& verdict) {
    if (verdict.completeLines.empty())
        return QStringLiteral("まだビンゴではありません（リーチ %1）").arg(verdict.reach);
    QStringList names;
    for (const int line : verdict.completeLines)
        names << lineName(line);
    return QStringLiteral("ビンゴ！（") + names.join(QStringLiteral("・")) + QStringLiteral("）");
}

void IssuedCards::set(const std::vector<Card>& cards) {
    lines_.clear();
    add(cards);
}

void IssuedCards::add(const std::vector<Card>& cards) {
    for (const Card& card : cards) {
        std::array<Mask, 12> masks{};
        for (std::size_t line = 0; line < 12; ++line)
            for (const int square : cardLines()[line]) {
                const int n = card.squares[static_cast<std::size_t>(square)];
                if (n >= 64)
                    masks[line].high |= 1ULL << (n - 64);
                else if (n > 0)
                    masks[line].low |= 1ULL << n;
            }
        lines_.push_back(masks);
    }
}

CardCounts IssuedCards::count(const std::array<bool, 76>& drawn) const {
    Mask missing{~0ULL, ~0ULL};
    for (int n = 1; n <= 75; ++n)
        if (drawn[static_cast<std::size_t>(n)])
            (n >= 64 ? missing.high : missing.low) &= ~(1ULL << (n >= 64 ? n - 64 : n));
    CardCounts counts;
    counts.issued = size();
    for (const auto& card : lines_) {
        bool bingo = false, reach = false;
        for (const Mask& line : card) {
            const int short_ = std::popcount(line.low & missing.low) + std::popcount(line.high & missing.high);
            bingo = bingo || short_ == 0;
            reach = reach || short_ == 1;
        }
        counts.bingo += bingo ? 1 : 0;
        counts.reach += !bingo && reach ? 1 : 0;
    }
    return counts;
}

} // namespace halvora
