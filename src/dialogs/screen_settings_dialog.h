#pragma once

#include <QDialog>
#include <QString>

#include <array>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace halvora {

class Dialogs;
class EventPump;

using ColourRow = std::array<QString, 5>;

// Edits the background and text colours of the five colour rows (0 window, 1 large panel, 2 board
// number, 3 drawn number, 4 drawn in the current turn) on copies, with a mock-up of the board. The
// caller's texts change only when the operator applies.
void editScreenColours(ColourRow& backColours, ColourRow& foreColours, Dialogs& dialogs, EventPump& pump);

// The screen-settings dialog; it exists only while editScreenColours runs.
class ScreenSettingsDialog final : public QDialog {
    Q_OBJECT

public:
    // Shows `backColours` and `foreColours`, and replaces them when the operator applies.
    ScreenSettingsDialog(ColourRow& backColours, ColourRow& foreColours, Dialogs& dialogs);

private:
    enum class Side { Back, Fore };

    QGroupBox* createRows(int frame, const QString& caption, std::array<QLineEdit*, 5>& texts);
    QWidget* createMockUp();
    // Paints the mock-up controls of one row; a text that is not a colour leaves them as they are.
    void paintRow(int row, Side side, const QString& text, bool allPanels = false);
    void pickColour(int row, Side side);
    void apply();

    ColourRow& backColours_;
    ColourRow& foreColours_;
    Dialogs& dialogs_;
    QGroupBox* backFrame_ = nullptr;
    std::array<QLineEdit*, 5> backTexts_{};
    std::array<QLineEdit*, 5> foreTexts_{};
    std::array<QLineEdit*, 10> samples_{};
    QPushButton* applyButton_ = nullptr;
};

} // namespace halvora
