#pragma once

#include "game/game_file.h"
#include "game/history_log.h"

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace halvora {

class Clock;
class Random;

// What the next roulette tick does: show a new candidate, or blank the one shown; or the drawn
// number is being announced; or no roulette runs.
enum class RouletteState { Idle, ShowNext, HideShown, Announcing };

// The game of a show: which numbers are drawn, the counter, the participants and the expected
// winners, the large panel, the turn and its roulette, the picks from the media lists and the
// history log. Views observe it through its signals; nothing here touches a widget.
class Game final : public QObject {
    Q_OBJECT

public:
    Game(const Clock& clock, Random& random, QObject* parent = nullptr);
    ~Game() override;

    bool isDrawn(int n) const { return isBoardNumber(n) && drawn_[static_cast<std::size_t>(n)]; }
    // 1..75: drawn, by the roulette or by hand.
    const std::array<bool, 76>& drawnNumbers() const { return drawn_; }
    // Drawn in the current turn (and not hand-marked since).
    bool isLatest(int n) const { return isBoardNumber(n) && latest_[static_cast<std::size_t>(n)]; }
    int undrawnCount() const;
    bool anyDrawn() const { return undrawnCount() < 75; }
    // Draws booked, also those that met a number already drawn by hand.
    std::int32_t drawCount() const { return drawCount_; }
    // 回数: moved by every number drawn, marked or cleared; a kept game may bring any value.
    QString counterText() const;
    QString participants() const { return participants_; }
    // 予想当選者数 as last estimated: participants times the chance of a line at the counter.
    QString expectedWinners() const { return expectedWinners_; }
    // The large panel: a candidate during the roulette, the drawn number after it.
    QString panel() const { return panel_; }
    RouletteState rouletteState() const { return roulette_; }
    bool rouletteRunning() const { return roulette_ == RouletteState::ShowNext || roulette_ == RouletteState::HideShown; }
    int drawsLeftInTurn() const { return drawsLeftInTurn_; }
    // The drawn numbers in the order they came, by the roulette or by hand.
    const std::vector<int>& drawOrder() const { return order_; }
    // This game's history log; empty before the first draw.
    QString historyLogPath() const { return log_ ? log_->path() : QString(); }

    // The folder the first draw's log is made in; fixed from the start-up on.
    void setHistoryFolder(const QString& folder) { historyFolder_ = folder; }
    // Typed into the participants box.
    void setParticipants(const QString& text);

    // A turn of 1..4 draws (the 当たり数 choice 0..3 gives 4..1; none chosen gives 1), never more
    // than numbers are left. False, and nothing changes, when every number is out.
    bool startTurn(int hitCountIndex);
    void startRoulette() { roulette_ = RouletteState::ShowNext; }
    // A random undrawn number on the panel; 0 when none is left (the turn then ends unbooked).
    int showCandidate();
    void hideCandidate() { roulette_ = RouletteState::ShowNext; }
    // The roulette stops at the number on the panel: it is booked (logged, marked drawn and latest,
    // counted, the estimate renewed) and announced. Returns the number.
    int fixDraw();
    // The announcement of a fixed draw has begun: one draw less is left in the turn.
    void countDrawDone();
    void endAnnouncement() { roulette_ = RouletteState::Idle; }

    // 当り / 解除 by hand: false, and nothing changes, for a number already in that state.
    bool markByHand(int n);
    bool clearByHand(int n);

    // The entry 1..count of a media list for this draw: random, or in list order by the draws so
    // far; 0 for an empty list.
    int pickEntry(int count, bool random);
    // The entry the next pick in list order gives.
    int nextEntryInOrder(int count) const { return count < 1 ? 0 : drawCount_ % count + 1; }

    SavedGame saved() const;
    void restore(const SavedGame& game);

signals:
    // Number n was drawn, marked or cleared.
    void numberChanged(int n);
    // The counter, the participants, the estimate or the panel show something new.
    void textsChanged();
    // Something the kept game holds has changed.
    void changed();
    // A kept game was taken up: everything may differ.
    void restored();

private:
    static bool isBoardNumber(int n) { return n >= 1 && n <= 75; }
    bool setDrawnByHand(int n, bool drawn);
    void book(int n);
    int pickCandidate();

    const Clock& clock_;
    Random& random_;
    std::array<bool, 76> drawn_{};
    std::array<bool, 76> latest_{};
    std::vector<int> order_;
    std::int32_t drawCount_ = 0;
    double counter_ = 0;
    QString participants_ = QStringLiteral("1");
    QString expectedWinners_;
    QString panel_;
    RouletteState roulette_ = RouletteState::Idle;
    int drawsLeftInTurn_ = 0;
    QString historyFolder_;
    std::optional<HistoryLog> log_;
};

} // namespace halvora
