#pragma once

#include <QRectF>

#include <array>
#include <functional>

namespace halvora {

// Where every control of the main window goes, in twips, for a screen of the given size. The screen
// is a 12 × 12 grid of units U (columns) and V (rows); the board takes columns 0..7 and rows 0..9.
struct BoardLayout {
    double U = 0; // column unit
    double V = 0; // row unit
    QRectF window;
    std::array<QRectF, 76> boardBoxes; // board boxes 1..75; entry 0 unused
    QRectF panel;
    QRectF counterCaption, participantsCaption, expectedWinnersCaption;
    QRectF counterBox, participantsBox, expectedWinnersBox;
    std::array<QRectF, 4> drawButtons;
    QRectF hitCountFrame, drawTimeFrame;
    std::array<QRectF, 4> hitCountOptions;  // relative to hitCountFrame
    std::array<QRectF, 4> drawTimeOptions; // relative to drawTimeFrame
    QRectF stopButton;                     // relative to drawTimeFrame
    QRectF announcement, videoView, photo;
    // While the audience sees the board on another screen: the operator's copy of it, in the board's
    // place, and the game beside it, above the draw buttons.
    QRectF mirror, operatorPanel;
    // Under the board: how many issued cards have a line, or are one number short of one.
    QRectF cardCounts;
    // Under the draw buttons: how guests join with their phones (a QR code and the address); under
    // the board: a guest's confirmed ビンゴ, when the operator shows it.
    QRectF phoneJoin, phoneBanner;
};

BoardLayout computeBoardLayout(double screenWidthTwips, double screenHeightTwips);

// The largest font size in 4..500 points at which a control keeps its height; 3 when even 4 does not
// fit. `fits(size)` tells whether text of that size fits the control's height.
int fitFontToHeight(const std::function<bool(int points)>& fits);

// The size of menus and message boxes on a screen of the given height in pixels: 9 points up to
// 1080 lines, growing in proportion above.
int screenFontPoints(int screenHeightPixels);

} // namespace halvora
