#include "dialogs/timed_question.h"

#include "platform/event_pump.h"
#include "platform/timer.h"
#include "platform/twips.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QKeyEvent>
#include <QPushButton>

namespace halvora {

namespace {

QFont boxFont(const QString& face, bool bold) {
    QFont font(face);
    font.setPointSize(12);
    font.setBold(bold);
    return font;
}

// Black with yellow text, as the message and the play-time display show.
void paintBlackYellow(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, QColor(255, 255, 0));
    widget->setPalette(palette);
}

} // namespace

Answer askTimed(QWidget& owner, const QString& message, const QString& caption, const QString& watchedFile,
                std::int32_t seconds, TimerFactory& timers, EventPump& pump, const MediaWatch& watch) {
    TimedQuestion box(owner, message, watchedFile, seconds, timers, watch);
    box.setWindowTitle(caption);
    pump.runModal(box);
    return box.answer(); // the timer stops with the box
}

TimedQuestion::TimedQuestion(QWidget& owner, const QString& message, const QString& watchedFile,
                             std::int32_t seconds, TimerFactory& timers, MediaWatch watch)
    : QDialog(&owner), owner_(owner), watchedFile_(watchedFile), limitSeconds_(seconds),
      watch_(std::move(watch)), timer_(timers.createTimer()) {
    setObjectName(QStringLiteral("TimedQuestion"));
    const double perPixel = twipsPerPixel(owner.screen());
    auto place = [perPixel](QWidget* w, double left, double top, double width, double height) {
        w->setGeometry(twipsToPixels(QRectF(left, top, width, height), perPixel));
    };
    setFixedSize(twipsToPixels(5085, perPixel), twipsToPixels(2460, perPixel));
    QPalette back = palette();
    back.setColor(QPalette::Window, Qt::black);
    setPalette(back);
    setAutoFillBackground(true);

    auto* messageBox = new QPlainTextEdit(message, this);
    messageBox->setObjectName(QStringLiteral("TxtMsg"));
    messageBox->setFont(boxFont(QStringLiteral("ＭＳ Ｐゴシック"), true));
    paintBlackYellow(messageBox);
    place(messageBox, 108, 108, 4950, 1215);
    playTime_ = new QLineEdit(this);
    playTime_->setObjectName(QStringLiteral("Txt演奏時間"));
    playTime_->setFont(boxFont(QStringLiteral("ＭＳ Ｐゴシック"), true));
    paintBlackYellow(playTime_);
    place(playTime_, 2970, 1440, 2010, 405);
    auto* yesButton = new QPushButton(QStringLiteral("はい(&Y)"), this);
    yesButton->setObjectName(QStringLiteral("cmdYes"));
    yesButton->setFont(boxFont(QStringLiteral("ＭＳ ゴシック"), false));
    place(yesButton, 690, 1890, 1152, 372);
    auto* noButton = new QPushButton(QStringLiteral("いいえ(&N)"), this);
    noButton->setObjectName(QStringLiteral("CmdNo"));
    noButton->setFont(boxFont(QStringLiteral("ＭＳ ゴシック"), false));
    place(noButton, 2970, 1890, 1152, 372);
    for (QPushButton* button : {yesButton, noButton})
        button->setAutoDefault(false);
    setTabOrder(noButton, yesButton);
    setTabOrder(yesButton, messageBox);
    setTabOrder(messageBox, playTime_);

    for (QWidget* control : std::initializer_list<QWidget*>{this, messageBox, playTime_, yesButton, noButton})
        control->installEventFilter(this);
    connect(yesButton, &QPushButton::clicked, this, [this] { answerWith(Answer::Yes); });
    connect(noButton, &QPushButton::clicked, this, [this] { answerWith(Answer::No); });
    timer_->setHandler([this] { tick(); });
    timer_->setInterval(1000);
    timer_->setEnabled(true);
}

TimedQuestion::~TimedQuestion() {
    timer_->setEnabled(false);
}

// The box sits at the top right of the owner, frame to frame; the frame is known once it shows.
void TimedQuestion::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    const QRect area = owner_.frameGeometry();
    move(area.right() + 1 - frameGeometry().width(), area.top());
}

// Y and N answer as the buttons do, with or without Alt, whichever control has the focus.
bool TimedQuestion::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Y || key == Qt::Key_N) {
            answerWith(key == Qt::Key_Y ? Answer::Yes : Answer::No);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TimedQuestion::tick() {
    if (!watchedFile_.trimmed().isEmpty()) {
        playTime_->setText(
            QStringLiteral("%1/%2").arg(watch_.position(watchedFile_)).arg(watch_.length(watchedFile_)));
        if (limitSeconds_ == 0) { // until the file has played to its end
            if (watch_.length(watchedFile_) == watch_.position(watchedFile_)) {
                timer_->setEnabled(false);
                answerWith(Answer::Yes);
            }
            return;
        }
    }
    ++elapsedTicks_;
    if (elapsedTicks_ >= limitSeconds_) {
        timer_->setEnabled(false);
        answerWith(Answer::Yes);
    }
}

void TimedQuestion::answerWith(Answer answer) {
    answer_ = answer;
    hide();
}

} // namespace halvora
