#include "draw/board_turn_view.h"

#include "draw/hand_marking.h"
#include "draw/main_controls.h"
#include "draw/show_setup.h"
#include "game/game.h"
#include "platform/dialogs.h"

namespace halvora {

int BoardTurnView::hitCountIndex() const { return controls_.selectedHitCountIndex(); }
int BoardTurnView::drawTimeIndex() const { return controls_.selectedDrawTimeIndex(); }
bool BoardTurnView::avRandom() const { return controls_.avRandom(); }
bool BoardTurnView::pictureRandom() const { return controls_.pictureRandom(); }
bool BoardTurnView::drawButtonsReady() const { return controls_.drawButtonsReady(); }
bool BoardTurnView::stopReady() const { return controls_.stopReady(); }

void BoardTurnView::tellAllNumbersOut() {
    dialogs_.messageBox(controls_.owner(), QStringLiteral("すべての番号が出ました。"), MessageKind::Information);
}

void BoardTurnView::showTurnStart() {
    for (int n = 1; n <= 75; ++n)
        if (game_.isDrawn(n))
            controls_.paintBoardBox(static_cast<std::size_t>(n), show_.colours, 3);
}

void BoardTurnView::showDrawButtons(bool shown) { controls_.showDrawButtons(shown); }
void BoardTurnView::setStopEnabled(bool enabled) { controls_.setStopEnabled(enabled); }
void BoardTurnView::showPanel(bool shown) { controls_.showPanel(shown); }
void BoardTurnView::hideBoard() { controls_.hideBoard(); }

void BoardTurnView::showCandidate(int n) {
    controls_.showBox(n);
    controls_.paintBoardBox(static_cast<std::size_t>(n), show_.colours, 3);
}

void BoardTurnView::showVideoArea(bool shown) { controls_.showVideoArea(shown); }

void BoardTurnView::showPhoto(const QString& path) {
    if (path.isEmpty())
        controls_.clearPhoto();
    else
        controls_.showPhoto(path);
    controls_.showPhotoArea();
}

void BoardTurnView::hidePhoto() { controls_.hidePhoto(); }
void BoardTurnView::changeStartIcons() { controls_.assignStartIcons(show_.icons, random_); }
void BoardTurnView::showBoard() { controls_.applyBoardColours(game_, show_.colours); }
void BoardTurnView::showHitAnnouncement(int n) { announcements_.showHitAnnouncement(n); }
void BoardTurnView::hideAnnouncement() { announcements_.hideAnnouncement(); }
void BoardTurnView::stopAnnouncement() { controls_.stopAnnouncementDrawing(); }

} // namespace halvora
