#pragma once

#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace halvora {

class Dialogs;
class EventPump;

using ColourRow = std::array<QString, 5>;

// Edits the background and text colours of the five colour rows (0 window, 1 large panel, 2 board
// number, 3 drawn number, 4 drawn in the current turn) on copies, with a mock-up of the board. The
// caller's texts change only when the operator applies; the owner window is not used.
void S_画面編集(QWidget* owner, ColourRow& backColors, ColourRow& foreColors, Dialogs& dialogs,
                EventPump& pump);

// The screen-settings dialog; it exists only while S_画面編集 runs. (No Q_OBJECT: moc cannot read
// the class name, and the dialog declares no signals of its own.)
class 画面設定frm final : public QDialog {
public:
    画面設定frm(const ColourRow& backColors, const ColourRow& foreColors, Dialogs& dialogs);

    std::int16_t Applied = 0;
    ColourRow ResultBackColors;
    ColourRow ResultForeColors;

private:
    enum class Side { Back, Fore };

    QGroupBox* createRows(int frame, const QString& caption, std::array<QLineEdit*, 5>& texts);
    QWidget* createMockUp();
    // Paints the mock-up controls of one row; a text that is not a colour leaves them as they are.
    void paintRow(int row, Side side, const QString& text, bool allPanels = false);
    void pickColour(int row, Side side);
    void Cmd設定適用_Click();

    Dialogs& dialogs_;
    std::array<QGroupBox*, 2> Frame1{};
    std::array<QPushButton*, 5> Cmd色指定{};
    std::array<QPushButton*, 5> Cmd文字色{};
    std::array<QLineEdit*, 5> Txt背景色{};
    std::array<QLineEdit*, 5> Txt文字色{};
    std::array<QLineEdit*, 10> txtSample{};
    QPushButton* Cmd設定適用 = nullptr;
};

} // namespace halvora
