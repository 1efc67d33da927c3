// One full repaint of the board: applyBoardColours after a change of the drawn numbers, then the
// paint of the whole window into its backing store, as at the end of a draw, on a 1920x1080 and a
// 3840x2160 screen (offscreen, 96 dpi, so the 4K board is painted at full resolution).
#include "bench_app.h"
#include "bench_util.h"

#include "draw/audience_screens.h"
#include "draw/main_form.h"
#include "platform/fonts.h"
#include "support/fake_dialogs.h"
#include "support/media_recorder.h"
#include "support/printer_recorder.h"
#include "support/test_files.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>

#include <clocale>
#include <cstdio>

namespace {

using namespace halvora;

// Half the numbers drawn (one in the current turn) on even rounds, none on odd ones.
void changeDraws(Game& game, int round) {
    SavedGame played = game.saved();
    for (std::size_t n = 1; n <= 75; ++n) {
        played.drawn[n] = round % 2 == 0 && n % 2 == 0;
        played.latest[n] = played.drawn[n] && n == 40;
    }
    game.restore(played);
}

double repaintMs(Services& services, QScreen* screen, int repetitions) {
    test::ProgramFolder folder;
    test::ProgramFolder userData;
    folder.addSampleMedia();
    test::PrinterRecorder printer;
    MainForm form(services, printer, folder.path(), userData.path());
    // The window must exist on its screen before it is laid out, or it opens on the first one.
    form.winId();
    form.windowHandle()->setScreen(screen);
    if (!form.load() || form.size() != screen->size()) {
        std::fprintf(stderr, "bench_board: the window does not fill the %s screen\n", qPrintable(screen->name()));
        std::exit(1);
    }
    // The board in this window, not on the other screen for an audience.
    form.audienceScreens().setShown(false);
    QCoreApplication::processEvents();
    std::vector<double> times;
    for (int round = -1; round < repetitions; ++round) {
        changeDraws(form.game(), round);
        QElapsedTimer clock;
        clock.start();
        form.applyBoardColours();
        form.repaint();
        QCoreApplication::processEvents();
        if (round >= 0) // the first round warms the caches
            times.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    return bench::median(times);
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir;
    qputenv("QT_QPA_PLATFORM", bench::offscreenWithScreens(dir, {{"1080p", 1920, 1080}, {"4k", 3840, 2160}}));
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    installFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.size() != 2) {
        std::fprintf(stderr, "bench_board: the offscreen screens were not set up\n");
        return 1;
    }

    SystemClock clock;
    MersenneRandom random;
    QtTimerFactory timers;
    QtEventPump pump(clock);
    test::FakeDialogs dialogs;
    test::MediaRecorder media;
    Services services{clock, random, timers, pump, dialogs, media};

    const int repetitions = bench::quickRun(argc, argv) ? 5 : 41;
    bench::report("board_repaint_1080p_ms", repaintMs(services, screens[0], repetitions), "ms");
    bench::report("board_repaint_4k_ms", repaintMs(services, screens[1], repetitions), "ms");
    return 0;
}
