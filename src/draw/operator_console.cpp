#include "draw/operator_console.h"

#include "draw/show_setup.h"
#include "game/game.h"
#include "platform/colours.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace halvora {

namespace {

// Often enough to follow the roulette, seldom enough to leave the audience's frames their time.
constexpr int kMirrorIntervalMs = 80;

QLabel* addLabel(QVBoxLayout* layout, const QString& name, const QString& text = {}) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    layout->addWidget(label);
    return label;
}

template <typename List>
QString nextEntry(const QString& caption, const List& list, const Game& game, bool random) {
    if (list.count < 1)
        return caption + QStringLiteral(": なし");
    if (random)
        return caption + QStringLiteral(": ランダム（%1件から）").arg(list.count);
    const int i = game.nextEntryInOrder(list.count);
    return caption + QStringLiteral(": %1. ").arg(i) + QFileInfo(list.files[static_cast<std::size_t>(i)]).fileName();
}

} // namespace

BoardMirror::BoardMirror(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("観客画面の写し"));
    refresh_.setSingleShot(true);
    refresh_.setInterval(kMirrorIntervalMs);
    connect(&refresh_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

void BoardMirror::setSource(QWidget* source) {
    if (source_)
        source_->removeEventFilter(this);
    source_ = source;
    if (source_)
        source_->installEventFilter(this);
    update();
}

bool BoardMirror::eventFilter(QObject* watched, QEvent* event) {
    // Every repaint inside a window asks the window to bring its pixels up to date.
    if (watched == source_ && event->type() == QEvent::UpdateRequest && !refresh_.isActive() && isVisible())
        refresh_.start();
    return false;
}

QRectF BoardMirror::sourceArea() const {
    if (!source_ || source_->width() <= 0 || source_->height() <= 0)
        return {};
    const QSizeF fitted = QSizeF(source_->size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
    return QRectF(QPointF((width() - fitted.width()) / 2, 0), fitted);
}

void BoardMirror::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const QRectF area = sourceArea();
    if (area.isEmpty() || !source_->isVisible())
        return;
    painter.translate(area.topLeft());
    painter.scale(area.width() / source_->width(), area.height() / source_->height());
    source_->render(&painter, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
}

void BoardMirror::mouseDoubleClickEvent(QMouseEvent* event) {
    const QRectF area = sourceArea();
    if (area.isEmpty() || !area.contains(event->position()))
        return;
    const QPointF at = (event->position() - area.topLeft()) * (source_->width() / area.width());
    QWidget* control = source_->childAt(at.toPoint());
    if (!control)
        return;
    // The control answers as if it had been double-clicked itself, here on the operator's screen.
    QMouseEvent forwarded(QEvent::MouseButtonDblClick, control->mapFrom(source_, at), at,
                          event->globalPosition(), event->button(), event->buttons(), event->modifiers());
    QCoreApplication::sendEvent(control, &forwarded);
}

OperatorPanel::OperatorPanel(Game& game, QWidget* parent) : QWidget(parent), game_(game) {
    setObjectName(QStringLiteral("操作パネル"));
    keepPlatformColours(this);
    auto* layout = new QVBoxLayout(this);
    addLabel(layout, QStringLiteral("Lbl参加者数"), QStringLiteral("参加者数"));
    participants_ = new QLineEdit;
    participants_->setObjectName(QStringLiteral("Txt参加人数_操作"));
    layout->addWidget(participants_);
    next_ = addLabel(layout, QStringLiteral("Lbl次の回"));
    draws_ = addLabel(layout, QStringLiteral("Lbl出た番号"));
    layout->addStretch(1);
    connect(participants_, &QLineEdit::textEdited, &game, &Game::setParticipants);
    for (auto changed : {&Game::changed, &Game::restored})
        connect(&game, changed, this, &OperatorPanel::refresh);
}

void OperatorPanel::showEvent(QShowEvent* event) {
    refresh();
    QWidget::showEvent(event);
}

void OperatorPanel::refresh() {
    // Only the operator's window beside an audience screen shows it; showing it brings it up to date.
    if (!isVisible())
        return;
    if (participants_->text() != game_.participants())
        participants_->setText(game_.participants());
    next_->setText(QStringLiteral("次の回\n") + (nextTurn ? nextTurn() : QString()));
    QStringList numbers;
    for (const int n : game_.drawOrder())
        numbers << QString::number(n);
    draws_->setText(QStringLiteral("出た番号（%1個）\n").arg(numbers.size()) + numbers.join(QStringLiteral("  ")));
}

QString describeNextTurn(const Game& game, const ShowSetup& show, bool avRandom, bool pictureRandom) {
    return nextEntry(QStringLiteral("音楽/動画"), show.av, game, avRandom) + u'\n' +
           nextEntry(QStringLiteral("写真"), show.pictures, game, pictureRandom);
}

} // namespace halvora
