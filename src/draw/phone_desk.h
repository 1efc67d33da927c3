#pragma once

#include "phones/phone_server.h"

#include <QObject>
#include <QPointer>

#include <memory>

class QDialog;
class QLabel;
class QListWidget;
class QMenu;
class QWidget;

namespace halvora {

class CardDesk;
class Game;
class MainControls;
class PhoneJoinPanel;
struct Services;
struct ShowSetup;

// Guests playing on their phones: the operator turns the program's own server on and off, the
// audience is shown how to join (a QR code and the address), confirmed claims come to the operator
// in a list in the order they arrived, and one the operator shows reaches the audience's board.
class PhoneDesk final : public QObject {
    Q_OBJECT

public:
    PhoneDesk(Game& game, ShowSetup& show, Services& services, CardDesk& cards, MainControls& controls,
              QWidget& window);
    ~PhoneDesk() override;

    void addMenuItems(QMenu& settings);
    // Starts or stops taking phones; false (the operator told why) when the server cannot start.
    bool setAccepting(bool on);
    void setJoinShown(bool shown);
    // The claims window, shown; created at the first claim.
    QDialog* claimsWindow();
    PhoneServer* server() const { return server_.get(); }

signals:
    void settingsChanged();

private:
    QHostAddress chosenAddress(const QList<QHostAddress>& addresses) const;
    void restart();
    void askPort();
    void claimArrived(const PhoneClaim& claim);
    void showClaimOnBoard();
    void showJoin();

    Game& game_;
    ShowSetup& show_;
    Services& services_;
    CardDesk& cards_;
    QWidget& window_;
    std::unique_ptr<PhoneServer> server_;
    PhoneJoinPanel* join_ = nullptr;
    QLabel* banner_ = nullptr;
    QPointer<QDialog> claimsWindow_;
    QListWidget* claimList_ = nullptr;
    std::vector<PhoneClaim> claims_;
    bool joinShown_ = true;
};

} // namespace halvora
