// The draw cycle: turns, the roulette on the two timers, STOP, booking a drawn number.
#include "draw/draw_cycle.h"

#include "common/zc.h"
#include "draw/game_state.h"
#include "draw/history_log.h"
#include "draw/hit_correction.h"
#include "draw/main_controls.h"
#include "platform/random_pick.h"
#include "media/av_playback.h"
#include "platform/picture_box.h"
#include "platform/video_view.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace halvora {

namespace {

constexpr int kRouletteTickMs = 250;
constexpr int kAnnouncementMs = 8000;
constexpr int kStopDelayMs = 600;
constexpr int kFurtherDrawMs = 1000;
constexpr int kLongestDrawMs = 60000;
// Random candidates tried before the roulette takes the next undrawn number in board order; only a
// nearly finished game with bad luck gets there.
constexpr int kCandidateTries = 1000;

enum RouletteStep : std::int16_t { ShowCandidate = 0, BlinkOff = 1, Announcing = 2, Idle = -1 };

QString twoDigits(std::int16_t n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

std::int32_t playSecondsOf(std::int32_t seconds) { return seconds < 1 ? 60 : seconds; }

} // namespace

DrawCycle::DrawCycle(GameState& state, MainControls& controls, HitCorrection& announcements, Services& services)
    : state_(state), controls_(controls), announcements_(announcements), services_(services),
      抽選時間Timer_(services.timers.createTimer()), 抽選中調整Timer_(services.timers.createTimer()) {
    for (std::size_t b = 0; b < 4; ++b)
        connect(controls_.Command1[b], &QPushButton::clicked, this, [this, b] { Command1_Click(static_cast<int>(b)); });
    connect(controls_.CmdStop, &QPushButton::clicked, this, &DrawCycle::CmdStop_Click);
    抽選時間Timer_->setHandler([this] { 抽選時間Timer_Timer(); });
    抽選中調整Timer_->setHandler([this] { 抽選中調整Timer_Timer(); });
}

DrawCycle::~DrawCycle() = default;

std::int32_t DrawCycle::pick(std::int16_t max) { return F_選出数字(services_.random, max); }

void DrawCycle::endShow() {
    ended_ = true;
    抽選時間Timer_->setEnabled(false);
    抽選中調整Timer_->setEnabled(false);
    controls_.Pic当り発表->claim(); // a pattern still playing stops drawing
    closeTurnMedia();
}

int DrawCycle::undrawnCount() const {
    return static_cast<int>(std::count(state_.DrawnFlag.begin() + 1, state_.DrawnFlag.end(), 0));
}

void DrawCycle::Command1_Click(int) {
    if (turnChanging_ || ended_)
        return;
    const int left = undrawnCount();
    if (left == 0) {
        services_.dialogs.messageBox(controls_.board.window(), QStringLiteral("すべての番号が出ました。"),
                                     MsgBox::OkOnly | MsgBox::Information);
        return;
    }
    const QPointer<DrawCycle> self(this);
    turnChanging_ = true;
    takeOverPreviousTurn();
    static constexpr std::int16_t kPerTurn[4] = {4, 3, 2, 1};
    const int index = controls_.selectedHitCountIndex();
    state_.TurnRemaining = static_cast<std::int16_t>(std::min(index < 0 ? 1 : kPerTurn[index], left));
    for (std::size_t i = 1; i <= 75; ++i)
        if (state_.DrawnFlag[i] != 0)
            controls_.PaintBoardBox(i, state_.colours, 3);
    state_.LatestFlag.fill(0);
    startTurnMedia();
    if (!self || ended_)
        return;
    turnChanging_ = false;
    controls_.CmdStop->setEnabled(true);
    StartRoulette();
}

// A press during the last announcement of a turn starts the next one at once: that announcement's
// end never comes, so its media is closed and its box taken down here.
void DrawCycle::takeOverPreviousTurn() {
    抽選中調整Timer_->setEnabled(false);
    抽選時間Timer_->setEnabled(false);
    announcements_.hideAnnouncement();
    closeTurnMedia();
}

void DrawCycle::startTurnMedia() {
    const std::int16_t k = PickAvIndex();
    const auto i = static_cast<std::size_t>(k);
    const QString file = state_.av.AvFile[i];
    state_.PlaySeconds = playSecondsOf(state_.av.AvPlaySeconds[i]);
    turnMediaOpen_ = true;
    if (AV再生Sub::IsVideoFile(file)) {
        state_.CurrentVideoFile = file;
        state_.CurrentMusicFile.clear();
        controls_.Pic動画->setVisible(true);
        AV再生Sub::PlayVideo(services_.mci, services_.pump, file, state_.av.AvStart[i]);
    } else {
        state_.CurrentVideoFile.clear();
        state_.CurrentMusicFile = file;
        AV再生Sub::PlayMusic(services_.mci, file, state_.av.AvStart[i]);
        ShowDrawPicture();
    }
}

void DrawCycle::closeTurnMedia() {
    if (!turnMediaOpen_)
        return;
    turnMediaOpen_ = false;
    if (!state_.CurrentMusicFile.isEmpty()) {
        AV再生Sub::CloseMusic(services_.mci, state_.CurrentMusicFile);
        controls_.Img背景画像->hide();
        return;
    }
    // An empty list plays its empty entry as music, so its turn ends here with the photo left up.
    AV再生Sub::CloseVideo(services_.mci, state_.CurrentVideoFile);
    controls_.Pic動画->hide();
    services_.pump.doEvents();
}

void DrawCycle::StartRoulette() {
    controls_.showDrawButtons(false);
    controls_.Text2->hide();
    抽選時間Timer_->setEnabled(false);
    抽選時間Timer_->setInterval(0);
    int interval = 0;
    if (controls_.Opt抽選時間[2]->isChecked())
        interval = 5000;
    if (controls_.Opt抽選時間[1]->isChecked())
        interval = 10000;
    if (controls_.Opt抽選時間[0]->isChecked())
        interval = state_.PlaySeconds <= kLongestDrawMs / 1000 ? state_.PlaySeconds * 1000 : kLongestDrawMs;
    if (interval > 0) {
        抽選時間Timer_->setInterval(interval);
        抽選時間Timer_->setEnabled(true);
    }
    controls_.hideBoard();
    state_.RouletteState = ShowCandidate;
    抽選中調整Timer_->setEnabled(false);
    抽選中調整Timer_->setInterval(kRouletteTickMs);
    抽選中調整Timer_->setEnabled(true);
}

std::int16_t DrawCycle::pickCandidate() {
    if (undrawnCount() == 0)
        return 0;
    std::int16_t n = 1;
    for (int tries = 0; tries < kCandidateTries; ++tries) {
        n = static_cast<std::int16_t>(pick(75));
        if (state_.DrawnFlag[static_cast<std::size_t>(n)] == 0)
            return n;
    }
    while (state_.DrawnFlag[static_cast<std::size_t>(n)] != 0)
        n = static_cast<std::int16_t>(n % 75 + 1);
    return n;
}

void DrawCycle::showCandidate() {
    const std::int16_t n = pickCandidate();
    if (n == 0) {
        // Hit corrections took the last undrawn numbers during the roulette: the turn ends unbooked.
        抽選時間Timer_->setEnabled(false);
        state_.TurnRemaining = 0;
        endAnnouncement();
        return;
    }
    controls_.Text1[static_cast<std::size_t>(n)]->show();
    controls_.PaintBoardBox(static_cast<std::size_t>(n), state_.colours, 3);
    controls_.Text2->setText(twoDigits(n));
    state_.RouletteState = BlinkOff;
}

void DrawCycle::抽選中調整Timer_Timer() {
    switch (state_.RouletteState) {
    case ShowCandidate:
        showCandidate();
        break;
    case BlinkOff:
        controls_.hideBoard();
        state_.RouletteState = ShowCandidate;
        break;
    case Announcing:
        endAnnouncement();
        break;
    default:
        break;
    }
}

void DrawCycle::endAnnouncement() {
    controls_.AssignStartIcons(state_.icons, services_.random);
    if (state_.TurnRemaining < 1) {
        const QPointer<DrawCycle> self(this);
        turnChanging_ = true;
        closeTurnMedia();
        if (!self || ended_)
            return;
        turnChanging_ = false;
        controls_.showDrawButtons(true);
        controls_.CmdStop->setEnabled(false);
    }
    controls_.Text2->show();
    controls_.ApplyBoardColours(state_);
    抽選中調整Timer_->setEnabled(false);
    state_.RouletteState = Idle;
    announcements_.hideAnnouncement();
    if (!turnInProgress())
        emit turnEnded();
}

void DrawCycle::抽選時間Timer_Timer() {
    // Only a running roulette has a number to fix, and it is fixed once.
    if (state_.RouletteState != ShowCandidate && state_.RouletteState != BlinkOff)
        return;
    state_.RouletteState = Announcing;
    抽選時間Timer_->setEnabled(false);
    抽選中調整Timer_->setEnabled(false);
    抽選中調整Timer_->setInterval(kAnnouncementMs);
    抽選中調整Timer_->setEnabled(true);
    const std::int16_t n = RoundToInt16(NumberFromText(controls_.Text2->text()));
    RecordDraw(n);
    const QPointer<DrawCycle> self(this);
    announcements_.ShowHitAnnouncement(n);
    if (!self || ended_)
        return;
    state_.TurnRemaining = static_cast<std::int16_t>(state_.TurnRemaining - 1);
    if (undrawnCount() == 0)
        state_.TurnRemaining = 0; // the game is out of numbers: this turn is over
    if (state_.TurnRemaining > 0) {
        // The announcement's end, 8 s on, runs inside this wait.
        if (!waitForAnnouncementEnd())
            return;
        StartRoulette();
        抽選時間Timer_->setEnabled(false);
        抽選時間Timer_->setInterval(kFurtherDrawMs);
        抽選時間Timer_->setEnabled(true);
        return;
    }
    controls_.showDrawButtons(true);
    controls_.CmdStop->setEnabled(false);
}

// False when the show ended (or the window went) during the wait.
bool DrawCycle::waitForAnnouncementEnd() {
    const QPointer<DrawCycle> self(this);
    while (self && !ended_ && !services_.pump.quitting() && state_.RouletteState != Idle &&
           抽選中調整Timer_->isEnabled())
        services_.pump.waitForEvents();
    return self && !ended_ && !services_.pump.quitting();
}

void DrawCycle::next() {
    if (ended_ || turnChanging_)
        return;
    const QPushButton* first = controls_.Command1[0];
    if (first->isVisible() && first->isEnabled()) {
        // The buttons come back during a turn's last announcement; a key waits for it to end.
        if (state_.RouletteState != Announcing && undrawnCount() > 0)
            Command1_Click(0);
        return;
    }
    if (controls_.CmdStop->isVisible() && controls_.CmdStop->isEnabled())
        CmdStop_Click();
}

void DrawCycle::CmdStop_Click() {
    // After the draw is fixed there is nothing left to stop: a press then would book it twice.
    if (state_.RouletteState != ShowCandidate && state_.RouletteState != BlinkOff)
        return;
    抽選時間Timer_->setEnabled(false);
    抽選時間Timer_->setInterval(kStopDelayMs);
    抽選時間Timer_->setEnabled(true);
    controls_.CmdStop->setEnabled(false);
}

void DrawCycle::RecordDraw(std::int16_t n) {
    ++state_.DrawCount;
    if (!historyLog_) // the history folder is fixed from the start-up on
        historyLog_.emplace(state_.folders.HistoryFolder, services_.clock);
    historyLog_->append(state_.DrawCount, n);
    if (n >= 1 && n <= 75 && state_.DrawnFlag[static_cast<std::size_t>(n)] == 0) {
        state_.DrawnFlag[static_cast<std::size_t>(n)] = 1;
        state_.LatestFlag[static_cast<std::size_t>(n)] = 1;
        controls_.addToTxt回数(1);
    }
    controls_.Text2->setText(twoDigits(n));
    const double participants = NumberFromText(controls_.Txt参加人数->text());
    // Hand corrections can take the counter outside the table.
    const std::int16_t drawn = RoundToInt16(NumberFromText(controls_.Txt回数->text()));
    const auto k = static_cast<std::size_t>(std::clamp<std::int16_t>(drawn, 0, 75));
    controls_.txt予想当選者数->setText(QString::number(participants * state_.BingoProbability[k], 'f', 8));
    emit gameChanged();
}

void DrawCycle::continueHistoryLog(const QString& path) {
    historyLog_.emplace(state_.folders.HistoryFolder, services_.clock, path);
}

std::int16_t DrawCycle::PickAvIndex() { return pickListEntry(state_.av.AvCount, controls_.avRandom()); }

std::int16_t DrawCycle::PickPictureIndex() {
    return pickListEntry(state_.pictures.PictureCount, controls_.pictureRandom());
}

// In list order the entry follows the number of draws so far, not the number of turns.
std::int16_t DrawCycle::pickListEntry(std::int16_t count, bool random) {
    if (count < 1)
        return 0;
    if (random)
        return static_cast<std::int16_t>(pick(count));
    return static_cast<std::int16_t>(state_.DrawCount % count + 1);
}

void DrawCycle::ShowDrawPicture() {
    const QString& file = state_.pictures.PictureFile[static_cast<std::size_t>(PickPictureIndex())];
    // A picture that cannot be loaded leaves the previous one.
    if (file.isEmpty())
        controls_.Img背景画像->clear();
    else
        controls_.showPhoto(file);
    controls_.Img背景画像->setVisible(true);
}

} // namespace halvora
