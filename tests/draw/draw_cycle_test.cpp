#include "main_window_fixture.h"

#include "draw/hit_patterns.h"
#include "draw/turn_view.h"
#include "platform/random_pick.h"

#include <QApplication>
#include <QDialog>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

namespace halvora {
namespace {

using test::PictureEvent;

enum TimeOption { Auto = 0, TenSeconds = 1, FiveSeconds = 2, Manual = 3 };

// A turn's view that keeps what the audience would see; the options are set by the test.
class RecordingView final : public TurnView {
public:
    int numbers = 1, drawTime = FiveSeconds;
    bool avRandomly = false, picturesRandomly = false;
    QStringList told; // "all out", as often as it came

    // What the screen shows now, e.g. "stop candidate 12 photo SPG1.jpg".
    QString now() const {
        QStringList shown{buttons_, stop_, panel_, video_, board_, photo_, announced_};
        shown.removeAll(QString());
        return shown.join(u' ');
    }

    int hitCountIndex() const override { return 4 - numbers; }
    int drawTimeIndex() const override { return drawTime; }
    bool avRandom() const override { return avRandomly; }
    bool pictureRandom() const override { return picturesRandomly; }
    bool drawButtonsReady() const override { return !buttons_.isEmpty(); }
    bool stopReady() const override { return drawTime == Manual && !stop_.isEmpty(); }
    void tellAllNumbersOut() override { told << QStringLiteral("all out"); }
    void showTurnStart() override {}
    void showDrawButtons(bool shown) override { buttons_ = shown ? "buttons" : ""; }
    void setStopEnabled(bool enabled) override { stop_ = enabled ? "stop" : ""; }
    void showPanel(bool shown) override { panel_ = shown ? "panel" : ""; }
    void hideBoard() override { board_.clear(); }
    void showCandidate(int n) override { board_ = QStringLiteral("candidate %1").arg(n); }
    void showVideoArea(bool shown) override { video_ = shown ? "video" : ""; }
    void showPhoto(const QString& path) override { photo_ = QStringLiteral("photo ") + path.section(u'/', -1); }
    void hidePhoto() override { photo_.clear(); }
    void changeStartIcons() override {}
    void showBoard() override { board_ = QStringLiteral("board"); }
    // The announcement hides the board.
    void showHitAnnouncement(int n) override { board_.clear(), announced_ = QStringLiteral("announce %1").arg(n); }
    void hideAnnouncement() override { announced_.clear(); }
    void stopAnnouncement() override {}

private:
    // Each part's words while it is shown, else empty.
    QString buttons_ = "buttons", stop_, panel_ = "panel", video_, board_ = "board", photo_, announced_;
};

struct Entry {
    QString file;
    std::int32_t start = 0;
    std::int32_t playSeconds = 0;
};

// The draw cycle on the virtual time line, without a window. The candidates come out 1, 2, 3, …
class DrawCycleTest : public ::testing::Test {
protected:
    DrawCycleTest() {
        random.setCounting();
        game.setHistoryFolder(folder.path());
        media.whileOpening = [this] { time.doEvents(); }; // as the real player lets events run
        // What a file holds makes a turn show video or a photo, whatever its name: here a clip is a video.
        media.kindOf = [](const QString& path) {
            return path.contains(u"clip") ? MediaKind::Video : MediaKind::Music;
        };
        show.pictures.count = 2;
        show.pictures.files[1] = QStringLiteral("/p/SPG1.jpg");
        show.pictures.files[2] = QStringLiteral("/p/SPG2.jpg");
    }
    void start(TimeOption drawTime, int numbers, const std::vector<Entry>& entries) {
        view.drawTime = drawTime;
        view.numbers = numbers;
        show.av.count = static_cast<std::int16_t>(entries.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            show.av.files[i + 1] = entries[i].file;
            show.av.starts[i + 1] = entries[i].start;
            show.av.playSeconds[i + 1] = entries[i].playSeconds;
        }
    }
    int drawn() const { return game.drawCount(); }
    qint64 untilDrawn(int count) {
        time.runUntil([&] { return drawn() >= count; }, 120000, QStringLiteral("draw %1").arg(count));
        return time.elapsedMs();
    }
    qint64 untilIdle() {
        time.runUntil([&] { return game.rouletteState() == RouletteState::Idle; }, 120000, QStringLiteral("board back"));
        return time.elapsedMs();
    }
    // Runs `action` at an instant of the time line: inside whatever wait the cycle is in then.
    void at(qint64 ms, std::function<void()> action) {
        time.schedule(static_cast<int>(ms - time.elapsedMs()), std::move(action));
    }
    // What the screen shows at an instant ("#" for any number), and the draws booked by then.
    void expectAt(qint64 ms, const QString& screen, int drawnThen) {
        const QRegularExpression pattern(QRegularExpression::anchoredPattern(
            QRegularExpression::escape(screen).replace(QStringLiteral("\\#"), QStringLiteral("\\d+"))));
        at(ms, [this, ms, pattern, drawnThen] {
            EXPECT_TRUE(pattern.match(view.now()).hasMatch()) << view.now().toStdString() << " at " << ms << " ms";
            EXPECT_EQ(drawn(), drawnThen) << "at " << ms << " ms";
        });
    }
    qsizetype calls(const QString& call) const { return media.calls().count(call); }

    test::ProgramFolder folder;
    test::VirtualTime time;
    test::ScriptedRandom random;
    test::MediaRecorder media;
    Game game{time, random};
    ShowSetup show;
    RecordingView view;
    DrawCycle cycle{game, show, view, time, time, media};
};

// A candidate every 500 ms, up for 250 ms; the one up at 5 s is drawn and announced for 8 s, the
// buttons back at once, the board and the music not until the announcement's end.
TEST_F(DrawCycleTest, OneNumberWithMusicInFiveSeconds) {
    start(FiveSeconds, 1, {{"/m/m1.mp3", 5, 30}});
    expectAt(251, "stop candidate 1 photo SPG1.jpg", 0);
    expectAt(501, "stop photo SPG1.jpg", 0);
    expectAt(4999, "stop candidate 10 photo SPG1.jpg", 0);
    expectAt(5001, "buttons photo SPG1.jpg announce 10", 1);
    expectAt(12999, "buttons photo SPG1.jpg announce 10", 1);
    cycle.startTurn();
    EXPECT_EQ(media.calls(), QStringList({"open /m/m1.mp3", "seek /m/m1.mp3 5", "play /m/m1.mp3"}));
    EXPECT_EQ(view.now(), "stop photo SPG1.jpg");
    at(6000, [this] { cycle.next(); }); // the buttons are back, yet a key waits for the board
    EXPECT_EQ(untilIdle(), 13000);
    EXPECT_EQ(view.now(), "buttons panel board");
    EXPECT_EQ(media.calls().mid(3), QStringList{"close /m/m1.mp3"});
    EXPECT_EQ(time.runningTimers(), 0);
}

// Four numbers a turn with a video named as music, by hand: only STOP ends the first roulette, 600 ms
// on, also after another draw time was chosen and "手動" again meanwhile; each further number comes 8 s
// of announcement and a one-second roulette later.
TEST_F(DrawCycleTest, FourNumbersWithVideoStoppedByHand) {
    start(Manual, 4, {{"/m/clip.mp3", 3, 20}});
    cycle.startTurn();
    EXPECT_EQ(media.calls(), QStringList({"open /m/clip.mp3", "show /m/clip.mp3", "seek /m/clip.mp3 3",
                                          "play /m/clip.mp3"}));
    EXPECT_EQ(view.now(), "stop video");
    at(1000, [this] { view.drawTime = TenSeconds; });
    at(20000, [this] { view.drawTime = Manual; });
    time.advance(30000);
    EXPECT_EQ(drawn(), 0);
    cycle.next();
    for (int k = 1; k <= 4; ++k) {
        const qint64 fixed = 30600 + (k - 1) * 9000;
        expectAt(fixed - 1, k == 1 ? "video" : "video candidate #", k - 1);
        expectAt(fixed + 1, k == 4 ? "buttons video announce #" : "video announce #", k);
    }
    EXPECT_EQ(untilIdle(), 30600 + 3 * 9000 + 8000);
    EXPECT_EQ(view.now(), "buttons panel board");
    EXPECT_EQ(media.calls().last(), "close /m/clip.mp3");
}

// "自動" draws for as long as the entry plays, at most a minute; play time 0 (to the end) and an empty
// list give the minute. An empty list plays its empty entry as music, and its photo stays up.
TEST_F(DrawCycleTest, AutomaticDrawTimeFollowsThePlayTime) {
    const auto tune = [](int playSeconds) { return std::vector<Entry>{{"/m/m.mp3", 0, playSeconds}}; };
    const std::pair<std::vector<Entry>, qint64> rows[] = {
        {tune(90), 60000}, {tune(0), 60000}, {tune(-5), 60000}, {tune(12), 12000}, {{}, 60000}};
    for (const auto& [entries, endMs] : rows) {
        start(Auto, 1, entries);
        media.clear();
        const qint64 pressed = time.elapsedMs();
        cycle.startTurn();
        EXPECT_EQ(untilDrawn(drawn() + 1) - pressed, endMs) << media.calls().join(u',').toStdString();
        untilIdle();
    }
    EXPECT_EQ(media.calls(), QStringList({"open ", "seek  0", "play ", "close "}));
    EXPECT_EQ(view.now(), "buttons panel board photo SPG1.jpg");
}

// The entry follows the draws so far (two a turn: every other one), or the random pick.
TEST_F(DrawCycleTest, MediaFollowsTheListByNumbersDrawnOrAtRandom) {
    start(FiveSeconds, 2, {{"/m/1.mp3"}, {"/m/2.mp3"}, {"/m/3.mp3"}});
    for (int t = 0; t < 2; ++t) {
        cycle.startTurn();
        untilIdle();
    }
    EXPECT_EQ(media.calls().filter("open"), QStringList({"open /m/1.mp3", "open /m/3.mp3"}));

    view.avRandomly = view.picturesRandomly = true;
    random.pushPicks({3}, 3); // list order would give 2.mp3 and SPG1.jpg
    random.pushPicks({2}, 2);
    media.clear();
    cycle.startTurn();
    EXPECT_EQ(media.calls().first(), "open /m/3.mp3");
    EXPECT_EQ(view.now(), "stop photo SPG2.jpg");
}

TEST_F(DrawCycleTest, TheLastNumbersOfTheGameEndTheTurnAndThenTheGame) {
    start(FiveSeconds, 4, {{"/m/m.mp3"}});
    for (int n = 1; n <= 75; ++n)
        if (n != 10 && n != 50)
            game.markByHand(n);
    expectAt(14001, "buttons photo SPG1.jpg announce #", 2);
    cycle.startTurn();
    EXPECT_EQ(untilIdle(), 22000);

    media.clear();
    cycle.next(); // a key tells nothing
    cycle.startTurn();
    EXPECT_EQ(view.told, QStringList{"all out"});
    EXPECT_TRUE(media.calls().isEmpty());
    EXPECT_EQ(view.now(), "buttons panel board");

    // Corrections that leave nothing undrawn during a roulette end the turn without a booking.
    game.clearByHand(10);
    cycle.startTurn();
    time.advance(600);
    game.markByHand(10);
    time.advance(500);
    EXPECT_EQ(drawn(), 2);
    EXPECT_EQ(view.now(), "buttons panel board");
    EXPECT_EQ(time.runningTimers(), 0);
}

TEST_F(DrawCycleTest, PressesNeverOverlapTurnsOrStrandAPlayer) {
    start(FiveSeconds, 1, {{"/m/clip.mp4"}, {"/m/tune.AVI"}});
    // A second press, or "next", while the video starts (events run there) is ignored.
    time.schedule(0, [this] {
        cycle.startTurn();
        cycle.next();
    });
    cycle.startTurn();
    EXPECT_EQ(calls("open /m/clip.mp4"), 1);
    EXPECT_EQ(untilDrawn(1), 5000);

    // A press during the last announcement starts the next turn at once; the earlier turn's video
    // is closed and its announcement taken down. Music named as a video shows the photo.
    time.advance(2000);
    cycle.startTurn();
    EXPECT_EQ(media.calls().mid(4, 2), QStringList({"close /m/clip.mp4", "open /m/tune.AVI"}));
    EXPECT_EQ(view.now(), "stop photo SPG2.jpg");
    // The earlier announcement's end never comes: the new roulette goes on.
    EXPECT_EQ(untilDrawn(2), 12000);
    EXPECT_EQ(untilIdle(), 20000);
    EXPECT_EQ(calls("close /m/tune.AVI"), 1);
    EXPECT_EQ(view.now(), "buttons panel board");
}

TEST_F(DrawCycleTest, StopIgnoredDuringAnAnnouncementAndUsableOnceManualIsChosen) {
    start(FiveSeconds, 2, {{"/m/m.mp3"}});
    cycle.startTurn();
    // STOP during an announcement would book the same number twice: it does nothing. A hand marking
    // there, with its effect's own wait inside the cycle's, keeps the turn on time.
    at(6000, [this] {
        view.drawTime = Manual;
        cycle.stopRoulette();
        EXPECT_TRUE(game.markByHand(70));
        waitSeconds(2, time, time);
    });
    // "手動" chosen mid-turn: STOP, usable since the turn began, ends the next draw 600 ms on.
    at(13200, [this] { cycle.next(); });
    expectAt(13799, "candidate # photo SPG1.jpg", 1);
    expectAt(13801, "buttons photo SPG1.jpg announce #", 2);
    EXPECT_EQ(untilIdle(), 21800);
    EXPECT_EQ(game.counterText(), "3");
}

using PresenterKeysTest = test::MainWindowTest;

// A presenter remote (PageDown) or the keyboard runs the show in the window as the mouse would,
// wherever the focus is, but never while a dialog is open.
TEST_F(PresenterKeysTest, DrawAndStopAsClicksWould) {
    ASSERT_NO_FATAL_FAILURE(startSampleShow());
    control<QRadioButton>(u"Opt抽選時間_3")->click();
    QApplication::setActiveWindow(form.get());
    // As the window system does: the key goes to the widget with the focus.
    const auto key = [this](Qt::Key k) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : form.get(), k);
    };
    const auto turnRuns = [this] { return !control(u"Command1_0")->isVisible(); };
    control<QRadioButton>(u"Opt当たり数_3")->setFocus(); // the operator clicked an option button
    for (const Qt::Key next : {Qt::Key_PageDown, Qt::Key_Space, Qt::Key_Return}) {
        key(next);
        EXPECT_TRUE(turnRuns()) << next;
        key(Qt::Key_PageDown);
        time.runUntil([&] { return form->game().rouletteState() == RouletteState::Idle; }, 20000);
    }
    EXPECT_EQ(form->game().drawCount(), 3);

    // Keys 1..4 choose the numbers per turn; in the participants box keys type, Enter included.
    key(Qt::Key_4);
    EXPECT_TRUE(control<QRadioButton>(u"Opt当たり数_0")->isChecked());
    auto* participants = control<QLineEdit>(u"Txt参加人数");
    participants->setFocus();
    participants->clear();
    for (const Qt::Key k : {Qt::Key_2, Qt::Key_Space, Qt::Key_Return})
        key(k);
    EXPECT_EQ(participants->text(), QStringLiteral("2 "));
    QDialog dialog(form.get());
    dialog.open();
    key(Qt::Key_PageDown);
    EXPECT_FALSE(turnRuns());
}

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
    test::ScriptedRandom random;
    HitPatternTools tools{box, time, [this](std::int16_t max) { return randomPick(random, max); }};
};

TEST_F(HitPatternTest, EachPatternDrawsItsTrailAndEndsInItsColourUnlessItsBoxGoes) {
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
        // In a narrow box the first copy already reaches past the right edge.
        {9, 150, 2450, 2250, 0, 0, 2000, 7, 1, Stop::Right},
    };
    const auto at = [](const PictureOp& print) { return QPointF(print.x, print.y); };
    const auto sign = [](double value) { return (value > 1e-9) - (value < -1e-9); };
    const auto expectAt = [](const QPointF& p, const QPointF& expected, const char* what) {
        EXPECT_NEAR(QLineF(p, expected).length(), 0, 1e-6) << what << " at " << p.x() << ", " << p.y();
    };
    for (const Seen& s : rows) {
        SCOPED_TRACE(testing::Message()
                     << "pattern " << s.pattern << ", face " << s.face << ", width " << s.widthPx);
        box.resize(s.widthPx, 450);
        const int steps = designStepCount(); // the face the box has before the announcement
        random.pushPicks({s.pattern, s.face, s.colour}, 12);
        recorder.clear();
        showHitAnnouncement(5, {}, tools);

        // Drawn at once after a clear, every frame in the box on the screen before events run.
        ASSERT_EQ(recorder.events.front().op.kind, PictureOp::Kind::Clear);
        const QRectF inside(0, 0, s.widthPx * 15.0, 6750);
        const double right = inside.right(), bottom = inside.bottom();
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
    }

    // The window goes while the announcement lets events run: it ends without touching the box.
    for (int pattern : {1, 9}) {
        auto* gone = new PictureBox;
        gone->resize(600, 450);
        time.schedule(0, [gone] { delete gone; });
        random.pushPicks({2}, 8);
        playHitPattern(7, static_cast<std::int16_t>(pattern), {*gone, time, tools.pick});
        EXPECT_EQ(random.remaining(), 0) << pattern;
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
    // of its own, then the box stays up with the board until the clock's second has changed twice.
    random.pushPicks({2, 3}, 8); // face, final colour
    correct(12, u"Menu当り_効果付き");
    const std::vector<PictureOp> prints = recorder.prints();
    ASSERT_GT(prints.size(), 10U);
    EXPECT_TRUE(prints.front().text == "12" && prints.front().x == 1 && prints.front().y == 1);
    EXPECT_EQ(prints.back().colour, QColor(255, 255, 0));
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
    random.pushPicks({1, 9, 4, 5}, 12); // 40's face; the draw's pattern, face and final colour
    time.schedule(0, [this] { form->handMarking().showHitAnnouncement(33); });
    correct(40, u"Menu当り_効果付き");
    EXPECT_EQ(random.remaining(), 0);
    EXPECT_EQ(textsAfterClear(1), QStringList{"40"});
    EXPECT_EQ(textsAfterClear(2).count("33"), textsAfterClear(2).size());
    EXPECT_TRUE(announcement->isVisible() && visibleBoxes() == 0);
}

} // namespace
} // namespace halvora
