#pragma once

// The main window on the real services — system clock, Qt timers and event loop, libmpv with null
// outputs — for the end-to-end test and the turn benchmark.
#include "draw/main_controls.h"
#include "draw/main_form.h"
#include "platform/mpv_media_player.h"
#include "support/fake_dialogs.h"
#include "support/printer_recorder.h"

#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

#include <memory>

namespace halvora::test {

class RealTurn {
public:
    RealTurn(const QString& programFolder, const QString& userData,
             MpvOutputs outputs = {QStringLiteral("null"), QStringLiteral("null")})
        : media_(std::move(outputs)), form_(std::make_unique<MainForm>(services_, printer_, programFolder, userData)) {}

    MainForm& form() { return *form_; }
    MpvMediaPlayer& media() { return media_; }

    // Presses a draw button and blocks in the event loop until the turn's board is back, or until
    // timeoutMs have passed. True when the turn ended.
    bool run(int timeoutMs) {
        const int before = form_->game().drawCount();
        form_->findChild<QPushButton*>(QStringLiteral("Command1_0"))->click();
        QEventLoop loop;
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (form_->game().drawCount() > before && form_->game().rouletteState() == RouletteState::Idle)
                loop.quit();
        });
        check.start(50);
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
        return form_->game().drawCount() > before && form_->game().rouletteState() == RouletteState::Idle;
    }

private:
    SystemClock clock_;
    MersenneRandom random_;
    QtTimerFactory timers_;
    QtEventPump pump_{clock_};
    FakeDialogs dialogs_;
    MpvMediaPlayer media_;
    Services services_{clock_, random_, timers_, pump_, dialogs_, media_};
    PrinterRecorder printer_;
    std::unique_ptr<MainForm> form_;
};

} // namespace halvora::test
