// The draw cycle: turns, the roulette on the two timers, STOP, the media of a turn.
#include "draw/draw_cycle.h"

#include "draw/hand_marking.h"
#include "draw/main_controls.h"
#include "draw/show_setup.h"
#include "game/game.h"
#include "media/media_playback.h"
#include "platform/media_player.h"

#include <QPointer>

namespace halvora {

namespace {

constexpr int kRouletteTickMs = 250;
constexpr int kAnnouncementMs = 8000;
constexpr int kStopDelayMs = 600;
constexpr int kFurtherDrawMs = 1000;
constexpr int kLongestDrawMs = 60000;

std::int32_t playSecondsOf(std::int32_t seconds) { return seconds < 1 ? 60 : seconds; }

} // namespace

DrawCycle::DrawCycle(Game& game, ShowSetup& show, MainControls& controls, HandMarking& announcements,
                     Services& services)
    : game_(game), show_(show), controls_(controls), announcements_(announcements), services_(services),
      drawTimer_(services.timers.createTimer()), rouletteTimer_(services.timers.createTimer()) {
    drawTimer_->setHandler([this] { onDrawTimeUp(); });
    rouletteTimer_->setHandler([this] { onRouletteTick(); });
}

DrawCycle::~DrawCycle() = default;

void DrawCycle::endShow() {
    ended_ = true;
    drawTimer_->setEnabled(false);
    rouletteTimer_->setEnabled(false);
    controls_.stopAnnouncementDrawing(); // a pattern still playing stops drawing
    closeTurnMedia();
}

void DrawCycle::startTurn() {
    if (turnChanging_ || ended_)
        return;
    if (game_.undrawnCount() == 0) {
        services_.dialogs.messageBox(controls_.owner(), QStringLiteral("すべての番号が出ました。"),
                                     MessageKind::Information);
        return;
    }
    const QPointer<DrawCycle> self(this);
    turnChanging_ = true;
    takeOverPreviousTurn();
    // Last turn's numbers lose their colour of the latest.
    for (int n = 1; n <= 75; ++n)
        if (game_.isDrawn(n))
            controls_.paintBoardBox(static_cast<std::size_t>(n), show_.colours, 3);
    game_.startTurn(controls_.selectedHitCountIndex());
    startTurnMedia();
    if (!self || ended_)
        return;
    turnChanging_ = false;
    controls_.setStopEnabled(true);
    startRoulette();
}

// A press during the last announcement of a turn starts the next one at once: that announcement's
// end never comes, so its media is closed and its box taken down here.
void DrawCycle::takeOverPreviousTurn() {
    rouletteTimer_->setEnabled(false);
    drawTimer_->setEnabled(false);
    announcements_.hideAnnouncement();
    closeTurnMedia();
}

void DrawCycle::startTurnMedia() {
    const auto i = static_cast<std::size_t>(game_.pickEntry(show_.av.count, controls_.avRandom()));
    turnFile_ = show_.av.files[i];
    turnIsVideo_ = isVideoFile(turnFile_);
    playSeconds_ = playSecondsOf(show_.av.playSeconds[i]);
    turnMediaOpen_ = true;
    if (turnIsVideo_)
        controls_.showVideoArea(true);
    MediaPlayback::play(services_.media, turnFile_, show_.av.starts[i]);
    if (!turnIsVideo_)
        showTurnPhoto();
}

void DrawCycle::closeTurnMedia() {
    if (!turnMediaOpen_)
        return;
    turnMediaOpen_ = false;
    MediaPlayback::close(services_.media, turnFile_);
    if (!turnIsVideo_) {
        // An empty list plays its empty entry as music, and its turn ends with the photo left up.
        if (!turnFile_.isEmpty())
            controls_.hidePhoto();
        return;
    }
    controls_.showVideoArea(false);
    services_.pump.doEvents();
}

int DrawCycle::drawTimeMs() const {
    switch (controls_.selectedDrawTimeIndex()) {
    case 0: // as long as the entry plays, at most a minute
        return playSeconds_ <= kLongestDrawMs / 1000 ? playSeconds_ * 1000 : kLongestDrawMs;
    case 1:
        return 10000;
    case 2:
        return 5000;
    default: // 手動: until STOP
        return 0;
    }
}

void DrawCycle::startRoulette() {
    controls_.showDrawButtons(false);
    controls_.showPanel(false);
    drawTimer_->setEnabled(false);
    drawTimer_->setInterval(0);
    if (const int interval = drawTimeMs(); interval > 0) {
        drawTimer_->setInterval(interval);
        drawTimer_->setEnabled(true);
    }
    controls_.hideBoard();
    game_.startRoulette();
    rouletteTimer_->setEnabled(false);
    rouletteTimer_->setInterval(kRouletteTickMs);
    rouletteTimer_->setEnabled(true);
}

void DrawCycle::showCandidate() {
    const int n = game_.showCandidate();
    if (n == 0) {
        // Hand marking took the last undrawn numbers during the roulette: the turn ends unbooked.
        drawTimer_->setEnabled(false);
        endAnnouncement();
        return;
    }
    controls_.showBox(n);
    controls_.paintBoardBox(static_cast<std::size_t>(n), show_.colours, 3);
}

void DrawCycle::onRouletteTick() {
    switch (game_.rouletteState()) {
    case RouletteState::ShowNext:
        showCandidate();
        break;
    case RouletteState::HideShown:
        controls_.hideBoard();
        game_.hideCandidate();
        break;
    case RouletteState::Announcing:
        endAnnouncement();
        break;
    case RouletteState::Idle:
        break;
    }
}

void DrawCycle::endAnnouncement() {
    controls_.assignStartIcons(show_.icons, services_.random);
    if (game_.drawsLeftInTurn() < 1) {
        const QPointer<DrawCycle> self(this);
        turnChanging_ = true;
        closeTurnMedia();
        if (!self || ended_)
            return;
        turnChanging_ = false;
        controls_.showDrawButtons(true);
        controls_.setStopEnabled(false);
    }
    controls_.showPanel(true);
    controls_.applyBoardColours(game_, show_.colours);
    rouletteTimer_->setEnabled(false);
    game_.endAnnouncement();
    announcements_.hideAnnouncement();
    if (!turnInProgress())
        emit turnEnded();
}

void DrawCycle::onDrawTimeUp() {
    // Only a running roulette has a number to fix, and it is fixed once.
    if (!game_.rouletteRunning())
        return;
    drawTimer_->setEnabled(false);
    rouletteTimer_->setEnabled(false);
    rouletteTimer_->setInterval(kAnnouncementMs);
    rouletteTimer_->setEnabled(true);
    const int n = game_.fixDraw();
    const QPointer<DrawCycle> self(this);
    announcements_.showHitAnnouncement(n);
    if (!self || ended_)
        return;
    game_.countDrawDone();
    if (game_.drawsLeftInTurn() > 0) {
        // The announcement's end, 8 s on, runs inside this wait.
        if (!waitForAnnouncementEnd())
            return;
        startRoulette();
        drawTimer_->setEnabled(false);
        drawTimer_->setInterval(kFurtherDrawMs);
        drawTimer_->setEnabled(true);
        return;
    }
    controls_.showDrawButtons(true);
    controls_.setStopEnabled(false);
}

// False when the show ended (or the window went) during the wait.
bool DrawCycle::waitForAnnouncementEnd() {
    const QPointer<DrawCycle> self(this);
    while (self && !ended_ && !services_.pump.quitting() && game_.rouletteState() != RouletteState::Idle &&
           rouletteTimer_->isEnabled())
        services_.pump.waitForEvents();
    return self && !ended_ && !services_.pump.quitting();
}

void DrawCycle::next() {
    if (ended_ || turnChanging_)
        return;
    if (controls_.drawButtonsReady()) {
        // The buttons come back during a turn's last announcement; a key waits for it to end.
        if (game_.rouletteState() != RouletteState::Announcing && game_.undrawnCount() > 0)
            startTurn();
        return;
    }
    if (controls_.stopReady())
        stopRoulette();
}

void DrawCycle::stopRoulette() {
    // After the draw is fixed there is nothing left to stop: a press then would book it twice.
    if (!game_.rouletteRunning())
        return;
    drawTimer_->setEnabled(false);
    drawTimer_->setInterval(kStopDelayMs);
    drawTimer_->setEnabled(true);
    controls_.setStopEnabled(false);
}

void DrawCycle::showTurnPhoto() {
    const auto i = static_cast<std::size_t>(game_.pickEntry(show_.pictures.count, controls_.pictureRandom()));
    const QString& file = show_.pictures.files[i];
    // A picture that cannot be loaded leaves the previous one.
    if (file.isEmpty())
        controls_.clearPhoto();
    else
        controls_.showPhoto(file);
    controls_.showPhotoArea();
}

} // namespace halvora
