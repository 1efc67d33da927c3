#pragma once


#include <QObject>

#include <QString>

#include <cstdint>
#include <memory>

namespace halvora {

class EventPump;
class Game;
class MediaPlayer;
class Timer;
class TimerFactory;
class TurnView;
struct ShowSetup;

// The draw cycle: a draw button starts a turn of 1..4 draws with music or video; each draw is a
// roulette on two timers that ends by time or STOP, then the game books the number and it is
// announced. It keeps the timers and the turn's media and drives the game; a TurnView shows it.
class DrawCycle final : public QObject {
    Q_OBJECT

public:
    DrawCycle(Game& game, const ShowSetup& show, TurnView& view, TimerFactory& timers, EventPump& pump,
              MediaPlayer& media);
    ~DrawCycle() override;

    // A draw button: a new turn, unless every number is out.
    void startTurn();
    // STOP: the roulette stops 0.6 s on.
    void stopRoulette();
    // "Next" from a presenter remote or the keyboard: a new turn when none runs (as a click on the
    // first draw button), STOP during a roulette with "手動", and nothing at any other moment.
    void next();
    // The show is over (the window is closing): the timers stop, the turn's media closes, and no
    // wait of a turn in progress goes on to draw, log or play anything more.
    void endShow();
    // From a draw-button press until the turn's media has closed again.
    bool turnInProgress() const { return turnMediaOpen_ || turnChanging_; }

signals:
    // The turn's last announcement has ended and the draw buttons are back.
    void turnEnded();

private:
    void startRoulette();
    void onRouletteTick();
    void onDrawTimeUp();
    void startTurnMedia();
    void closeTurnMedia();
    void takeOverPreviousTurn();
    void showCandidate();
    void endAnnouncement();
    bool waitForAnnouncementEnd();
    void showTurnPhoto();
    int drawTimeMs() const;

    Game& game_;
    const ShowSetup& show_;
    TurnView& view_;
    EventPump& pump_;
    MediaPlayer& media_;
    std::unique_ptr<Timer> drawTimer_;   // the roulette's end: by time, STOP, or the next draw
    std::unique_ptr<Timer> rouletteTimer_; // roulette ticks, then the announcement's end
    // A turn's media stays open from its start until the end of its last announcement.
    bool turnMediaOpen_ = false;
    QString turnFile_;       // the entry the turn plays
    bool turnIsVideo_ = false;
    std::int32_t playSeconds_ = 0; // how long the entry plays; the automatic draw time follows it
    // Draw-button presses are ignored while a turn's media starts or closes: events run there.
    bool turnChanging_ = false;
    bool ended_ = false;
};

} // namespace halvora
