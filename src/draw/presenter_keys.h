#pragma once

#include <QObject>

class QWidget;

namespace halvora {

class DrawCycle;
class MainControls;

// The show run from a presenter remote or the keyboard, wherever the focus is in the main window and
// never while a dialog is open: PageDown (and Space or Enter outside a text box) is "next" — a new
// turn, or STOP during a roulette with "手動"; keys 1..4 choose the numbers per turn.
class PresenterKeys final : public QObject {
    Q_OBJECT

public:
    PresenterKeys(QWidget& window, MainControls& controls, DrawCycle& draws);

private:
    void next(bool fromTextKey);

    QWidget& window_;
    MainControls& controls_;
    DrawCycle& draws_;
};

} // namespace halvora
