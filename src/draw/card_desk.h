#pragma once

#include "cards/card.h"

#include <QObject>

#include <memory>

class QLabel;
class QWidget;

namespace halvora {

class CardRegister;
class Game;
class Printer;
struct Services;
struct ShowSetup;

// The cards of the show: printing them into the register, checking a claim by its serial, and the
// count of issued cards with a リーチ or a ビンゴ shown under the board after every change of the game.
class CardDesk final : public QObject {
    Q_OBJECT

public:
    CardDesk(Game& game, ShowSetup& show, Services& services, Printer& printer, QWidget& window, QWidget& board);
    ~CardDesk() override;

    // A register kept from earlier shows gives its counts from the start; none is made before a card is.
    void start();
    void printCards();
    void checkCard();
    QLabel* counts() const { return counts_; }
    // The register of the data folder, opened at its first use; null when it cannot be used.
    CardRegister* cards();
    // The style the operator chose for new cards.
    CardStyle style() const;
    // A card issued elsewhere than on paper (a guest's phone) counts from now on.
    void addIssued(const Card& card);

private:
    void showCounts();
    QString registerPath() const;

    Game& game_;
    ShowSetup& show_;
    Services& services_;
    Printer& printer_;
    QWidget& window_;
    QLabel* counts_ = nullptr;
    std::unique_ptr<CardRegister> register_;
    IssuedCards issued_;
};

} // namespace halvora
