#pragma once

#include "platform/event_pump.h"
#include "platform/picture_box.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <algorithm>

namespace halvora::bench {

// Lets events run like the real pump and notes when each frame ended and the next began.
class TimingPump final : public EventPump {
public:
    void begin() {
        clock_.start();
        lastEnd_ = 0;
        first_ = true;
    }
    void doEvents() override {
        const qint64 start = clock_.nsecsElapsed();
        const double ms = static_cast<double>(start - lastEnd_) / 1e6;
        if (first_)
            startMs = std::max(startMs, ms);
        else
            frameMs = std::max(frameMs, ms);
        first_ = false;
        QCoreApplication::processEvents();
        // Whatever the events held (the copy's drawing, the phones' messages) delays the next frame.
        lastEnd_ = withEvents ? start : clock_.nsecsElapsed();
    }
    void waitForEvents() override {}
    void waitUntil(const QDateTime&) override {}
    int runModal(QDialog&) override { return 0; }
    bool quitting() const override { return false; }

    double frameMs = 0;
    double startMs = 0;
    bool withEvents = false;

private:
    QElapsedTimer clock_;
    qint64 lastEnd_ = 0;
    bool first_ = true;
};

// The audience's window on a screen of the given size with its announcement box, shown.
struct AnnouncementScreen {
    explicit AnnouncementScreen(const QSize& screen) : box(&window) {
        window.setGeometry(QRect(QPoint(0, 0), screen));
        window.setStyleSheet(QStringLiteral("background: black"));
        // The announcement area: 11 of 12 columns, 10 of 12 rows of the screen.
        box.setGeometry(0, 0, screen.width() * 11 / 12, screen.height() * 10 / 12);
        box.setTwipsPerPixel(15);
        box.setFontName(QStringLiteral("ＭＳ Ｐゴシック"));
        window.show();
    }

    QWidget window;
    PictureBox box;
};

} // namespace halvora::bench
