#include "draw/hand_marking.h"

#include "draw/hit_patterns.h"
#include "draw/main_controls.h"
#include "game/game.h"
#include "platform/random_pick.h"
#include "platform/event_pump.h"
#include "platform/picture_box.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>

#include <algorithm>
#include <span>
#include <tuple>

namespace halvora {

namespace {

// Hands a left double-click on a board box to the window; the box's own text selection is not wanted.
class BoardDoubleClick final : public QObject {
public:
    BoardDoubleClick(QObject* parent, std::function<void(QObject*, QPoint)> onDoubleClick)
        : QObject(parent), onDoubleClick_(std::move(onDoubleClick)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        // Presses and drags would select the box's text on the audience screen.
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove ||
            event->type() == QEvent::MouseButtonRelease)
            return true;
        if (event->type() != QEvent::MouseButtonDblClick)
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        onDoubleClick_(watched, mouse->globalPosition().toPoint());
        return true;
    }

private:
    std::function<void(QObject*, QPoint)> onDoubleClick_;
};

} // namespace

HandMarking::HandMarking(Game& game, MainControls& controls, EventPump& pump, const Clock& clock, Random& random)
    : QObject(&controls.board), game_(game), controls_(controls), pump_(pump), clock_(clock), random_(random) {
    // Shown only as the pop-up of a board box.
    menu_ = new QMenu(QStringLiteral("当り修正"), &controls.board);
    menu_->setObjectName(QStringLiteral("Menu当り修正"));
    const std::tuple<const char16_t*, const char16_t*, void (HandMarking::*)()> commands[] = {
        {u"Menu当り", u"当り設定", &HandMarking::mark},
        {u"Menu当り_効果付き", u"当り設定(効果付き)", &HandMarking::markWithEffect},
        {u"Menu解除", u"当り解除", &HandMarking::clear},
    };
    for (const auto& [name, caption, handler] : commands) {
        QAction* action = menu_->addAction(QString::fromUtf16(caption));
        action->setObjectName(QString::fromUtf16(name));
        connect(action, &QAction::triggered, this, handler);
    }
    auto* filter = new BoardDoubleClick(this, [this](QObject* watched, QPoint at) {
        const auto& boxes = controls_.boardBoxes;
        const auto it = std::find(boxes.begin() + 1, boxes.end(), watched);
        if (it != boxes.end())
            openMenu(static_cast<int>(it - boxes.begin()), at);
    });
    for (std::size_t n = 1; n <= 75; ++n)
        controls_.boardBoxes[n]->installEventFilter(filter);
}

void HandMarking::openMenu(int n, const QPoint& globalPos) {
    selected_ = n;
    // Not modal: the show goes on while the menu is open, as it does around every other command.
    menu_->popup(globalPos);
}

void HandMarking::mark() { game_.markByHand(selected_); }

void HandMarking::markWithEffect() {
    // The number is taken now: a double-click during the announcement selects the next target.
    const int n = selected_;
    if (!game_.markByHand(n))
        return;
    const QPointer<HandMarking> self(this);
    PictureBox& box = *controls_.announcement;
    const std::uint64_t ours = box.currentClaim() + 1;
    // The board stays up, and the effect plays in front of its boxes.
    controls_.stackAnnouncement(MainControls::AnnouncementLayer::OverBoard);
    playHitPattern(static_cast<std::int16_t>(n), static_cast<std::int16_t>(n % 12 + 1), hitPatternTools());
    if (!self)
        return;
    if (box.currentClaim() == ours)
        controls_.uncoverAnnouncedNumber();
    waitSeconds(2, clock_, pump_);
    // An announcement started during this one owns the box now; hiding it is its owner's business.
    if (self && box.currentClaim() == ours)
        hideAnnouncement();
}

void HandMarking::clear() { game_.clearByHand(selected_); }

void HandMarking::showHitAnnouncement(int n) {
    // The audience must see the number: the photo or the video stays behind the announcement.
    controls_.stackAnnouncement(MainControls::AnnouncementLayer::OverPhotoAndVideo);
    halvora::showHitAnnouncement(static_cast<std::int16_t>(n), std::span<QLineEdit* const>(controls_.boardBoxes).subspan(1), hitPatternTools());
}

void HandMarking::hideAnnouncement() {
    controls_.announcement->hide();
    controls_.stackAnnouncement(MainControls::AnnouncementLayer::Resting);
}

HitPatternTools HandMarking::hitPatternTools() {
    return {*controls_.announcement, pump_, [this](std::int16_t max) { return randomPick(random_, max); }};
}

} // namespace halvora
