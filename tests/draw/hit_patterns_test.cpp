#include "draw/hit_patterns.h"

#include "main_window_fixture.h"

#include <QTest>

#include <deque>

namespace halvora {
namespace {

using test::PictureEvent;

const QString kDesignFace = QStringLiteral("ＭＳ Ｐゴシック");
// clang-format off
const QString kFaces[9] = {{}, QStringLiteral("@HG正楷書体-PRO"), QStringLiteral("@HGP創英角ﾎﾟｯﾌﾟ体"),
    QStringLiteral("@ＭＳ Ｐゴシック"), QStringLiteral("@ＭＳ Ｐ明朝"), QStringLiteral("Impact"),
    QStringLiteral("@HG行書体"), QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("@HGS明朝B")};
const QColor kFinal[9] = {{}, QColor(0, 255, 255), QColor(255, 0, 255), QColor(255, 255, 0), QColor(128, 255, 255),
    QColor(128, 255, 128), QColor(128, 128, 255), QColor(255, 128, 255), QColor(0, 255, 128)};
// clang-format on

// Where the trail of copies ends.
enum class Stop {
    HalfWay, // a line's counter passed half the box height: one frame per step of the count
    Bottom,  // the printed line reached below the box
    Right,   // a circle's number reached past the right edge
    Edge,    // a circle turned until the number passed the right or bottom edge, or all the way round
};

// What the audience sees of one announcement in a box 450 pixels (6750 twips) high.
struct Seen {
    int pattern, widthPx; // the box is widthPx · 15 twips wide
    double x, y;          // where the number first appears, in twips
    int dx, dy;           // the direction of its first move (a circle starts right of its centre)
    double radius;        // circles only
    int face, colour;     // the picks of face and final colour, 1..8
    Stop stop;
};

class HitPatternTest : public ::testing::Test {
protected:
    HitPatternTest() {
        box.setTwipsPerPixel(15);
        box.resize(600, 450);
        box.show();
        time.doEvents(); // the window is exposed
        recorder.watch(box);
    }

    // The first i of 3.. at which "A" in 2·i points is higher than half the box, in the design face.
    int designStepCount() {
        int i = 3;
        for (box.setFontName(kDesignFace); i <= 600; ++i) {
            box.setFontSize(2.0 * i);
            if (box.textHeight(QStringLiteral("A")) > box.scaleHeight() / 2)
                break;
        }
        return i;
    }

    test::VirtualTime time;
    test::PictureRecorder recorder{time};
    PictureBox box;
    std::deque<int> picks;
    HitPatternTools tools{box, time, [this](std::int16_t max) {
                              const int pick = picks.empty() ? max + 1 : picks.front(); // none left: fails
                              if (!picks.empty())
                                  picks.pop_front();
                              EXPECT_LE(pick, max) << "a pick of 1.." << max;
                              return pick;
                          }};
};

TEST_F(HitPatternTest, EachPatternDrawsItsTrailAndEndsInItsColour) {
    // W = 9000, H = 6750 twips unless narrower; lines start one step along from their start point.
    const Seen rows[] = {
        {1, 600, 1, 1, 1, 1, 0, 1, 8, Stop::Bottom},
        {2, 600, 6749, 1, -1, 1, 0, 6, 7, Stop::Bottom},
        {3, 600, 1, 5061.5, 1, -1, 0, 3, 6, Stop::HalfWay},
        {4, 600, 6749, 5061.5, -1, -1, 0, 4, 5, Stop::HalfWay},
        {5, 600, 1, 3374, 1, -1, 0, 5, 4, Stop::HalfWay},
        {6, 600, 4499, 3374, -1, -1, 0, 2, 3, Stop::HalfWay},
        {7, 600, 2250, 5061.5, 0, -1, 0, 7, 2, Stop::HalfWay},
        {8, 600, 1, 1687.5, 1, 0, 0, 8, 1, Stop::HalfWay},
        {9, 600, 3800, 2250, -1, 1, 2000, 1, 2, Stop::Edge},
        {10, 600, 3800, 843.75, -1, -1, 2000, 2, 3, Stop::Edge},
        {11, 600, 4800, 2250, -1, 1, 3000, 3, 4, Stop::Edge},
        {12, 600, 4800, 675, -1, -1, 3000, 4, 5, Stop::Edge},
        // In a narrow box the first copy already reaches past the right edge.
        {9, 150, 2450, 2250, 0, 0, 2000, 7, 1, Stop::Right},
    };
    const auto at = [](const PictureOp& print) { return QPointF(print.x, print.y); };
    const auto sign = [](double value) { return (value > 1e-9) - (value < -1e-9); };
    const auto expectAt = [](const QPointF& p, const QPointF& expected, const char* what) {
        EXPECT_NEAR(QLineF(p, expected).length(), 0, 1e-6) << what << " at " << p.x() << ", " << p.y();
    };
    QWidget window;
    QLineEdit* const board[] = {new QLineEdit(&window), new QLineEdit(&window)};
    for (const Seen& s : rows) {
        SCOPED_TRACE(testing::Message()
                     << "pattern " << s.pattern << ", face " << s.face << ", width " << s.widthPx);
        box.resize(s.widthPx, 450);
        const int steps = designStepCount(); // the face the box has before the announcement
        for (QLineEdit* number : board)
            number->show();
        picks.assign({s.pattern, s.face, s.colour});
        recorder.clear();
        showHitAnnouncement(5, board, tools);
        EXPECT_TRUE(picks.empty()) << "random picks left over";
        EXPECT_TRUE(board[0]->isHidden() && board[1]->isHidden());
        EXPECT_TRUE(box.isVisible());

        // Drawn at once after a clear, every frame in the box on the screen before events run.
        ASSERT_EQ(recorder.events.front().op.kind, PictureOp::Kind::Clear);
        const QRectF inside(0, 0, s.widthPx * 15.0, 6750);
        bool unpainted = false;
        for (const PictureEvent& e : recorder.events) {
            ASSERT_EQ(e.ms, 0) << "an announcement inserts no delays";
            const bool print = e.op.kind == PictureOp::Kind::Print && inside.contains(e.op.x, e.op.y);
            unpainted = e.kind == PictureEvent::Kind::Op ? unpainted || print
                                                         : unpainted && e.kind != PictureEvent::Kind::Paint;
            ASSERT_FALSE(unpainted && e.kind == PictureEvent::Kind::DoEvents) << "a frame missed the screen";
        }

        // The trail of copies, then the final copy in its colour.
        const bool circle = s.radius > 0;
        const double right = s.widthPx * 15.0, bottom = 6750;
        std::vector<PictureOp> prints = recorder.prints();
        for (const PictureOp& p : prints)
            EXPECT_EQ(p.text + p.face, QStringLiteral("05") + kFaces[s.face]);
        const PictureOp final = prints.back();
        prints.pop_back();
        std::vector<QPointF> frames; // where each copy of the trail is drawn
        for (std::size_t i = 0; i < prints.size(); ++i) {
            const PictureOp& p = prints[i];
            EXPECT_TRUE(i + 1 == prints.size() || (p.endY <= bottom && (p.lineEnd || p.endX <= right)))
                << "went on past an edge at " << i;
            if (!circle || !p.lineEnd) // a circle prints each copy again at its place, ending the line
                frames.push_back(at(p));
        }
        ASSERT_FALSE(frames.empty());
        expectAt(frames[0], {s.x, s.y}, "first copy");
        const QPointF move = frames.size() > 1 ? frames[1] - frames[0] : QPointF();
        EXPECT_EQ(std::pair(sign(move.x()), sign(move.y())), std::pair(s.dx, s.dy));
        if (circle) {
            EXPECT_NEAR(QLineF(frames.back(), {s.x - s.radius, s.y}).length(), s.radius, 1e-3);
        }
        const PictureOp& end = prints.back();
        const bool pastBottom = end.lineEnd && end.endY > bottom,
                   pastRight = !end.lineEnd && end.endX > right;
        const bool stopped[] = {frames.size() == static_cast<std::size_t>(steps) && !pastBottom, pastBottom,
                                pastRight,
                                pastBottom || pastRight || frames.size() == 158U}; // in the order of Stop
        EXPECT_TRUE(stopped[static_cast<int>(s.stop)]) << "stopped after " << frames.size() << " copies";
        expectAt(at(final), frames.back() + (s.stop == Stop::HalfWay ? move : QPointF()), "final copy");
        EXPECT_EQ(final.colour, kFinal[s.colour]);
        const QImage image = box.image();
        bool inImage = false;
        for (int y = 0; y < image.height() && !inImage; ++y)
            for (int x = 0; x < image.width() && !inImage; ++x)
                inImage = image.pixelColor(x, y) == kFinal[s.colour];
        EXPECT_EQ(inImage, s.widthPx > 150) << "the final copy is where it was drawn";
    }
}

// The window goes while the announcement lets events run: it ends without touching the box.
TEST_F(HitPatternTest, AnnouncementThatLosesItsBoxStopsDrawing) {
    for (int pattern : {1, 9}) {
        auto* gone = new PictureBox;
        gone->resize(600, 450);
        time.schedule(0, [gone] { delete gone; });
        picks.assign({2});
        playHitPattern(7, static_cast<std::int16_t>(pattern), {*gone, time, tools.pick});
        EXPECT_TRUE(picks.empty()) << pattern;
    }
}

class HitMarkingTest : public test::MainWindowTest {
protected:
    // 400 ms into a second of the clock, so that the wait after a marking with effects shows.
    void SetUp() override {
        time.advance(400);
        folder.addSampleMedia();
        random.pushPicks({1, 1, 2, 3, 4}, 4); // the draw-button icons
        ASSERT_TRUE(startWindow());
        time.doEvents(); // the window is exposed
        announcement = control<PictureBox>(u"Pic当り発表");
        recorder.watch(*announcement);
    }
    QString count() const { return text(u"Txt回数"); }
    // The prints of one announcement start with its clear; the texts printed after clear `k`.
    QStringList textsAfterClear(int k) const {
        QStringList texts;
        int clears = 0;
        for (const PictureEvent& e : recorder.events)
            if (e.kind == PictureEvent::Kind::Op && e.op.kind == PictureOp::Kind::Clear)
                ++clears;
            else if (e.kind == PictureEvent::Kind::Op && e.op.kind == PictureOp::Kind::Print && clears == k)
                texts << e.op.text;
        return texts;
    }

    PictureBox* announcement = nullptr;
    test::PictureRecorder recorder{time};
};

TEST_F(HitMarkingTest, CorrectionCommandsFollowTheFlagsAndTheCounter) {
    // Before any double-click there is no target: nothing changes.
    for (const char16_t* command : {u"Menu当り", u"Menu当り_効果付き", u"Menu解除"})
        trigger(command);
    EXPECT_EQ(count(), "0");
    // A double-click selects the number and pops up the correction menu.
    QTest::mouseDClick(box(20), Qt::LeftButton);
    auto* menu = control<QMenu>(u"Menu当り修正");
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    // Each command given twice: the second time changes nothing. With effects on a number already
    // drawn: no announcement, no wait. The next full repaint of the board agrees.
    const std::tuple<const char16_t*, bool, const char*, QColor> steps[] = {
        {u"Menu当り", true, "1", test::kDrawn},           {u"Menu当り", true, "1", test::kDrawn},
        {u"Menu当り_効果付き", true, "1", test::kDrawn},   {u"Menu解除", false, "0", test::kNotDrawn},
        {u"Menu解除", false, "0", test::kNotDrawn}};
    for (const auto& [command, drawn, counter, colour] : steps) {
        trigger(command);
        const QColor shown = back(20);
        form->applyBoardColours();
        EXPECT_EQ(std::tuple(form->game().isDrawn(20), count(), shown, back(20)),
                  std::tuple(drawn, counter, colour, colour))
            << QString::fromUtf16(command).toStdString();
    }
    EXPECT_TRUE(recorder.prints().empty());
    EXPECT_EQ(time.elapsedMs(), 400);

    // With effects: the number's own pattern (12 plays pattern 1, from the top-left corner) in no time
    // of its own, then the box stays up with the board over it until the clock's second has changed twice.
    random.pushPicks({2, 3}, 8); // face, final colour
    bool visibleDuringWait = false;
    time.schedule(1500, [&] { visibleDuringWait = announcement->isVisible() && visibleBoxes() == 75; });
    correct(12, u"Menu当り_効果付き");
    EXPECT_TRUE(form->game().isDrawn(12) && count() == "1" && back(12) == test::kDrawn);
    const std::vector<PictureOp> prints = recorder.prints();
    ASSERT_GT(prints.size(), 10U);
    EXPECT_TRUE(prints.front().text == "12" && prints.front().x == 1 && prints.front().y == 1);
    EXPECT_EQ(prints.back().colour, QColor(255, 255, 0));
    EXPECT_TRUE(visibleDuringWait);
    EXPECT_FALSE(announcement->isVisible());
    EXPECT_EQ(time.elapsedMs(), 3000);
    EXPECT_EQ(visibleBoxes(), 75);
}

TEST_F(HitMarkingTest, AnnouncementStartedDuringAnotherTakesTheBoxOver) {
    // The operator marks 20 with effects while 12's announcement lets events run: one frame of 12,
    // then 20 alone; the older announcement neither draws on nor shows its final copy.
    random.pushPicks({1, 2, 3}, 8);
    time.schedule(0, [this] { correct(20, u"Menu当り_効果付き"); });
    correct(12, u"Menu当り_効果付き");
    EXPECT_EQ(random.remaining(), 0);
    EXPECT_TRUE(count() == "2" && form->game().isDrawn(12) && form->game().isDrawn(20));
    EXPECT_EQ(textsAfterClear(1), QStringList{"12"});
    const QStringList later = textsAfterClear(2);
    ASSERT_GT(later.size(), 10);
    EXPECT_EQ(later.count("20"), later.size());
    EXPECT_FALSE(announcement->isVisible());
    EXPECT_LE(time.elapsedMs(), 6400);

    // A draw's announcement starting inside a manual one keeps the box until the draw cycle ends it.
    recorder.clear();
    random.pushPicks({1}, 8);
    random.pushPicks({9}, 12);
    random.pushPicks({4, 5}, 8);
    time.schedule(0, [this] { form->handMarking().showHitAnnouncement(33); });
    correct(40, u"Menu当り_効果付き");
    EXPECT_EQ(random.remaining(), 0);
    EXPECT_EQ(textsAfterClear(1), QStringList{"40"});
    EXPECT_EQ(textsAfterClear(2).count("33"), textsAfterClear(2).size());
    EXPECT_TRUE(announcement->isVisible() && visibleBoxes() == 0);
}

} // namespace
} // namespace halvora
