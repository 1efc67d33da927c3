#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace halvora {

class EventPump;
class Timer;
class TimerFactory;

// Where a playing media file stands, in whole seconds (0 for a file that is not open).
struct MediaWatch {
    std::function<std::int32_t(const QString& path)> position;
    std::function<std::int32_t(const QString& path)> length;
};

// Shows the timed Yes/No box at the top right of `MF` and waits. It answers Yes (6) by itself after
// `arg再生時間` seconds, or, watching `arg再生ファイル` with a time of 0, once that file has played to
// its end; いいえ or the close box answer No (7). The media is neither started nor stopped here.
std::int16_t Xmsgbox(const QWidget& MF, const QString& argmsg, const QString& argCaption,
                     const QString& arg再生ファイル, std::int32_t arg再生時間, TimerFactory& timers,
                     EventPump& pump, const MediaWatch& watch);

// The timed box; it exists only while Xmsgbox runs.
class KavXInputbox final : public QDialog {
public:
    KavXInputbox(QWidget* parent, TimerFactory& timers, MediaWatch watch);
    ~KavXInputbox() override;

    void start(const QString& message, const QString& file, std::int32_t seconds);
    void placeAtTopRight(const QWidget& owner);
    std::int16_t answer() const { return Answer; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void TimerXmsg_Timer();
    void answerWith(std::int16_t code);

    MediaWatch watch_;
    const QWidget* owner_ = nullptr;
    std::unique_ptr<Timer> TimerXmsg;
    QString WatchFile;
    std::int32_t LimitSeconds = 0;
    std::int32_t ElapsedTicks = 0;
    std::int16_t Answer = 7;
    QPlainTextEdit* TxtMsg = nullptr;
    QLineEdit* TxtInput = nullptr;
    QLineEdit* Txt演奏時間 = nullptr;
    QPushButton* cmdYes = nullptr;
    QPushButton* CmdNo = nullptr;
};

} // namespace halvora
