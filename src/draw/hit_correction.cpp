#include "draw/hit_correction.h"

#include "common/zc.h"
#include "draw/game_state.h"
#include "draw/hit_patterns.h"
#include "draw/main_controls.h"
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

bool isBoardNumber(std::int16_t n) { return n >= 1 && n <= 75; }

} // namespace

HitCorrection::HitCorrection(GameState& state, MainControls& controls, EventPump& pump, const Clock& clock,
                             Random& random)
    : QObject(&controls.board), state_(state), controls_(controls), pump_(pump), clock_(clock), random_(random) {
    // Shown only as the pop-up of a board box.
    Menu当り修正_ = new QMenu(QStringLiteral("当り修正"), &controls.board);
    Menu当り修正_->setObjectName(QStringLiteral("Menu当り修正"));
    const std::tuple<const char16_t*, const char16_t*, void (HitCorrection::*)()> commands[] = {
        {u"Menu当り", u"当り設定", &HitCorrection::Menu当り_Click},
        {u"Menu当り_効果付き", u"当り設定(効果付き)", &HitCorrection::Menu当り_効果付き_Click},
        {u"Menu解除", u"当り解除", &HitCorrection::Menu解除_Click},
    };
    for (const auto& [name, caption, handler] : commands) {
        QAction* action = Menu当り修正_->addAction(QString::fromUtf16(caption));
        action->setObjectName(QString::fromUtf16(name));
        connect(action, &QAction::triggered, this, handler);
    }
    auto* filter = new BoardDoubleClick(this, [this](QObject* watched, QPoint at) {
        const auto& boxes = controls_.Text1;
        const auto it = std::find(boxes.begin() + 1, boxes.end(), watched);
        if (it != boxes.end())
            Text1_DblClick(static_cast<int>(it - boxes.begin()), at);
    });
    for (std::size_t n = 1; n <= 75; ++n)
        controls_.Text1[n]->installEventFilter(filter);
}

void HitCorrection::Text1_DblClick(int index, const QPoint& globalPos) {
    state_.SelectedNumber = static_cast<std::int16_t>(index);
    // Not modal: the show goes on while the menu is open, as it does around every other command.
    Menu当り修正_->popup(globalPos);
}

bool HitCorrection::markHit(std::int16_t n) {
    if (!isBoardNumber(n) || state_.DrawnFlag[static_cast<std::size_t>(n)] != 0)
        return false;
    controls_.PaintBoardBox(static_cast<std::size_t>(n), state_.colours, 3);
    state_.DrawnFlag[static_cast<std::size_t>(n)] = 1;
    controls_.addToTxt回数(1);
    emit gameChanged();
    return true;
}

void HitCorrection::Menu当り_Click() { markHit(state_.SelectedNumber); }

void HitCorrection::Menu当り_効果付き_Click() {
    // The number is taken now: a double-click during the announcement selects the next target.
    const std::int16_t n = state_.SelectedNumber;
    if (!markHit(n))
        return;
    const QPointer<HitCorrection> self(this);
    PictureBox& box = *controls_.Pic当り発表;
    const std::uint64_t ours = box.currentClaim() + 1;
    // The board stays up, and the effect plays in front of its boxes.
    controls_.stackAnnouncement(MainControls::AnnouncementLayer::OverBoard);
    PlayHitPattern(n, static_cast<std::int16_t>(n % 12 + 1), hitPatternTools());
    if (!self)
        return;
    if (box.currentClaim() == ours)
        controls_.uncoverAnnouncedNumber();
    WaitSeconds(2, clock_, pump_);
    // An announcement started during this one owns the box now; hiding it is its owner's business.
    if (self && box.currentClaim() == ours)
        hideAnnouncement();
}

void HitCorrection::Menu解除_Click() {
    const std::int16_t n = state_.SelectedNumber;
    if (!isBoardNumber(n) || state_.DrawnFlag[static_cast<std::size_t>(n)] != 1)
        return;
    controls_.PaintBoardBox(static_cast<std::size_t>(n), state_.colours, 2);
    state_.DrawnFlag[static_cast<std::size_t>(n)] = 0;
    controls_.addToTxt回数(-1);
    emit gameChanged();
}

void HitCorrection::ShowHitAnnouncement(std::int16_t n) {
    // The audience must see the number: the photo or the video stays behind the announcement.
    controls_.stackAnnouncement(MainControls::AnnouncementLayer::OverPhotoAndVideo);
    halvora::ShowHitAnnouncement(n, std::span<QLineEdit* const>(controls_.Text1).subspan(1), hitPatternTools());
}

void HitCorrection::hideAnnouncement() {
    controls_.Pic当り発表->hide();
    controls_.stackAnnouncement(MainControls::AnnouncementLayer::Resting);
}

HitPatternTools HitCorrection::hitPatternTools() {
    return {*controls_.Pic当り発表, pump_, [this](std::int16_t max) { return F_選出数字(random_, max); }};
}

} // namespace halvora
