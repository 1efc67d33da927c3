#include "draw/hit_patterns.h"

#include "picture_recorder.h"
#include "platform/picture_box.h"
#include "support/virtual_time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>

namespace halvora {
namespace {

using test::PictureEvent;

const QString kDesignFace = QStringLiteral("ＭＳ Ｐゴシック");
const QString kFaces[9] = {{},
                           QStringLiteral("@HG正楷書体-PRO"),
                           QStringLiteral("@HGP創英角ﾎﾟｯﾌﾟ体"),
                           QStringLiteral("@ＭＳ Ｐゴシック"),
                           QStringLiteral("@ＭＳ Ｐ明朝"),
                           QStringLiteral("Impact"),
                           QStringLiteral("@HG行書体"),
                           QStringLiteral("ＭＳ Ｐゴシック"),
                           QStringLiteral("@HGS明朝B")};
const QColor kFinal[9] = {{},
                          QColor(0, 255, 255),
                          QColor(255, 0, 255),
                          QColor(255, 255, 0),
                          QColor(128, 255, 255),
                          QColor(128, 255, 128),
                          QColor(128, 128, 255),
                          QColor(255, 128, 255),
                          QColor(0, 255, 128)};

double round4(double value) { return std::nearbyint(value * 10000.0) / 10000.0; }
QColor grey(int frame) {
    const int g = 5 * (frame + 1) % 255;
    return QColor(g, g, g);
}

// A 600 × 450 pixel box at 15 twips per pixel: 9000 × 6750 twips.
class HitPatternTest : public ::testing::Test {
protected:
    HitPatternTest() {
        box.setTwipsPerPixel(15);
        box.resize(600, 450);
        box.setFontName(kDesignFace);
        box.show();
        time.doEvents(); // the window is exposed
        recorder.watch(box);
    }

    void play(int number, int pattern, std::initializer_list<int> script) {
        picks.assign(script);
        recorder.clear();
        PlayHitPattern(static_cast<std::int16_t>(number), static_cast<std::int16_t>(pattern), tools);
        EXPECT_TRUE(picks.empty()) << "random picks left over";
    }
    // The first i of 3.. at which "A" in 2·i points is higher than half the box, in the design face.
    int designStepCount() {
        const QString face = box.fontName();
        box.setFontName(kDesignFace);
        int i = 3;
        for (; i <= 600; ++i) {
            box.setFontSize(2.0 * i);
            if (box.textHeight(QStringLiteral("A")) > box.scaleHeight() / 2)
                break;
        }
        box.setFontName(face);
        return i;
    }
    void expectAllAtStart() const {
        for (const PictureEvent& e : recorder.events)
            ASSERT_EQ(e.ms, 0) << "an announcement inserts no delays";
    }

    test::VirtualTime time;
    test::PictureRecorder recorder{time};
    PictureBox box;
    std::deque<int> picks;
    HitPatternTools tools{box, recorder, [this](std::int16_t max) {
                              EXPECT_FALSE(picks.empty()) << "unscripted pick of " << max;
                              if (picks.empty())
                                  return 1;
                              const int pick = picks.front();
                              picks.pop_front();
                              EXPECT_LE(pick, max);
                              return pick;
                          }};
};

TEST_F(HitPatternTest, StraightPatternsMoveGrowAndBrightenAlongTheirLines) {
    struct Line {
        double x0, y0;
        int dx, dy;
    };
    // W = 9000, H = 6750: quarters 2250 and 1687.5, halves 4500 and 3375.
    const Line lines[9] = {{},           {0, 0, 1, 1},          {6750, 0, -1, 1},      {0, 5062.5, 1, -1},
                           {6750, 5062.5, -1, -1}, {0, 3375, 1, -1}, {4500, 3375, -1, -1}, {2250, 5062.5, 0, -1},
                           {0, 1687.5, 1, 0}};
    const int steps = designStepCount();
    const double step = round4(3375.0 / steps);
    // Each pattern with a face of its own; last, pattern 1 in a face whose lines are higher than
    // those of the face the step count was measured in, so the trail runs off the bottom early.
    const std::pair<int, int> cases[] = {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}, {8, 8}, {1, 5}};
    for (const auto& [p, face] : cases) {
        SCOPED_TRACE(testing::Message() << "pattern " << p << ", face " << face);
        box.setFontName(kDesignFace); // the face the step count is measured in
        play(5, p, {face, 9 - p});
        expectAllAtStart();
        ASSERT_EQ(recorder.events.front().op.kind, PictureOp::Kind::Clear);
        EXPECT_TRUE(box.isVisible());
        const std::vector<PictureOp> prints = recorder.prints();
        ASSERT_GE(prints.size(), 2U);
        const Line& l = lines[p];
        const std::size_t frames = prints.size() - 1;
        double k = 1;
        for (std::size_t j = 0; j < frames; ++j) {
            const PictureOp& op = prints[j];
            k = round4(1 + static_cast<double>(j) * step);
            ASSERT_LE(k, 3375.0);
            EXPECT_EQ(op.text, QStringLiteral("05"));
            EXPECT_NEAR(op.x, l.x0 + l.dx * k, 1e-6) << "frame " << j;
            EXPECT_NEAR(op.y, l.y0 + l.dy * k, 1e-6) << "frame " << j;
            EXPECT_EQ(op.size, 3.0 + 2.0 * static_cast<double>(j));
            EXPECT_EQ(op.colour, grey(static_cast<int>(j))) << "frame " << j;
            EXPECT_EQ(op.face, kFaces[face]);
            EXPECT_TRUE(op.lineEnd);
            if (j + 1 < frames) {
                EXPECT_LE(op.endY, 6750.0) << "frame " << j << " reached below the box, the loop went on";
            }
        }
        // The trail ends when its line reaches below the box or when the counter passes H/2.
        const bool belowBottom = prints[frames - 1].endY > 6750.0;
        if (!belowBottom) {
            EXPECT_GT(k + step, 3375.0) << "the loop stopped early";
        }
        const double last = belowBottom ? k : k + step;
        const PictureOp& final = prints.back();
        EXPECT_EQ(final.text, QStringLiteral("05"));
        EXPECT_NEAR(final.x, l.x0 + l.dx * last, 1e-6);
        EXPECT_NEAR(final.y, l.y0 + l.dy * last, 1e-6);
        EXPECT_EQ(final.size, 3.0 + 2.0 * static_cast<double>(frames));
        EXPECT_EQ(final.colour, kFinal[9 - p]);
        if (face == 5 && p == 1) {
            EXPECT_TRUE(belowBottom);
            EXPECT_LT(frames, static_cast<std::size_t>(steps)) << "the trail should have left the box early";
        } else {
            EXPECT_EQ(frames, static_cast<std::size_t>(steps)) << "about one frame per step of the count";
        }
        // A long trail wraps the grey back to black.
        EXPECT_GT(frames, 51U);
        EXPECT_EQ(prints[50].colour, QColor(0, 0, 0));
    }
}

TEST_F(HitPatternTest, CirclePatternsTurnUntilTheNumberPassesTheRightOrBottomEdge) {
    struct Circle {
        double cx, cy, radius;
        int turn;
    };
    const Circle circles[13] = {{}, {}, {}, {}, {}, {}, {}, {}, {},
                                {1800, 2250, 2000, 1},
                                {1800, 843.75, 2000, -1},
                                {1800, 2250, 3000, 1},
                                {1800, 675, 3000, -1}};
    auto checkCircle = [&](const Circle& c, double right, double bottom) {
        const std::vector<PictureOp> prints = recorder.prints();
        ASSERT_GE(prints.size(), 2U);
        std::size_t i = 0;
        int frame = 0;
        bool stopped = false;
        double x = 0, y = 0;
        while (!stopped && i + 1 < prints.size()) {
            SCOPED_TRACE(frame);
            const double angle = 4 * frame / 100.0;
            x = round4(c.cx + c.radius * std::cos(angle));
            y = round4(c.cy + c.turn * c.radius * std::sin(angle));
            // Printed without a line end, then once more at the same place with one.
            const PictureOp& first = prints[i++];
            EXPECT_NEAR(first.x, x, 1e-6);
            EXPECT_NEAR(first.y, y, 1e-6);
            EXPECT_FALSE(first.lineEnd);
            EXPECT_EQ(first.size, 3.0 + 2.0 * frame);
            EXPECT_EQ(first.colour, grey(frame));
            if (first.endX > right) {
                stopped = true;
                break;
            }
            ASSERT_LT(i + 1, prints.size()) << "the circle ended without its second print";
            const PictureOp& second = prints[i++];
            EXPECT_NEAR(second.x, x, 1e-6);
            EXPECT_NEAR(second.y, y, 1e-6);
            EXPECT_TRUE(second.lineEnd);
            EXPECT_EQ(second.colour, first.colour);
            EXPECT_EQ(second.size, first.size);
            stopped = second.endY > bottom;
            ++frame;
        }
        EXPECT_EQ(i + 1, prints.size()) << "prints after the circle should have stopped";
        if (!stopped) {
            EXPECT_EQ(frame, 158);
        }
        const PictureOp& final = prints.back();
        EXPECT_NEAR(final.x, x, 1e-6);
        EXPECT_NEAR(final.y, y, 1e-6);
        EXPECT_EQ(final.size, prints[prints.size() - 2].size) << "the final copy keeps the last size";
        EXPECT_EQ(final.text, QStringLiteral("42"));
        EXPECT_TRUE(final.lineEnd);
    };
    for (int p = 9; p <= 12; ++p) {
        SCOPED_TRACE(p);
        play(42, p, {p - 8, p - 7});
        expectAllAtStart();
        checkCircle(circles[p], 9000, 6750);
        EXPECT_EQ(recorder.prints().front().face, kFaces[p - 8]);
        EXPECT_EQ(recorder.prints().back().colour, kFinal[p - 7]);
    }

    // A narrow box: the first copy already reaches past the right edge.
    box.resize(150, 450);
    play(42, 9, {7, 1});
    ASSERT_EQ(recorder.prints().size(), 2U);
    checkCircle({450, 2250, 2000, 1}, 2250, 6750);
}

TEST_F(HitPatternTest, EveryFrameReachesTheScreenBeforeTheNext) {
    for (int p : {1, 10}) {
        SCOPED_TRACE(p);
        play(75, p, {3, 3});
        bool unpainted = false;
        int frames = 0;
        for (const PictureEvent& e : recorder.events) {
            if (e.kind == PictureEvent::Kind::Op && e.op.kind == PictureOp::Kind::Print)
                unpainted = true;
            if (e.kind == PictureEvent::Kind::Paint)
                unpainted = false;
            if (e.kind == PictureEvent::Kind::DoEvents) {
                ASSERT_FALSE(unpainted) << "frame " << frames << " was not on the screen before events ran";
                ++frames;
            }
        }
        EXPECT_GT(frames, 20);
        // The final copy is really in the box's image, in its colour.
        const QImage image = box.image();
        bool found = false;
        for (int y = 0; y < image.height() && !found; ++y)
            for (int x = 0; x < image.width() && !found; ++x)
                found = image.pixelColor(x, y) == kFinal[3];
        EXPECT_TRUE(found);
    }
}

TEST_F(HitPatternTest, NewerAnnouncementFromAFrameTakesTheBoxOver) {
    // The draw of another number ends while this announcement lets events run.
    time.schedule(0, [this] {
        recorder.events.push_back({PictureEvent::Kind::DoEvents, {.kind = PictureOp::Kind::Clear}, -1});
        PlayHitPattern(33, 3, tools);
    });
    picks.assign({1, 4, 5});
    recorder.clear();
    PlayHitPattern(7, 9, tools);
    EXPECT_TRUE(picks.empty());
    const auto nested = std::find_if(recorder.events.begin(), recorder.events.end(),
                                     [](const PictureEvent& e) { return e.ms == -1; });
    ASSERT_NE(nested, recorder.events.end());
    // The first frame of 07, then only 33: the older one draws nothing more and shows no final copy.
    int before = 0;
    for (auto it = recorder.events.begin(); it != recorder.events.end(); ++it) {
        if (it->kind != PictureEvent::Kind::Op || it->op.kind != PictureOp::Kind::Print)
            continue;
        const bool older = it < nested;
        EXPECT_EQ(it->op.text, older ? QStringLiteral("07") : QStringLiteral("33"));
        before += older ? 1 : 0;
    }
    EXPECT_EQ(before, 1);
    EXPECT_EQ(recorder.prints().back().colour, kFinal[5]);
    EXPECT_EQ(recorder.prints().back().face, kFaces[4]);
}

} // namespace
} // namespace halvora
