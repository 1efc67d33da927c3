#pragma once

#include "game/game_file.h"

#include <QObject>
#include <QString>

class QWidget;

namespace halvora {

class Clock;
class Dialogs;
class DrawCycle;
class Game;
class MainControls;
struct EnvironmentFolders;

// Keeps the running game on disk beside Halvora.ini after every change (a booked draw, a hand
// correction, the participants), so that the next start can take up a game that did not end on
// purpose. A file that cannot be written is told once, and the show goes on without it.
class GameKeeper final : public QObject {
    Q_OBJECT

public:
    GameKeeper(Game& game, const EnvironmentFolders& folders, MainControls& controls, DrawCycle& draws,
               Dialogs& dialogs, const Clock& clock, QWidget& owner);

    // At the end of the start-up: offers to resume an unfinished game; a new game leaves no file of the
    // old. Nothing is kept before it: the start-up's own changes must not overwrite the game to resume.
    void resumeOrStart();
    void save();
    // The game ended on purpose: nothing is left to resume.
    void endGame();

private:
    QString path() const;
    void setAsideDamaged();
    void warnWhenQuiet();

    Game& game_;
    const EnvironmentFolders& folders_;
    MainControls& controls_;
    DrawCycle& draws_;
    Dialogs& dialogs_;
    const Clock& clock_;
    QWidget& owner_;
    bool started_ = false;
    bool ended_ = false;
    bool warned_ = false;
    FileError failure_; // the failed write not yet told
};

} // namespace halvora
