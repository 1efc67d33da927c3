#pragma once

#include <QObject>

#include <cstdint>

class QMenu;
class QPoint;

namespace halvora {

class Clock;
class EventPump;
class MainControls;
class Random;
struct GameState;
struct HitPatternTools;

// Hit correction on the board, and the announcements of drawn numbers: a double-click on a board box
// pops up Menu当り修正 for that number; its three commands mark it drawn (with or without the
// announcement) or clear it, keeping the flags and the counter Txt回数 in step.
class HitCorrection final : public QObject {
    Q_OBJECT

public:
    HitCorrection(GameState& state, MainControls& controls, EventPump& pump, const Clock& clock, Random& random);

    void Text1_DblClick(int index, const QPoint& globalPos);
    void Menu当り_Click();
    void Menu当り_効果付き_Click();
    void Menu解除_Click();
    // The announcement of a drawn number: hides the board and plays a random pattern in front of
    // the video, which plays on behind it.
    void ShowHitAnnouncement(std::int16_t n);
    // Takes the announcement down; the video is in front again.
    void hideAnnouncement();

    QMenu& menu() { return *Menu当り修正_; }

signals:
    // A number was marked or cleared by hand.
    void gameChanged();

private:
    bool markHit(std::int16_t n);
    HitPatternTools hitPatternTools();

    GameState& state_;
    MainControls& controls_;
    EventPump& pump_;
    const Clock& clock_;
    Random& random_;
    QMenu* Menu当り修正_ = nullptr;
};

} // namespace halvora
