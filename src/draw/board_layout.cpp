#include "draw/board_layout.h"

#include <algorithm>
#include <cmath>

namespace halvora {

namespace {

// Intermediate lengths carry four decimals.
double fixed4(double value) { return std::round(value * 10000.0) / 10000.0; }

QRectF box(double top, double left, double width, double height) {
    return QRectF(left, top, width, height);
}

void placeBoard(BoardLayout& l) {
    const double cellHeight = fixed4(l.V - l.V / 12);
    for (int c = 0; c <= 7; ++c) {
        for (int r = 1; r <= 10; ++r) {
            const int n = 10 * c + r;
            if (n > 75)
                return;
            l.boardBoxes[static_cast<std::size_t>(n)] = box(l.V * (r - 1), l.U * c, l.U, cellHeight);
        }
    }
}

void placeCounters(BoardLayout& l) {
    const double U = l.U, V = l.V;
    const double twoThirds = fixed4(2 * U / 3);
    const double oneAndThird = fixed4(U + U / 3);
    l.panel = box(V, 8 * U, 4 * U, 4 * V);
    l.counterCaption = box(0, 8 * U, twoThirds - 100, fixed4(V / 3));
    l.participantsCaption = box(0, 8 * U + twoThirds, oneAndThird - 100, fixed4(V / 3));
    l.expectedWinnersCaption = box(0, 10 * U, 2 * U - 100, fixed4(V / 3));
    l.counterBox = box(fixed4(V / 2), 8 * U, twoThirds - 100, fixed4(V / 2));
    l.participantsBox = box(fixed4(V / 2), 8 * U + twoThirds, oneAndThird - 100, fixed4(V / 2));
    l.expectedWinnersBox = box(fixed4(V / 2), 10 * U + 50, 2 * U - 50, fixed4(V / 2));
}

void placeButtonsAndFrames(BoardLayout& l) {
    const double U = l.U, V = l.V;
    const double blockHeight = 2 * V + fixed4(V / 2);
    const double lowerTop = 7 * V + fixed4(V / 2);
    l.drawButtons = {box(5 * V, 7 * U + 50, 2 * U - 50, blockHeight),
                  box(lowerTop, 7 * U + 50, 2 * U - 50, blockHeight),
                  box(5 * V, 9 * U + 50, 2 * U - 50, blockHeight),
                  box(lowerTop, 9 * U + 50, 2 * U - 50, blockHeight)};
    l.hitCountFrame = box(5 * V, 11 * U + 50, U - 50, blockHeight);
    l.drawTimeFrame = box(lowerTop, 11 * U + 50, U - 50, blockHeight);

    const double P = fixed4(blockHeight / 12);
    const double Q = fixed4((U - 50) / 10);
    for (std::size_t k = 0; k < 4; ++k) {
        const QRectF option = box((2 * static_cast<double>(k) + 1) * P, Q, 8 * Q, 2 * P - 100);
        l.hitCountOptions[k] = option;
        l.drawTimeOptions[k] = option;
    }
    l.stopButton = box(10 * P, Q, 8 * Q, 2 * P - 100);
}

} // namespace

BoardLayout computeBoardLayout(double screenWidthTwips, double screenHeightTwips) {
    BoardLayout l;
    l.window = QRectF(0, 0, screenWidthTwips, screenHeightTwips);
    l.U = std::floor(screenWidthTwips / 12 + 0.5);
    l.V = std::floor(screenHeightTwips / 12 + 0.5);
    placeBoard(l);
    placeCounters(l);
    placeButtonsAndFrames(l);
    const QRectF area = box(0, 0, 11 * l.U, 10 * l.V);
    l.announcement = area;
    l.videoView = area;
    l.photo = area;
    l.mirror = box(0, 0, 7 * l.U, 10 * l.V);
    l.operatorPanel = box(0, 7 * l.U + 50, 5 * l.U - 50, 5 * l.V - 50);
    l.cardCounts = box(10 * l.V + 50, 0, 7 * l.U, fixed4(l.V / 2));
    l.phoneJoin = box(10 * l.V + 50, 7 * l.U + 50, 5 * l.U - 50, 2 * l.V - 100);
    l.phoneBanner = box(10 * l.V + fixed4(l.V / 2) + 50, 0, 7 * l.U, fixed4(3 * l.V / 2) - 100);
    return l;
}

int fitFontToHeight(const std::function<bool(int points)>& fits) {
    // Line heights grow with the size, so the largest fitting size is found by bisection.
    if (!fits(4))
        return 3;
    if (fits(500))
        return 500;
    int good = 4, bad = 500;
    while (bad - good > 1) {
        const int mid = (good + bad) / 2;
        (fits(mid) ? good : bad) = mid;
    }
    return good;
}

int screenFontPoints(int screenHeightPixels) {
    constexpr int kPoints = 9;
    constexpr int kLines = 1080;
    return std::max(kPoints, static_cast<int>(std::lround(double{kPoints} * screenHeightPixels / kLines)));
}

} // namespace halvora
