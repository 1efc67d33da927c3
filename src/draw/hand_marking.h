#pragma once

#include <QObject>

#include <cstdint>

class QMenu;
class QPoint;

namespace halvora {

class Clock;
class EventPump;
class Game;
class MainControls;
class Random;
struct HitPatternTools;

// Marking numbers by hand on the board, and the announcements of drawn numbers: a double-click on a
// board box pops up the 当り修正 menu for that number; its three commands mark it drawn (with or
// without the announcement's effect) or clear it, in the game.
class HandMarking final : public QObject {
    Q_OBJECT

public:
    HandMarking(Game& game, MainControls& controls, EventPump& pump, const Clock& clock, Random& random);

    // The menu for board number n, at a screen position.
    void openMenu(int n, const QPoint& globalPos);
    void mark();
    void markWithEffect();
    void clear();
    // The announcement of a drawn number: hides the board and plays a random pattern in front of
    // the video, which plays on behind it.
    void showHitAnnouncement(int n);
    // Takes the announcement down; the video is in front again.
    void hideAnnouncement();

    QMenu& menu() { return *menu_; }

private:
    HitPatternTools hitPatternTools();

    Game& game_;
    MainControls& controls_;
    EventPump& pump_;
    const Clock& clock_;
    Random& random_;
    QMenu* menu_ = nullptr;
    int selected_ = 0; // the board number the menu was opened for
};

} // namespace halvora
