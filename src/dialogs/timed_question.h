#pragma once

#include "platform/dialogs.h"

#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QLineEdit;

namespace halvora {

class EventPump;
class Timer;
class TimerFactory;

// Where a playing media file stands, in whole seconds (0 for a file that is not open).
struct MediaWatch {
    std::function<std::int32_t(const QString& path)> position;
    std::function<std::int32_t(const QString& path)> length;
};

// Shows the timed はい/いいえ box at the top right of `owner` and waits. It answers Yes by itself after
// `seconds`, or, watching `watchedFile` with a time of 0, once that file has played to its end;
// いいえ or the close box answer No. The media is neither started nor stopped here.
Answer askTimed(QWidget& owner, const QString& message, const QString& caption, const QString& watchedFile,
                std::int32_t seconds, TimerFactory& timers, EventPump& pump, const MediaWatch& watch);

// The timed box; it exists only while askTimed runs.
class TimedQuestion final : public QDialog {
    Q_OBJECT

public:
    // Counts from the moment it is made; the answer is No until one is given.
    TimedQuestion(QWidget& owner, const QString& message, const QString& watchedFile, std::int32_t seconds,
                  TimerFactory& timers, MediaWatch watch);
    ~TimedQuestion() override;

    Answer answer() const { return answer_; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tick();
    void answerWith(Answer answer);

    const QWidget& owner_;
    const QString watchedFile_;
    const std::int32_t limitSeconds_;
    MediaWatch watch_;
    std::unique_ptr<Timer> timer_;
    std::int32_t elapsedTicks_ = 0;
    Answer answer_ = Answer::No; // also the answer of the close box
    QLineEdit* playTime_ = nullptr;
};

} // namespace halvora
