#pragma once

#include <QString>

namespace halvora {

// What a turn asks of the screen: the options the operator has chosen, and what the audience is shown
// at each step. The main window's board is one such view; the draw cycle knows no widget.
class TurnView {
public:
    virtual ~TurnView() = default;

    // The 当たり数 and 抽選時間 choices (0..3, -1 for none) and the two random switches.
    virtual int hitCountIndex() const = 0;
    virtual int drawTimeIndex() const = 0;
    virtual bool avRandom() const = 0;
    virtual bool pictureRandom() const = 0;
    // A draw button, or STOP, that a key may press now.
    virtual bool drawButtonsReady() const = 0;
    virtual bool stopReady() const = 0;

    // Every number is out: the operator is told.
    virtual void tellAllNumbersOut() = 0;
    // A turn begins: the last turn's numbers lose their colour of the latest.
    virtual void showTurnStart() = 0;
    virtual void showDrawButtons(bool shown) = 0;
    virtual void setStopEnabled(bool enabled) = 0;
    virtual void showPanel(bool shown) = 0;
    virtual void hideBoard() = 0;
    // The roulette's candidate n, alone on the board.
    virtual void showCandidate(int n) = 0;
    virtual void showVideoArea(bool shown) = 0;
    // The turn's photo; an empty path shows the area bare. A photo that cannot be read leaves the last.
    virtual void showPhoto(const QString& path) = 0;
    virtual void hidePhoto() = 0;
    // New pictures on the draw buttons.
    virtual void changeStartIcons() = 0;
    // The whole board again, in the colours of the game.
    virtual void showBoard() = 0;
    virtual void showHitAnnouncement(int n) = 0;
    virtual void hideAnnouncement() = 0;
    // The show is over: a pattern still playing stops drawing.
    virtual void stopAnnouncement() = 0;
};

} // namespace halvora
