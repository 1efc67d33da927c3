#pragma once

#include "draw/board_layout.h"
#include "draw/game_state.h"
#include "draw/history_log.h"
#include "platform/services.h"
#include "settings/condition_file.h"

#include <QMainWindow>

#include <array>
#include <memory>
#include <optional>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QPoint;

namespace halvora {

class PictureBox;
struct HitPatternTools;

// Caption of the main window, also shown by the Version command.
inline const QString kProgramCaption = QStringLiteral("Halvora(Ver 1.2.1 2011.9.26)");

// The full-screen bingo board: the program's one long-lived window, owner of the whole game state.
class MainForm final : public QMainWindow, public ConditionOptions {
    Q_OBJECT

public:
    MainForm(Services& services, QString programFolder, QString userDataFolder, QWidget* parent = nullptr);
    ~MainForm() override;

    // The start-up sequence. False when the environment is unusable: the operator has been told and
    // the window is closed; the program should end.
    bool load();

    void ApplyBoardColours();
    void AssignStartIcons();
    // The random pick 1..max through which every random choice goes.
    std::int32_t F_選出数字(std::int16_t max);

    void menu終了_Click();
    void Menuバージョン_Click();

    // Hit correction: a double-click on board box `index` pops up Menu当り修正 for that number;
    // its three commands act on SelectedNumber.
    void Text1_DblClick(int index, const QPoint& globalPos);
    void Menu当り_Click();
    void Menu当り_効果付き_Click();
    void Menu解除_Click();
    // The announcement of a drawn number: hides the board and plays a random pattern.
    void ShowHitAnnouncement(std::int16_t n);

    // The draw cycle: a draw button starts a turn of 1..4 draws with music or video; each draw is a
    // roulette that ends by time or STOP, then the number is booked and announced.
    void Command1_Click(int index);
    void CmdStop_Click();
    void 抽選時間Timer_Timer();
    void 抽選中調整Timer_Timer();
    void StartRoulette();
    void RecordDraw(std::int16_t n);
    std::int16_t PickAvIndex();
    std::int16_t PickPictureIndex();
    void ShowDrawPicture();

    GameState& state() { return state_; }
    // The run's draw-history log; empty before the first draw.
    QString historyLogPath() const { return historyLog_ ? historyLog_->path() : QString(); }
    const BoardLayout& layoutTwips() const { return layout_; }
    double twipsPerPixelUsed() const { return twipsPerPixel_; }

    // ConditionOptions: the five controls the condition file stores.
    QString participantsText() const override;
    void setParticipantsText(const QString& text) override;
    bool avRandom() const override;
    void setAvRandom(bool checked) override;
    bool pictureRandom() const override;
    void setPictureRandom(bool checked) override;
    int selectedHitCountIndex() const override;
    void selectHitCountIndex(int index) override;
    int selectedDrawTimeIndex() const override;
    void selectDrawTimeIndex(int index) override;

private:
    void createControls();
    void createMenus();
    void keepInFrontOfVideo();
    void setDesignColours();
    void readColourDefaults();
    void LayoutMainWindow();
    void InitialiseGame();
    void Opt抽選時間_Click(int index);
    void placeControls(double perPixel);
    void fitFonts();
    void installHitCorrection();
    bool markHit(std::int16_t n);
    void PaintBoardBox(std::size_t n, std::size_t row);
    HitPatternTools hitPatternTools();
    void addToTxt回数(double delta);
    void installDrawCycle();
    void startTurnMedia();
    void closeTurnMedia();
    void takeOverPreviousTurn();
    void showCandidate();
    void endAnnouncement();
    void showDrawButtons(bool shown);
    int undrawnCount() const;
    std::int16_t pickCandidate();
    std::int16_t pickListEntry(std::int16_t count, bool random);

    Services& services_;
    QString programFolder_;
    QString userDataFolder_;
    GameState state_;
    BoardLayout layout_;
    double twipsPerPixel_ = 15.0;
    ConditionFile conditionFile_;
    std::optional<HistoryLog> historyLog_;
    std::unique_ptr<Timer> 抽選時間Timer_;
    std::unique_ptr<Timer> 抽選中調整Timer_;
    // A turn's media stays open from its start until the end of its last announcement.
    bool turnMediaOpen_ = false;
    // Draw-button presses are ignored while a turn's media starts or closes: events run there.
    bool turnChanging_ = false;

    QWidget* board_ = nullptr; // central widget
    std::array<QLineEdit*, 76> Text1_{};
    QLineEdit* Text2_ = nullptr;
    QLineEdit* TxtLbl回数_ = nullptr;
    QLineEdit* TxtLbl参加人数_ = nullptr;
    QLineEdit* txtLbl予想当選者数_ = nullptr;
    QLineEdit* Txt回数_ = nullptr;
    QLineEdit* Txt参加人数_ = nullptr;
    QLineEdit* txt予想当選者数_ = nullptr;
    std::array<QPushButton*, 4> Command1_{};
    QPushButton* CmdStop_ = nullptr;
    QGroupBox* Frame1_ = nullptr;
    QGroupBox* Frame2_ = nullptr;
    std::array<QRadioButton*, 4> Opt当たり数_{};
    std::array<QRadioButton*, 4> Opt抽選時間_{};
    PictureBox* Pic当り発表_ = nullptr;
    QWidget* Pic動画_ = nullptr;
    QLabel* Img背景画像_ = nullptr;
    QAction* MenuAvランダム_ = nullptr;
    QAction* Menu写真描画ランダム_ = nullptr;
    QMenu* Menu当り修正_ = nullptr;
};

} // namespace halvora
