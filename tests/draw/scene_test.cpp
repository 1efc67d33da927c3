// What the audience sees: the window as it reached the screen, grabbed at the moments that matter,
// with real libmpv drawing the test clip's frames into the board; and a turn on the real clock.
#include "main_window_fixture.h"
#include "real_turn.h"

#include "platform/mpv_media_player.h"
#include "platform/video_view.h"

#include <QEventLoop>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace halvora {
namespace {

using test::kDrawn;
using test::kLatest;
const QColor kPhoto(200, 30, 30);

class SceneTest : public test::MainWindowTest {
protected:
    void SetUp() override {
        folder.addSampleMedia();
        ASSERT_TRUE(QFile::copy(QStringLiteral(HALVORA_TEST_DATA_DIR "/clip.avi"), folder.file("clip.avi")));
        QImage square(300, 300, QImage::Format_RGB32);
        square.fill(kPhoto);
        ASSERT_TRUE(square.save(folder.file(QStringLiteral("square.png"))));
        random.setCounting();
        form = std::make_unique<MainForm>(real, printer, folder.path(), userData.path());
        ASSERT_TRUE(form->load());
        time.doEvents();
        MainControls& c = form->controls();
        c.selectDrawTimeIndex(3); // by hand: the roulette runs until STOP
        c.selectHitCountIndex(3); // one number a press
        c.setAvRandom(false);
        c.setPictureRandom(false);
    }
    MainControls& controls() const { return form->controls(); }
    // The window's pixels as they reached the screen.
    QImage shot() {
        QCoreApplication::processEvents();
        return form->screen()->grabWindow(form->winId()).toImage();
    }
    QColor at(const QImage& image, const QWidget* widget, QPoint p) const {
        return image.pixelColor(widget->mapTo(form.get(), p));
    }
    // Pixels of the announcement's own picture in `area` (its coordinates) that the screen does not
    // show, of those that `counts` picks.
    int hiddenAnnouncementPixels(const QImage& screen, QRect area,
                                 const std::function<bool(QRgb)>& counts = [](QRgb) { return true; }) const {
        const PictureBox& box = *controls().announcement;
        const QImage own = box.image().convertToFormat(QImage::Format_ARGB32);
        int hidden = 0;
        area &= box.rect();
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QRgb mine = own.pixel(x, y);
                if (!counts(mine))
                    continue;
                hidden += (at(screen, &box, {x, y}).rgb() & 0xffffff) != (mine & 0xffffff) ? 1 : 0;
            }
        return hidden;
    }
    // A point between board box n and the one below it, where only the board's background belongs.
    QPoint gapBelow(std::size_t n) const {
        const QRect b = controls().boardBoxes[n]->geometry();
        return {b.center().x(), b.bottom() + (controls().boardBoxes[n + 1]->y() - b.bottom()) / 2 + 1};
    }
    void waitForAFrame() {
        const VideoView* video = controls().videoView;
        if (video->hasFrame())
            return;
        QEventLoop loop;
        QObject::connect(video, &VideoView::framePainted, &loop, &QEventLoop::quit);
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
    }

    MpvMediaPlayer mpv{MpvOutputs{QStringLiteral("null"), {}}};
    Services real{time, random, time, time, dialogs, mpv};
};

// Turns with music alone, a photo too large to decode at its own size (read at the size shown), a square
// photo (centred, the sides in the board's colour) and a video. The candidate flashes alone in front; the
// announcement covers the photo or video, its number uncovered; the board comes back clean, the number in
// the latest's colour until the next turn. Closing the window in an announcement ends the show there.
TEST_F(SceneTest, TurnsWithMusicPhotosAndVideoThenTheWindowClosesInOne) {
    QImage large(2400, 1800, QImage::Format_RGB32);
    large.fill(Qt::blue);
    ASSERT_TRUE(large.save(folder.file("large.jpg")));
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(8); // MB: so a small photo stands for a camera's (it needs 17)
    const QColor boardColour = controls().board.palette().color(QPalette::Window);
    const QLabel* photoArea = controls().photo;
    const VideoView* video = controls().videoView;
    int last = 0;
    const std::pair<const char*, const char*> turns[] = {
        {"Sample/spm1.mp3", nullptr}, {"Sample/spm1.mp3", "large.jpg"}, {"Sample/spm1.mp3", "square.png"}, {"clip.avi", nullptr}};
    for (const auto& [file, photo] : turns) {
        SCOPED_TRACE(photo ? photo : file);
        const bool isVideo = QByteArray(file).endsWith(".avi"), square = photo && QByteArray(photo) == "square.png";
        ShowSetup& s = form->show(); // one entry for every turn, with one photo (or none) for music
        s.av.count = s.pictures.count = 1;
        s.av.files[1] = folder.file(QString::fromUtf8(file));
        s.av.starts[1] = 0;
        s.pictures.files[1] = photo ? folder.file(QString::fromUtf8(photo)) : QString();
        controls().drawButtons[0]->click();
        EXPECT_EQ(back(last ? last : 1), last ? kDrawn : test::kNotDrawn);
        if (isVideo)
            waitForAFrame();
        time.runUntil([&] { return visibleBoxes() > 0; }, 2000, QStringLiteral("a candidate"));
        ASSERT_EQ(visibleBoxes(), 1);
        QLineEdit* shown = box(controls().panel->text().toInt());
        EXPECT_FALSE(controls().panel->isVisible() || controls().drawButtons[0]->isVisible());
        QImage screen = shot();
        EXPECT_EQ(at(screen, shown, {4, shown->height() / 2}), kDrawn) << "the candidate is hidden";
        const QWidget* area = isVideo ? static_cast<const QWidget*>(video) : photoArea;
        if (photo && !square) {
            EXPECT_EQ(photoArea->pixmap().size(), large.size().scaled(photoArea->size(), Qt::KeepAspectRatio));
            EXPECT_GT(photoArea->pixmap().toImage().pixelColor(10, 10).blue(), 240);
        }
        if (square) {
            EXPECT_EQ(at(screen, area, gapBelow(1)), boardColour);
            EXPECT_EQ(at(screen, area, {area->width() / 2, area->height() / 2 + 3}), kPhoto);
        }
        if (isVideo) { // the clip's dark blue ground, not black: a real frame stands behind the roulette
            const QColor frame = at(screen, video, gapBelow(25));
            EXPECT_GT(frame.blue(), frame.red() + 40) << qPrintable(frame.name());
        }

        controls().stopButton->click();
        time.runUntil([&] { return controls().drawButtons[0]->isVisible(); }, 2000, QStringLiteral("announcement"));
        screen = shot();
        const QRect below(0, controls().panel->y(), controls().drawButtons[0]->x(), area->height());
        EXPECT_EQ(hiddenAnnouncementPixels(screen, below), 0) << "the announcement is hidden";
        // The number just announced stands whole on the screen.
        const QRect number = controls().announcement->lastPrintRect();
        ASSERT_FALSE(number.isEmpty());
        const QRgb ink = controls().announcement->foreColor().rgb();
        EXPECT_EQ(hiddenAnnouncementPixels(screen, number, [ink](QRgb p) { return p == ink; }), 0)
            << "the number is covered";
        EXPECT_FALSE(controls().stopButton->isEnabled());

        time.runUntil([&] { return form->game().rouletteState() == RouletteState::Idle; }, 20000);
        screen = shot();
        last = controls().panel->text().toInt();
        EXPECT_EQ(visibleBoxes(), 75);
        EXPECT_EQ(at(screen, box(last), {4, 4}), kLatest);
        EXPECT_EQ(at(screen, area, gapBelow(isVideo ? 25 : 1)), boardColour);
        EXPECT_FALSE(photoArea->isVisible() || video->isVisible() || video->hasFrame() ||
                     controls().announcement->isVisible());
    }
    QImageReader::setAllocationLimit(limit);

    controls().selectHitCountIndex(2); // two numbers
    controls().drawButtons[0]->click();
    controls().stopButton->click();
    time.schedule(2600, [this] {
        ASSERT_EQ(form->game().drawCount(), 5);
        dialogs.answerNextMessage(Answer::Yes);
        trigger(u"menu終了");
    });
    time.advance(70000);
    EXPECT_FALSE(form->isVisible() || video->isVisible());
    EXPECT_EQ(form->game().drawCount(), 5);
    EXPECT_EQ(mpv.openFiles(), 0);
    EXPECT_EQ(time.runningTimers(), 0);
}

// Marking by hand with effects: the board stays up and the effect plays in front of its boxes.
TEST_F(SceneTest, HandMarkingEffectInFrontOfTheBoard) {
    const int n = 12;
    int inkOverBoxes = 0, hidden = 0;
    bool boardShown = true;
    // Inside the two seconds the effect stays up after its last frame.
    time.schedule(500, [&] {
        const QImage screen = shot();
        const PictureBox& effect = *controls().announcement;
        for (std::size_t k = 1; k <= 75; ++k) {
            QLineEdit* box = controls().boardBoxes[k];
            const QRect over = box->geometry().translated(-effect.pos());
            hidden += hiddenAnnouncementPixels(screen, over, [&](QRgb p) { return qAlpha(p) == 255 && ++inkOverBoxes; });
            const QPoint centre = box->rect().center();
            if (effect.image().pixel(box->geometry().center() - effect.pos()) == 0)
                boardShown = boardShown && at(screen, box, centre) == box->grab().toImage().pixelColor(centre);
        }
    });
    correct(n, u"Menu当り_効果付き");
    EXPECT_GT(inkOverBoxes, 1000);
    EXPECT_EQ(hidden, 0) << "the effect is behind the board";
    EXPECT_TRUE(boardShown) << "the board is hidden around the effect";
    const QImage screen = shot();
    EXPECT_EQ(at(screen, controls().boardBoxes[n], {4, 4}), kDrawn);
}

// The real program on the real clock, timers and player, in a fresh folder with our sample show: a
// five-second turn plays the sample tune and lights its number.
TEST(RealTurn, FiveSecondTurnPlaysTheSampleTuneAndLightsItsNumber) {
    test::ProgramFolder folder, userData;
    folder.addSampleMedia();
    test::RealTurn turn{folder.path(), userData.path()};
    MainForm& form = turn.form();
    ASSERT_TRUE(form.load());
    form.controls().selectDrawTimeIndex(2);
    form.controls().selectHitCountIndex(3);
    const QString tune = folder.file(QStringLiteral("Sample/spm1.mp3"));
    int positions = 0;
    QObject::connect(&turn.media(), &MediaPlayer::positionChanged, &form,
                     [&](const QString& path) { positions += path == tune ? 1 : 0; });

    ASSERT_TRUE(turn.run(60000)) << "the turn did not end";
    ASSERT_EQ(form.game().drawCount(), 1);
    const int n = form.controls().panel->text().toInt();
    EXPECT_GT(positions, 0) << "the tune never played";
    EXPECT_EQ(turn.media().openFiles(), 0);
    EXPECT_EQ(form.controls().boardBoxes[std::size_t(n)]->palette().color(QPalette::Base), kLatest);
}

} // namespace
} // namespace halvora
