// The draw cycle: turns, the roulette on the two timers, STOP, the media of a turn.
#include "draw/draw_cycle.h"

#include "draw/show_setup.h"
#include "draw/turn_view.h"
#include "game/game.h"
#include "media/media_playback.h"
#include "platform/event_pump.h"
#include "platform/media_player.h"
#include "platform/timer.h"

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

DrawCycle::DrawCycle(Game& game, const ShowSetup& show, TurnView& view, TimerFactory& timers, EventPump& pump,
                     MediaPlayer& media)
    : game_(game), show_(show), view_(view), pump_(pump), media_(media), drawTimer_(timers.createTimer()),
      rouletteTimer_(timers.createTimer()) {
    drawTimer_->setHandler([this] { onDrawTimeUp(); });
    rouletteTimer_->setHandler([this] { onRouletteTick(); });
}

DrawCycle::~DrawCycle() = default;

void DrawCycle::endShow() {
    ended_ = true;
    drawTimer_->setEnabled(false);
    rouletteTimer_->setEnabled(false);
    view_.stopAnnouncement();
    closeTurnMedia();
}

void DrawCycle::startTurn() {
    if (turnChanging_ || ended_)
        return;
    if (game_.undrawnCount() == 0) {
        view_.tellAllNumbersOut();
        return;
    }
    const QPointer<DrawCycle> self(this);
    turnChanging_ = true;
    takeOverPreviousTurn();
    view_.showTurnStart();
    game_.startTurn(view_.hitCountIndex());
    startTurnMedia();
    if (!self || ended_)
        return;
    turnChanging_ = false;
    view_.setStopEnabled(true);
    startRoulette();
}

// A press during the last announcement of a turn starts the next one at once: that announcement's
// end never comes, so its media is closed and its box taken down here.
void DrawCycle::takeOverPreviousTurn() {
    rouletteTimer_->setEnabled(false);
    drawTimer_->setEnabled(false);
    view_.hideAnnouncement();
    closeTurnMedia();
}

void DrawCycle::startTurnMedia() {
    const auto i = static_cast<std::size_t>(game_.pickEntry(show_.av.count, view_.avRandom()));
    turnFile_ = show_.av.files[i];
    turnIsVideo_ = false;
    playSeconds_ = playSecondsOf(show_.av.playSeconds[i]);
    turnMediaOpen_ = true;
    // Whether the turn shows a video or a photo is known once the file is open: by what it holds.
    MediaPlayback::play(media_, turnFile_, show_.av.starts[i], [this] {
        turnIsVideo_ = true;
        view_.showVideoArea(true);
    });
    if (!turnIsVideo_)
        showTurnPhoto();
}

void DrawCycle::closeTurnMedia() {
    if (!turnMediaOpen_)
        return;
    turnMediaOpen_ = false;
    MediaPlayback::close(media_, turnFile_);
    if (!turnIsVideo_) {
        // An empty list plays its empty entry as music, and its turn ends with the photo left up.
        if (!turnFile_.isEmpty())
            view_.hidePhoto();
        return;
    }
    view_.showVideoArea(false);
    pump_.doEvents();
}

int DrawCycle::drawTimeMs() const {
    switch (view_.drawTimeIndex()) {
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
    view_.showDrawButtons(false);
    view_.showPanel(false);
    drawTimer_->setEnabled(false);
    drawTimer_->setInterval(0);
    if (const int interval = drawTimeMs(); interval > 0) {
        drawTimer_->setInterval(interval);
        drawTimer_->setEnabled(true);
    }
    view_.hideBoard();
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
    view_.showCandidate(n);
}

void DrawCycle::onRouletteTick() {
    switch (game_.rouletteState()) {
    case RouletteState::ShowNext:
        showCandidate();
        break;
    case RouletteState::HideShown:
        view_.hideBoard();
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
    view_.changeStartIcons();
    if (game_.drawsLeftInTurn() < 1) {
        const QPointer<DrawCycle> self(this);
        turnChanging_ = true;
        closeTurnMedia();
        if (!self || ended_)
            return;
        turnChanging_ = false;
        view_.showDrawButtons(true);
        view_.setStopEnabled(false);
    }
    view_.showPanel(true);
    view_.showBoard();
    rouletteTimer_->setEnabled(false);
    game_.endAnnouncement();
    view_.hideAnnouncement();
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
    view_.showHitAnnouncement(n);
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
    view_.showDrawButtons(true);
    view_.setStopEnabled(false);
}

// False when the show ended (or the window went) during the wait.
bool DrawCycle::waitForAnnouncementEnd() {
    const QPointer<DrawCycle> self(this);
    while (self && !ended_ && !pump_.quitting() && game_.rouletteState() != RouletteState::Idle &&
           rouletteTimer_->isEnabled())
        pump_.waitForEvents();
    return self && !ended_ && !pump_.quitting();
}

void DrawCycle::next() {
    if (ended_ || turnChanging_)
        return;
    if (view_.drawButtonsReady()) {
        // The buttons come back during a turn's last announcement; a key waits for it to end.
        if (game_.rouletteState() != RouletteState::Announcing && game_.undrawnCount() > 0)
            startTurn();
        return;
    }
    if (view_.stopReady())
        stopRoulette();
}

void DrawCycle::stopRoulette() {
    // After the draw is fixed there is nothing left to stop: a press then would book it twice.
    if (!game_.rouletteRunning())
        return;
    drawTimer_->setEnabled(false);
    drawTimer_->setInterval(kStopDelayMs);
    drawTimer_->setEnabled(true);
    view_.setStopEnabled(false);
}

void DrawCycle::showTurnPhoto() {
    const auto i = static_cast<std::size_t>(game_.pickEntry(show_.pictures.count, view_.pictureRandom()));
    view_.showPhoto(show_.pictures.files[i]);
}

} // namespace halvora
