#pragma once

#include "cards/card.h"
#include "cards/card_register.h"

#include <QColor>
#include <QDialog>

namespace halvora {

class Dialogs;
class EventPump;

// What the operator is told of a claimed card: the verdict in large type and the line below it.
struct CardCheck {
    CardRegister::Found found = CardRegister::Found::Unknown;
    Card card;
    CardVerdict verdict;
    std::array<bool, 76> drawn{};
    QString headline;
    QString detail;
};

// The claim of the card with `serial` against the numbers drawn so far, in the order they came.
CardCheck checkClaim(const CardRegister* cards, int serial, const std::array<bool, 76>& drawn,
                     const std::vector<int>& order);

// The card of a claim over the operator's window: its grid with the drawn numbers in the board's hit
// colour, each complete line struck through, and the verdict. Enter or Esc closes it.
class CardCheckWindow final : public QDialog {
    Q_OBJECT

public:
    CardCheckWindow(CardCheck check, QColor hit, QWidget* parent);
    const CardCheck& check() const { return check_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CardCheck check_;
    QColor hit_;
};

// File menu 「カード確認」: asks for a serial and shows its card.
void checkCardClaim(const CardRegister* cards, const std::array<bool, 76>& drawn, const std::vector<int>& order,
                    QColor hit, Dialogs& dialogs, EventPump& pump, QWidget* owner);

} // namespace halvora
