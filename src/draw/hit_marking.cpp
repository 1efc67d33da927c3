// Hit correction on the board, and the main window's side of the announcements.
#include "common/zc.h"
#include "draw/hit_patterns.h"
#include "draw/main_form.h"
#include "platform/event_pump.h"
#include "platform/picture_box.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>

#include <algorithm>
#include <span>

namespace halvora {

namespace {

// Hands a left double-click on a board box to the window; the box's own word selection is not wanted.
class BoardDoubleClick final : public QObject {
public:
    BoardDoubleClick(QObject* parent, std::function<void(QObject*, QPoint)> onDoubleClick)
        : QObject(parent), onDoubleClick_(std::move(onDoubleClick)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
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

void MainForm::installHitCorrection() {
    auto* filter = new BoardDoubleClick(this, [this](QObject* watched, QPoint at) {
        const auto it = std::find(Text1_.begin() + 1, Text1_.end(), watched);
        if (it != Text1_.end())
            Text1_DblClick(static_cast<int>(it - Text1_.begin()), at);
    });
    for (std::size_t n = 1; n <= 75; ++n)
        Text1_[n]->installEventFilter(filter);
    const std::pair<const char16_t*, void (MainForm::*)()> commands[] = {
        {u"Menu当り", &MainForm::Menu当り_Click},
        {u"Menu当り_効果付き", &MainForm::Menu当り_効果付き_Click},
        {u"Menu解除", &MainForm::Menu解除_Click},
    };
    for (const auto& [name, handler] : commands)
        for (QAction* action : Menu当り修正_->actions())
            if (action->objectName() == QString::fromUtf16(name))
                connect(action, &QAction::triggered, this, handler);
}

void MainForm::Text1_DblClick(int index, const QPoint& globalPos) {
    state_.SelectedNumber = static_cast<std::int16_t>(index);
    // Not modal: the show goes on while the menu is open, as it does around every other command.
    Menu当り修正_->popup(globalPos);
}

bool MainForm::markHit(std::int16_t n) {
    if (!isBoardNumber(n) || state_.DrawnFlag[static_cast<std::size_t>(n)] != 0)
        return false;
    PaintBoardBox(static_cast<std::size_t>(n), 3);
    state_.DrawnFlag[static_cast<std::size_t>(n)] = 1;
    addToTxt回数(1);
    return true;
}

void MainForm::Menu当り_Click() { markHit(state_.SelectedNumber); }

void MainForm::Menu当り_効果付き_Click() {
    // The number is taken now: a double-click during the announcement selects the next target.
    const std::int16_t n = state_.SelectedNumber;
    if (!markHit(n))
        return;
    const QPointer<MainForm> self(this);
    const std::uint64_t ours = Pic当り発表_->currentClaim() + 1;
    PlayHitPattern(n, static_cast<std::int16_t>(n % 12 + 1), hitPatternTools());
    if (!self)
        return;
    WaitSeconds(2, services_.clock, services_.pump);
    // An announcement started during this one owns the box now; hiding it is its owner's business.
    if (self && Pic当り発表_->currentClaim() == ours)
        Pic当り発表_->hide();
}

void MainForm::Menu解除_Click() {
    const std::int16_t n = state_.SelectedNumber;
    if (!isBoardNumber(n) || state_.DrawnFlag[static_cast<std::size_t>(n)] != 1)
        return;
    PaintBoardBox(static_cast<std::size_t>(n), 2);
    state_.DrawnFlag[static_cast<std::size_t>(n)] = 0;
    addToTxt回数(-1);
}

void MainForm::ShowHitAnnouncement(std::int16_t n) {
    halvora::ShowHitAnnouncement(n, std::span<QLineEdit* const>(Text1_).subspan(1), hitPatternTools());
}

// The counter's value moved by delta, written as a plain number. A text that does not start with a
// number counts as 0.
void MainForm::addToTxt回数(double delta) {
    Txt回数_->setText(QString::number(NumberFromText(Txt回数_->text()) + delta, 'g', 15));
}

HitPatternTools MainForm::hitPatternTools() {
    return {*Pic当り発表_, services_.pump, [this](std::int16_t max) { return F_選出数字(max); }};
}

} // namespace halvora
