#include "dialogs/kav_xinputbox.h"

#include "platform/event_pump.h"
#include "platform/timer.h"
#include "platform/twips.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace halvora {

namespace {

constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;

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

std::int16_t Xmsgbox(const QWidget& MF, const QString& argmsg, const QString& argCaption,
                     const QString& arg再生ファイル, std::int32_t arg再生時間, TimerFactory& timers,
                     EventPump& pump, const MediaWatch& watch) {
    KavXInputbox box(const_cast<QWidget*>(&MF), timers, watch);
    box.setWindowTitle(argCaption);
    box.placeAtTopRight(MF);
    box.start(argmsg, arg再生ファイル, arg再生時間);
    pump.runModal(box);
    return box.answer(); // the timer stops with the box
}

KavXInputbox::KavXInputbox(QWidget* parent, TimerFactory& timers, MediaWatch watch)
    : QDialog(parent), watch_(std::move(watch)), TimerXmsg(timers.createTimer()) {
    setObjectName(QStringLiteral("KavXInputbox"));
    const double perPixel = twipsPerPixel(parent != nullptr ? parent->screen() : screen());
    auto place = [perPixel](QWidget* w, double left, double top, double width, double height) {
        w->setGeometry(twipsToPixels(QRectF(left, top, width, height), perPixel));
    };
    setFixedSize(twipsToPixels(5085, perPixel), twipsToPixels(2460, perPixel));
    QPalette back = palette();
    back.setColor(QPalette::Window, Qt::black);
    setPalette(back);
    setAutoFillBackground(true);

    TxtMsg = new QPlainTextEdit(this);
    TxtMsg->setObjectName(QStringLiteral("TxtMsg"));
    TxtMsg->setFont(boxFont(QStringLiteral("ＭＳ Ｐゴシック"), true));
    paintBlackYellow(TxtMsg);
    place(TxtMsg, 108, 108, 4950, 1215);
    TxtInput = new QLineEdit(this);
    TxtInput->setObjectName(QStringLiteral("TxtInput"));
    TxtInput->setFont(boxFont(QStringLiteral("ＭＳ Ｐゴシック"), false));
    place(TxtInput, 60, 1440, 2850, 336);
    Txt演奏時間 = new QLineEdit(this);
    Txt演奏時間->setObjectName(QStringLiteral("Txt演奏時間"));
    Txt演奏時間->setFont(boxFont(QStringLiteral("ＭＳ Ｐゴシック"), true));
    paintBlackYellow(Txt演奏時間);
    place(Txt演奏時間, 2970, 1440, 2010, 405);
    cmdYes = new QPushButton(QStringLiteral("はい"), this);
    cmdYes->setObjectName(QStringLiteral("cmdYes"));
    cmdYes->setFont(boxFont(QStringLiteral("ＭＳ ゴシック"), false));
    place(cmdYes, 690, 1890, 1152, 372);
    CmdNo = new QPushButton(QStringLiteral("いいえ"), this);
    CmdNo->setObjectName(QStringLiteral("CmdNo"));
    CmdNo->setFont(boxFont(QStringLiteral("ＭＳ ゴシック"), false));
    place(CmdNo, 2970, 1890, 1152, 372);
    for (QPushButton* button : {cmdYes, CmdNo})
        button->setAutoDefault(false);
    setTabOrder(CmdNo, cmdYes);
    setTabOrder(cmdYes, TxtInput);
    setTabOrder(TxtInput, TxtMsg);
    setTabOrder(TxtMsg, Txt演奏時間);

    connect(cmdYes, &QPushButton::clicked, this, [this] { answerWith(kAnswerYes); });
    connect(CmdNo, &QPushButton::clicked, this, [this] {
        TxtInput->clear();
        answerWith(kAnswerNo);
    });
    TimerXmsg->setHandler([this] { TimerXmsg_Timer(); });
}

KavXInputbox::~KavXInputbox() { TimerXmsg->setEnabled(false); }

void KavXInputbox::start(const QString& message, const QString& file, std::int32_t seconds) {
    WatchFile = file;
    ElapsedTicks = 0;
    LimitSeconds = seconds;
    Answer = kAnswerNo; // also the answer of the close box
    TxtInput->hide();
    Txt演奏時間->clear();
    TxtMsg->setPlainText(message);
    TimerXmsg->setInterval(1000);
    TimerXmsg->setEnabled(true);
}

void KavXInputbox::placeAtTopRight(const QWidget& owner) { owner_ = &owner; }

// The box sits at the top right of the owner, frame to frame; the frame is known once it shows.
void KavXInputbox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (owner_ == nullptr)
        return;
    const QRect area = owner_->frameGeometry();
    move(area.right() + 1 - frameGeometry().width(), area.top());
}

void KavXInputbox::TimerXmsg_Timer() {
    if (!WatchFile.trimmed().isEmpty()) {
        Txt演奏時間->setText(QStringLiteral("%1/%2").arg(watch_.position(WatchFile)).arg(watch_.length(WatchFile)));
        if (LimitSeconds == 0) { // until the file has played to its end
            if (watch_.length(WatchFile) == watch_.position(WatchFile)) {
                TimerXmsg->setEnabled(false);
                answerWith(kAnswerYes);
            }
            return;
        }
    }
    ++ElapsedTicks;
    if (ElapsedTicks >= LimitSeconds) {
        TimerXmsg->setEnabled(false);
        answerWith(kAnswerYes);
    }
}

void KavXInputbox::answerWith(std::int16_t code) {
    Answer = code;
    hide();
}

} // namespace halvora
