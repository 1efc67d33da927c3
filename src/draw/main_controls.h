#pragma once

#include "draw/board_layout.h"
#include "platform/video_view.h"
#include "settings/condition_records.h"

#include <QString>

#include <array>
#include <vector>
#include <cstdint>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPushButton;
class QRadioButton;
class QWidget;

namespace halvora {

class Game;
class PictureBox;
class Random;

// The named controls of the main window with their layout and colours. The option buttons and the
// two random switches of the settings menu are what the condition file stores.
class MainControls final : public ConditionOptions {
public:
    // Creates every control on `board`, from back to front, in its design colours.
    explicit MainControls(QWidget& board);

    // Sizes the window to its screen and places every control (twips to pixels), fitting the fonts.
    // While the board is on another stage, the operator's copy and panel take its place here.
    void layoutMainWindow(QMainWindow& window);
    double twipsPerPixel() const { return twipsPerPixel_; }

    // The controls the audience sees, from back to front.
    std::vector<QWidget*> boardControls() const;
    // Moves the audience's controls to `stage`: the window's own board, or the audience's window,
    // where nothing takes the focus or shows the mouse pointer. What they show stays as it was.
    void moveBoardTo(QWidget& stage);
    // Lays the board out on its stage of `size` pixels, when that is not the window's own board.
    void layoutStage(QSize size, double twipsPerPixel);
    bool boardOnOwnWindow() const { return stage_ == &board; }
    QWidget& stage() const { return *stage_; }

    // The start-up colours of the colour rows, read from the controls themselves.
    void readColourDefaults(ScreenColours& colours) const;
    // Shows the game and follows it: the board boxes, the counter, the participants, the estimate and
    // the panel; what is typed into the participants box goes to the game.
    void observe(Game& game, const ScreenColours& colours);
    // Paints the window, the large panel and every board box from the colours and the game's drawn
    // and latest numbers, and shows every board box.
    void applyBoardColours(const Game& game, const ScreenColours& colours);
    void paintBoardBox(std::size_t n, const ScreenColours& colours, std::size_t row);
    // Random pictures from the icon list on the four draw buttons, without repeats while others are free.
    void assignStartIcons(const IconList& icons, Random& random);
    // A picture on draw button b at its icon size; one that cannot be loaded leaves the button bare.
    void putButtonPicture(std::size_t b, const QString& path);
    // Buttons that come back while a number is announced leave the number uncovered.
    void showDrawButtons(bool shown);
    void hideBoard();
    void showBox(int n);
    void showPanel(bool shown);
    void setStopEnabled(bool enabled);
    // A draw button or STOP that a key may press now.
    bool drawButtonsReady() const;
    bool stopReady() const;
    void showVideoArea(bool shown);
    void showPhotoArea();
    void hidePhoto();
    void clearPhoto();
    // A hit pattern still playing stops drawing.
    void stopAnnouncementDrawing();
    // The window that owns the board: messages are shown over it.
    QWidget* owner() const;

    // Where the announcement stands among the board's controls: at rest behind the photo's and the
    // video's areas; for a drawn number in front of both; for a hand marking in front of the board
    // boxes, the board showing through around what it draws.
    enum class AnnouncementLayer { Resting, OverPhotoAndVideo, OverBoard };
    void stackAnnouncement(AnnouncementLayer layer);
    // Cuts the announced number's rectangle out of every visible control in front of the
    // announcement, so nothing covers the number; undone when the announcement goes to rest.
    void uncoverAnnouncedNumber();
    // The photo fitted inside its area, centred, the rest in the board's colour; false when it cannot
    // be read (the area then keeps what it showed).
    bool showPhoto(const QString& path);

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

    QWidget& board;
    std::array<QLineEdit*, 76> boardBoxes{}; // 1..75
    QLineEdit* panel = nullptr;
    QLineEdit* counterCaption = nullptr;
    QLineEdit* participantsCaption = nullptr;
    QLineEdit* expectedWinnersCaption = nullptr;
    QLineEdit* counterBox = nullptr;
    QLineEdit* participantsBox = nullptr;
    QLineEdit* expectedWinnersBox = nullptr;
    std::array<QPushButton*, 4> drawButtons{};
    QPushButton* stopButton = nullptr;
    QGroupBox* hitCountFrame = nullptr;
    QGroupBox* drawTimeFrame = nullptr;
    std::array<QRadioButton*, 4> hitCountOptions{};
    std::array<QRadioButton*, 4> drawTimeOptions{};
    PictureBox* announcement = nullptr;
    VideoView* videoView = nullptr;
    QLabel* photo = nullptr;
    // The settings menu's check items; the window sets them when it builds its menus.
    QAction* avRandomItem = nullptr;
    QAction* photoRandomItem = nullptr;
    // The operator's copy of the board and the game beside it; set by the window that has them.
    QWidget* mirror = nullptr;
    QWidget* operatorPanel = nullptr;
    QWidget* cardCounts = nullptr;
    // What the audience is shown of guests' phones: how to join, and a confirmed ビンゴ.
    QWidget* phoneJoin = nullptr;
    QWidget* phoneBanner = nullptr;

private:
    void createBoxes();
    void createOptionFrames();
    void createPictureAreas();
    void setDesignColours();
    void placeBoardControls(const BoardLayout& layout, double twipsPerPixel);
    void placeOperatorControls();
    void fitBoardFonts();
    void fitOperatorFonts();
    void restack();
    void showOnStageOnly(bool audience);
    void clearNumberCuts();

    BoardLayout layout_;
    QWidget* stage_ = &board;
    AnnouncementLayer layer_ = AnnouncementLayer::Resting;
    std::vector<QWidget*> cutForNumber_;
    double twipsPerPixel_ = 15.0;
    Game* game_ = nullptr;
};

} // namespace halvora
