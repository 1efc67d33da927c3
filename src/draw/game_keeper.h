#pragma once

#include "settings/game_file.h"

#include <QObject>
#include <QString>

class QWidget;

namespace halvora {

class Clock;
class Dialogs;
class DrawCycle;
class HitCorrection;
class MainControls;
struct GameState;

// Keeps the running game on disk beside Halvora.ini after every change (a booked draw, a hand
// correction, the participants), so that the next start can take up a game that did not end on
// purpose. A file that cannot be written is told once, and the show goes on without it.
class GameKeeper final : public QObject {
    Q_OBJECT

public:
    GameKeeper(GameState& state, MainControls& controls, DrawCycle& draws, HitCorrection& corrections,
               Dialogs& dialogs, const Clock& clock, QWidget& owner);

    // At the end of the start-up: offers to resume an unfinished game; a new game leaves no file of the old.
    void resumeOrStart();
    void save();
    // The game ended on purpose: nothing is left to resume.
    void endGame();

private:
    QString path() const;
    SavedGame snapshot() const;
    void restore(const SavedGame& game);
    void setAsideDamaged();
    void warnWhenQuiet();

    GameState& state_;
    MainControls& controls_;
    DrawCycle& draws_;
    Dialogs& dialogs_;
    const Clock& clock_;
    QWidget& owner_;
    bool ended_ = false;
    bool warned_ = false;
    FileError failure_; // the failed write not yet told
};

} // namespace halvora
