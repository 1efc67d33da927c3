#include "game/game.h"

#include "common/number_text.h"
#include "platform/random_pick.h"

#include <algorithm>

namespace halvora {

namespace {

// Random candidates tried before the roulette takes the next undrawn number in board order; only a
// nearly finished game with bad luck gets there.
constexpr int kCandidateTries = 1000;

// The chance that one card (free centre) shows a complete line after k numbers; entry 0 is 0.
constexpr std::array<double, 76> kLineChance = {
    0,          0,          0,          0,          0.00000329096, 0.0000169183, 0.0000521455, 0.000124918,
    0.000256322, 0.000473048, 0.000807826, 0.00129986, 0.00199521,   0.00294715,   0.00421648,
    0.00587167, 0.00798905, 0.0106527,  0.0139544,     0.0179931,    0.0228745,    0.02871,
    0.0356161,  0.0437125,  0.0531204,  0.0639611,     0.0763526,    0.090408,     0.106232,
    0.123916,   0.143539,   0.16516,    0.188814,      0.214512,     0.242233,     0.271928,
    0.303508,   0.336849,   0.371789,   0.408129,      0.445631,     0.484023,     0.523003,
    0.56224,    0.601387,   0.640081,   0.677958,      0.714658,     0.749837,     0.783176,
    0.814392,   0.843246,   0.869552,   0.893182,      0.91407,      0.932215,     0.947681,
    0.960588,   0.971114,   0.979475,   0.985926,      0.990739,     0.994194,     0.996563,
    0.998104,   0.999041,   0.999566,   0.999831,      0.999947,     0.999988,     0.999999,
    1,          1,          1,          1,             1};

static_assert(kLineChance[70] < 1 && kLineChance[71] == 1 && kLineChance[75] == 1);

QString twoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

} // namespace

Game::Game(const Clock& clock, Random& random, QObject* parent) : QObject(parent), clock_(clock), random_(random) {}

Game::~Game() = default;

int Game::undrawnCount() const { return static_cast<int>(std::count(drawn_.begin() + 1, drawn_.end(), false)); }

QString Game::counterText() const { return QString::number(counter_, 'g', 15); }

void Game::setParticipants(const QString& text) {
    if (text == participants_)
        return;
    participants_ = text;
    emit textsChanged();
    emit changed();
}

bool Game::startTurn(int hitCountIndex) {
    const int left = undrawnCount();
    if (left == 0)
        return false;
    static constexpr int kPerTurn[4] = {4, 3, 2, 1};
    const int perTurn = hitCountIndex >= 0 && hitCountIndex <= 3 ? kPerTurn[hitCountIndex] : 1;
    drawsLeftInTurn_ = std::min(perTurn, left);
    latest_.fill(false);
    return true;
}

int Game::pickCandidate() {
    if (undrawnCount() == 0)
        return 0;
    int n = 1;
    for (int tries = 0; tries < kCandidateTries; ++tries) {
        n = randomPick(random_, 75);
        if (!drawn_[static_cast<std::size_t>(n)])
            return n;
    }
    while (drawn_[static_cast<std::size_t>(n)])
        n = n % 75 + 1;
    return n;
}

int Game::showCandidate() {
    const int n = pickCandidate();
    if (n == 0) {
        drawsLeftInTurn_ = 0;
        return 0;
    }
    panel_ = twoDigits(n);
    roulette_ = RouletteState::HideShown;
    emit textsChanged();
    return n;
}

int Game::fixDraw() {
    roulette_ = RouletteState::Announcing;
    const int n = roundToInt16(numberFromText(panel_));
    book(n);
    return n;
}

void Game::book(int n) {
    ++drawCount_;
    if (!log_)
        log_.emplace(historyFolder_, clock_);
    log_->append(drawCount_, static_cast<std::int16_t>(n));
    const bool fresh = isBoardNumber(n) && !drawn_[static_cast<std::size_t>(n)];
    if (fresh) {
        drawn_[static_cast<std::size_t>(n)] = true;
        latest_[static_cast<std::size_t>(n)] = true;
        order_.push_back(n);
        counter_ += 1;
    }
    panel_ = twoDigits(n);
    // Hand corrections can take the counter outside the table.
    const auto k = static_cast<std::size_t>(std::clamp<std::int16_t>(roundToInt16(counter_), 0, 75));
    expectedWinners_ = QString::number(numberFromText(participants_) * kLineChance[k], 'f', 8);
    if (fresh)
        emit numberChanged(n);
    emit textsChanged();
    emit changed();
}

void Game::countDrawDone() {
    --drawsLeftInTurn_;
    if (undrawnCount() == 0)
        drawsLeftInTurn_ = 0; // the game is out of numbers: this turn is over
}

bool Game::markByHand(int n) { return setDrawnByHand(n, true); }

bool Game::clearByHand(int n) { return setDrawnByHand(n, false); }

bool Game::setDrawnByHand(int n, bool drawn) {
    if (!isBoardNumber(n) || drawn_[static_cast<std::size_t>(n)] == drawn)
        return false;
    drawn_[static_cast<std::size_t>(n)] = drawn;
    if (drawn)
        order_.push_back(n);
    else
        std::erase(order_, n);
    counter_ += drawn ? 1 : -1;
    emit textsChanged();
    emit numberChanged(n);
    emit changed();
    return true;
}

int Game::pickEntry(int count, bool random) {
    if (count < 1)
        return 0;
    if (random)
        return randomPick(random_, static_cast<std::int16_t>(std::min(count, 32767)));
    return nextEntryInOrder(count);
}

SavedGame Game::saved() const {
    SavedGame game;
    game.drawCount = drawCount_;
    for (std::size_t n = 1; n <= 75; ++n) {
        game.drawn[n] = drawn_[n];
        game.latest[n] = drawn_[n] && latest_[n];
    }
    game.counter = counterText();
    game.participants = participants_;
    game.expectedWinners = expectedWinners_;
    game.panel = panel_;
    game.historyLog = historyLogPath();
    game.order = order_;
    return game;
}

void Game::restore(const SavedGame& game) {
    drawCount_ = game.drawCount;
    drawn_ = game.drawn;
    latest_ = game.latest;
    order_ = game.order;
    if (std::ssize(order_) != 75 - undrawnCount()) {
        order_.clear();
        for (int n = 1; n <= 75; ++n)
            if (drawn_[static_cast<std::size_t>(n)])
                order_.push_back(n);
    }
    counter_ = numberFromText(game.counter);
    participants_ = game.participants;
    expectedWinners_ = game.expectedWinners;
    panel_ = game.panel;
    if (game.historyLog.isEmpty())
        log_.reset();
    else
        log_.emplace(historyFolder_, clock_, game.historyLog);
    emit textsChanged();
    emit restored();
}

} // namespace halvora
