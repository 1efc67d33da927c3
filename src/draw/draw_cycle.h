#pragma once

#include "draw/history_log.h"
#include "platform/services.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <optional>

namespace halvora {

class HitCorrection;
class MainControls;
struct GameState;

// The draw cycle: a draw button starts a turn of 1..4 draws with music or video; each draw is a
// roulette on the two timers that ends by time or STOP, then the number is booked and announced.
class DrawCycle final : public QObject {
    Q_OBJECT

public:
    DrawCycle(GameState& state, MainControls& controls, HitCorrection& announcements, Services& services);
    ~DrawCycle() override;

    void Command1_Click(int index);
    void CmdStop_Click();
    void 抽選時間Timer_Timer();
    void 抽選中調整Timer_Timer();
    void StartRoulette();
    void RecordDraw(std::int16_t n);
    std::int16_t PickAvIndex();
    std::int16_t PickPictureIndex();
    void ShowDrawPicture();
    // "Next" from a presenter remote or the keyboard: a new turn when none runs (as a click on the
    // first draw button), STOP during a roulette with "手動", and nothing at any other moment.
    void next();
    // The show is over (the window is closing): the timers stop, the turn's media closes, and no
    // wait of a turn in progress goes on to draw, log or play anything more.
    void endShow();
    // This game's history log; empty before the first draw.
    QString historyLogPath() const { return historyLog_ ? historyLog_->path() : QString(); }
    // A resumed game's draws go on in its own log.
    void continueHistoryLog(const QString& path);
    // From a draw-button press until the turn's media has closed again.
    bool turnInProgress() const { return turnMediaOpen_ || turnChanging_; }

signals:
    // A draw was booked.
    void gameChanged();
    // The turn's last announcement has ended and the draw buttons are back.
    void turnEnded();

private:
    void startTurnMedia();
    void closeTurnMedia();
    void takeOverPreviousTurn();
    void showCandidate();
    void endAnnouncement();
    bool waitForAnnouncementEnd();
    int undrawnCount() const;
    std::int16_t pickCandidate();
    std::int16_t pickListEntry(std::int16_t count, bool random);
    std::int32_t pick(std::int16_t max);

    GameState& state_;
    MainControls& controls_;
    HitCorrection& announcements_;
    Services& services_;
    std::unique_ptr<Timer> 抽選時間Timer_;
    std::unique_ptr<Timer> 抽選中調整Timer_;
    // A turn's media stays open from its start until the end of its last announcement.
    bool turnMediaOpen_ = false;
    // Draw-button presses are ignored while a turn's media starts or closes: events run there.
    bool turnChanging_ = false;
    bool ended_ = false;
    std::optional<HistoryLog> historyLog_;
};

} // namespace halvora
