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
    std::array<QRectF, 76> Text1; // board boxes 1..75; entry 0 unused
    QRectF Text2;
    QRectF TxtLbl回数, TxtLbl参加人数, txtLbl予想当選者数;
    QRectF Txt回数, Txt参加人数, txt予想当選者数;
    std::array<QRectF, 4> Command1;
    QRectF Frame1, Frame2;
    std::array<QRectF, 4> Opt当たり数;  // relative to Frame1
    std::array<QRectF, 4> Opt抽選時間; // relative to Frame2
    QRectF CmdStop;                     // relative to Frame2
    QRectF Pic当り発表, Pic動画, Img背景画像;
};

BoardLayout computeBoardLayout(double screenWidthTwips, double screenHeightTwips);

// The largest font size in 4..500 points at which a control keeps its height; 3 when even 4 does not
// fit. `fits(size)` tells whether text of that size fits the control's height.
int FitFontToHeight(const std::function<bool(int points)>& fits);

// The size of menus and message boxes on a screen of the given height in pixels: 9 points up to
// 1080 lines, growing in proportion above.
int ScreenFontPoints(int screenHeightPixels);

} // namespace halvora
