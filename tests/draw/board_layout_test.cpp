#include "draw/board_layout.h"
#include "platform/twips.h"

#include <gtest/gtest.h>

#include <vector>

namespace halvora {
namespace {

void expectNoOverlapInPixels(const std::vector<QRectF>& rects, const QRect& screen, double perPixel, const char* what) {
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const QRect a = twipsToPixels(rects[i], perPixel);
        EXPECT_TRUE(screen.contains(a)) << what << " control " << i << " leaves the screen";
        EXPECT_GT(a.height(), 0) << what << " control " << i;
        for (std::size_t j = i + 1; j < rects.size(); ++j)
            EXPECT_FALSE(a.intersects(twipsToPixels(rects[j], perPixel)))
                << what << ": controls " << i << " and " << j << " overlap";
    }
}

TEST(BoardLayout, WorkedExamples) {
    // 1366 pixels at 15 twips: 1707.5 rounds up.
    EXPECT_EQ(computeBoardLayout(20490, 11520).U, 1708);

    const BoardLayout l = computeBoardLayout(15360, 11520);
    EXPECT_EQ(l.U, 1280);
    EXPECT_EQ(l.V, 960);
    EXPECT_EQ(l.boardBoxes[1], QRectF(0, 0, 1280, 880));
    EXPECT_EQ(l.boardBoxes[10], QRectF(0, 9 * 960, 1280, 880));
    EXPECT_EQ(l.boardBoxes[11], QRectF(1280, 0, 1280, 880));
    // Box 75 ends column 7 in its fifth row; the rows below stay free for the draw buttons.
    EXPECT_EQ(l.boardBoxes[75], QRectF(7 * 1280, 4 * 960, 1280, 880));
    EXPECT_LE(l.boardBoxes[75].bottom(), l.drawButtons[0].top());
    EXPECT_EQ(l.panel, QRectF(10240, 960, 5120, 3840));
    EXPECT_EQ(l.videoView, QRectF(0, 0, 11 * 1280, 10 * 960));
    // Option rows inside the frames: P = 200, Q = 123.
    EXPECT_EQ(l.hitCountOptions[0], QRectF(123, 200, 984, 300));
    EXPECT_EQ(l.stopButton, QRectF(123, 2000, 984, 300));

    // Fonts: the largest size whose line still fits, 3 when even 4 is too big, 500 at most; the
    // window's own text grows with the screen from 9 points at 1080 lines.
    for (const auto& [largestFitting, fitted] :
         std::vector<std::pair<int, int>>{{37, 37}, {4, 4}, {0, 3}, {9999, 500}})
        EXPECT_EQ(fitFontToHeight([&](int points) { return points <= largestFitting; }), fitted);
    for (const auto& [height, points] : std::vector<std::pair<int, int>>{{600, 9}, {1080, 9}, {1440, 12}, {2160, 18}})
        EXPECT_EQ(screenFontPoints(height), points) << height;
}

TEST(BoardLayout, FitsEveryScreenWithoutOverlap) {
    struct Screen {
        int width, height;
        double dpi;
    };
    for (const Screen s : {Screen{1024, 768, 96}, Screen{1366, 768, 96}, Screen{1920, 1080, 96},
                           Screen{3840, 2160, 192}, Screen{3840, 2160, 96}, Screen{1080, 1920, 96}}) {
        const double perPixel = twipsPerPixel(s.dpi);
        const BoardLayout l = computeBoardLayout(s.width * perPixel, s.height * perPixel);
        const QRect screen(0, 0, s.width, s.height);
        const std::string what = std::to_string(s.width) + "x" + std::to_string(s.height);
        // The board, the counters, the large number, the buttons and the frames never overlap (the
        // full-area picture controls lie behind the board by design).
        std::vector<QRectF> rects(l.boardBoxes.begin() + 1, l.boardBoxes.end());
        rects.insert(rects.end(), {l.panel, l.counterCaption, l.participantsCaption, l.expectedWinnersCaption,
                                   l.counterBox, l.participantsBox, l.expectedWinnersBox, l.hitCountFrame,
                                   l.drawTimeFrame});
        rects.insert(rects.end(), l.drawButtons.begin(), l.drawButtons.end());
        expectNoOverlapInPixels(rects, screen, perPixel, what.c_str());

        // The controls inside a frame stay inside it and apart.
        std::vector<QRectF> inFrame(l.drawTimeOptions.begin(), l.drawTimeOptions.end());
        inFrame.push_back(l.stopButton);
        const QRect frame(QPoint(0, 0), twipsToPixels(l.drawTimeFrame, perPixel).size());
        expectNoOverlapInPixels(inFrame, frame, perPixel, (what + " frame").c_str());
    }
}

} // namespace
} // namespace halvora
