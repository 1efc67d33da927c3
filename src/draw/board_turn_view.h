#pragma once

#include "draw/turn_view.h"

namespace halvora {

class Dialogs;
class Game;
class HandMarking;
class MainControls;
class Random;
struct ShowSetup;

// The main window's board as the view of a turn.
class BoardTurnView final : public TurnView {
public:
    BoardTurnView(MainControls& controls, HandMarking& announcements, const Game& game, const ShowSetup& show,
                  Dialogs& dialogs, Random& random)
        : controls_(controls), announcements_(announcements), game_(game), show_(show), dialogs_(dialogs),
          random_(random) {}

    int hitCountIndex() const override;
    int drawTimeIndex() const override;
    bool avRandom() const override;
    bool pictureRandom() const override;
    bool drawButtonsReady() const override;
    bool stopReady() const override;
    void tellAllNumbersOut() override;
    void showTurnStart() override;
    void showDrawButtons(bool shown) override;
    void setStopEnabled(bool enabled) override;
    void showPanel(bool shown) override;
    void hideBoard() override;
    void showCandidate(int n) override;
    void showVideoArea(bool shown) override;
    void showPhoto(const QString& path) override;
    void hidePhoto() override;
    void changeStartIcons() override;
    void showBoard() override;
    void showHitAnnouncement(int n) override;
    void hideAnnouncement() override;
    void stopAnnouncement() override;

private:
    MainControls& controls_;
    HandMarking& announcements_;
    const Game& game_;
    const ShowSetup& show_;
    Dialogs& dialogs_;
    Random& random_;
};

} // namespace halvora
