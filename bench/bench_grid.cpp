// Opening the music/video list grid with a full list of 200 entries: building the window, filling
// its cells and painting it once, on a 1920x1080 offscreen screen; the median of several opens.
#include "bench_app.h"
#include "bench_util.h"

#include "media/media_list_grid.h"
#include "platform/event_pump.h"
#include "support/fake_dialogs.h"
#include "support/printer_recorder.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QWidget>

#include <cstdio>

namespace {

using namespace halvora;

// The modal wait ends as soon as the window has been painted; the time to that point is noted.
class OpenOnce final : public EventPump {
public:
    explicit OpenOnce(QElapsedTimer& timer) : timer_(timer) {}
    void doEvents() override { QCoreApplication::processEvents(); }
    void waitForEvents() override {}
    void waitUntil(const QDateTime&) override {}
    int runModal(QDialog& dialog) override {
        dialog.show();
        dialog.repaint();
        QCoreApplication::processEvents();
        openedMs = static_cast<double>(timer_.nsecsElapsed()) / 1e6;
        dialog.hide();
        return 0;
    }
    bool quitting() const override { return false; }
    double openedMs = 0;

private:
    QElapsedTimer& timer_;
};

} // namespace

int main(int argc, char** argv) {
    bench::Application app(argc, argv, "offscreen:size=1920x1080");
    const int repetitions = bench::quickRun(argc, argv) ? 3 : 15;

    std::vector<QString> data(601);
    for (int i = 1; i <= 200; ++i) {
        data[static_cast<std::size_t>(3 * i - 2)] = QString::number(i % 60);
        data[static_cast<std::size_t>(3 * i - 1)] = QStringLiteral("30");
        data[static_cast<std::size_t>(3 * i)] =
            QStringLiteral("/home/司会者/ビンゴ大会/音楽/第%1曲_入場テーマ.mp3").arg(i);
    }
    QWidget mainWindow;
    mainWindow.resize(1920, 1080);
    test::FakeDialogs dialogs;
    test::PrinterRecorder printer;
    std::vector<double> times;
    for (int r = 0; r < repetitions; ++r) {
        QElapsedTimer timer;
        OpenOnce pump(timer);
        std::vector<QString> list = data;
        timer.start();
        editFileList(0, mainWindow, list, {pump, dialogs, printer, QString()});
        if (list != data) {
            std::fprintf(stderr, "bench_grid: the list did not come back unchanged\n");
            return 1;
        }
        times.push_back(pump.openedMs);
    }
    bench::report("grid_open_200_rows_ms", bench::median(times), "ms");
    return 0;
}
