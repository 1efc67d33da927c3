// The draw cycle: turns, the roulette on the two timers, STOP, booking a drawn number.
#include "common/zc.h"
#include "draw/history_log.h"
#include "draw/main_form.h"
#include "media/av_playback.h"
#include "platform/picture_box.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
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

void MainForm::installDrawCycle() {
    for (std::size_t b = 0; b < 4; ++b)
        connect(Command1_[b], &QPushButton::clicked, this, [this, b] { Command1_Click(static_cast<int>(b)); });
    connect(CmdStop_, &QPushButton::clicked, this, &MainForm::CmdStop_Click);
    抽選時間Timer_->setHandler([this] { 抽選時間Timer_Timer(); });
    抽選中調整Timer_->setHandler([this] { 抽選中調整Timer_Timer(); });
}

int MainForm::undrawnCount() const {
    return static_cast<int>(std::count(state_.DrawnFlag.begin() + 1, state_.DrawnFlag.end(), 0));
}

void MainForm::Command1_Click(int) {
    if (turnChanging_)
        return;
    const int left = undrawnCount();
    if (left == 0) {
        services_.dialogs.messageBox(this, QStringLiteral("すべての番号が出ました。"),
                                     MsgBox::OkOnly | MsgBox::Information);
        return;
    }
    const QPointer<MainForm> self(this);
    turnChanging_ = true;
    takeOverPreviousTurn();
    static constexpr std::int16_t kPerTurn[4] = {4, 3, 2, 1};
    const int index = selectedHitCountIndex();
    state_.TurnRemaining = static_cast<std::int16_t>(std::min(index < 0 ? 1 : kPerTurn[index], left));
    for (std::size_t i = 1; i <= 75; ++i)
        if (state_.DrawnFlag[i] != 0)
            PaintBoardBox(i, 3);
    state_.LatestFlag.fill(0);
    startTurnMedia();
    if (!self)
        return;
    turnChanging_ = false;
    CmdStop_->setEnabled(true);
    StartRoulette();
}

// A press during the last announcement of a turn starts the next one at once: that announcement's
// end never comes, so its media is closed and its box taken down here.
void MainForm::takeOverPreviousTurn() {
    抽選中調整Timer_->setEnabled(false);
    抽選時間Timer_->setEnabled(false);
    Pic当り発表_->hide();
    closeTurnMedia();
}

void MainForm::startTurnMedia() {
    const std::int16_t k = PickAvIndex();
    const auto i = static_cast<std::size_t>(k);
    const QString file = state_.av.AvFile[i];
    state_.PlaySeconds = playSecondsOf(state_.av.AvPlaySeconds[i]);
    turnMediaOpen_ = true;
    if (AV再生Sub::IsVideoFile(file)) {
        state_.CurrentVideoFile = file;
        state_.CurrentMusicFile.clear();
        Pic動画_->setVisible(true);
        AV再生Sub::PlayVideo(services_, *Pic動画_, file, state_.av.AvStart[i]);
    } else {
        state_.CurrentVideoFile.clear();
        state_.CurrentMusicFile = file;
        AV再生Sub::PlayMusic(services_, this, file, state_.av.AvStart[i]);
        ShowDrawPicture();
    }
}

void MainForm::closeTurnMedia() {
    if (!turnMediaOpen_)
        return;
    turnMediaOpen_ = false;
    if (!state_.CurrentMusicFile.isEmpty()) {
        AV再生Sub::CloseMusic(services_, state_.CurrentMusicFile);
        Img背景画像_->hide();
        return;
    }
    // An empty list plays its empty entry as music, so its turn ends here with the photo left up.
    AV再生Sub::CloseVideo(services_, state_.CurrentVideoFile);
    Pic動画_->hide();
    services_.pump.doEvents();
}

void MainForm::StartRoulette() {
    showDrawButtons(false);
    Text2_->hide();
    抽選時間Timer_->setEnabled(false);
    抽選時間Timer_->setInterval(0);
    int interval = 0;
    if (Opt抽選時間_[2]->isChecked())
        interval = 5000;
    if (Opt抽選時間_[1]->isChecked())
        interval = 10000;
    if (Opt抽選時間_[0]->isChecked())
        interval = state_.PlaySeconds <= kLongestDrawMs / 1000 ? state_.PlaySeconds * 1000 : kLongestDrawMs;
    if (interval > 0) {
        抽選時間Timer_->setInterval(interval);
        抽選時間Timer_->setEnabled(true);
    }
    for (std::size_t n = 1; n <= 75; ++n)
        Text1_[n]->hide();
    state_.RouletteState = ShowCandidate;
    抽選中調整Timer_->setEnabled(false);
    抽選中調整Timer_->setInterval(kRouletteTickMs);
    抽選中調整Timer_->setEnabled(true);
}

void MainForm::showDrawButtons(bool shown) {
    for (QPushButton* button : Command1_) {
        button->setEnabled(shown);
        button->setVisible(shown);
    }
}

std::int16_t MainForm::pickCandidate() {
    if (undrawnCount() == 0)
        return 0;
    std::int16_t n = 1;
    for (int tries = 0; tries < kCandidateTries; ++tries) {
        n = static_cast<std::int16_t>(F_選出数字(75));
        if (state_.DrawnFlag[static_cast<std::size_t>(n)] == 0)
            return n;
    }
    while (state_.DrawnFlag[static_cast<std::size_t>(n)] != 0)
        n = static_cast<std::int16_t>(n % 75 + 1);
    return n;
}

void MainForm::showCandidate() {
    const std::int16_t n = pickCandidate();
    if (n == 0) {
        // Hit corrections took the last undrawn numbers during the roulette: the turn ends unbooked.
        抽選時間Timer_->setEnabled(false);
        state_.TurnRemaining = 0;
        endAnnouncement();
        return;
    }
    Text1_[static_cast<std::size_t>(n)]->show();
    PaintBoardBox(static_cast<std::size_t>(n), 3);
    Text2_->setText(twoDigits(n));
    state_.RouletteState = BlinkOff;
}

void MainForm::抽選中調整Timer_Timer() {
    switch (state_.RouletteState) {
    case ShowCandidate:
        showCandidate();
        break;
    case BlinkOff:
        for (std::size_t n = 1; n <= 75; ++n)
            Text1_[n]->hide();
        state_.RouletteState = ShowCandidate;
        break;
    case Announcing:
        endAnnouncement();
        break;
    default:
        break;
    }
}

void MainForm::endAnnouncement() {
    AssignStartIcons();
    if (state_.TurnRemaining < 1) {
        const QPointer<MainForm> self(this);
        turnChanging_ = true;
        closeTurnMedia();
        if (!self)
            return;
        turnChanging_ = false;
        showDrawButtons(true);
        CmdStop_->setEnabled(false);
    }
    Text2_->show();
    ApplyBoardColours();
    抽選中調整Timer_->setEnabled(false);
    state_.RouletteState = Idle;
    Pic当り発表_->hide();
}

void MainForm::抽選時間Timer_Timer() {
    // Only a running roulette has a number to fix, and it is fixed once.
    if (state_.RouletteState != ShowCandidate && state_.RouletteState != BlinkOff)
        return;
    state_.RouletteState = Announcing;
    抽選時間Timer_->setEnabled(false);
    抽選中調整Timer_->setEnabled(false);
    抽選中調整Timer_->setInterval(kAnnouncementMs);
    抽選中調整Timer_->setEnabled(true);
    const std::int16_t n = RoundToInt16(NumberFromText(Text2_->text()));
    RecordDraw(n);
    const QPointer<MainForm> self(this);
    ShowHitAnnouncement(n);
    if (!self)
        return;
    state_.TurnRemaining = static_cast<std::int16_t>(state_.TurnRemaining - 1);
    if (undrawnCount() == 0)
        state_.TurnRemaining = 0; // the game is out of numbers: this turn is over
    if (state_.TurnRemaining > 0) {
        // The announcement's end, 8 s on, runs inside this wait.
        while (self && state_.RouletteState != Idle && 抽選中調整Timer_->isEnabled())
            services_.pump.waitForEvents();
        if (!self)
            return;
        StartRoulette();
        抽選時間Timer_->setEnabled(false);
        抽選時間Timer_->setInterval(kFurtherDrawMs);
        抽選時間Timer_->setEnabled(true);
        return;
    }
    showDrawButtons(true);
    CmdStop_->setEnabled(false);
}

void MainForm::CmdStop_Click() {
    // After the draw is fixed there is nothing left to stop: a press then would book it twice.
    if (state_.RouletteState != ShowCandidate && state_.RouletteState != BlinkOff)
        return;
    抽選時間Timer_->setEnabled(false);
    抽選時間Timer_->setInterval(kStopDelayMs);
    抽選時間Timer_->setEnabled(true);
    CmdStop_->setEnabled(false);
}

void MainForm::RecordDraw(std::int16_t n) {
    ++state_.DrawCount;
    if (!historyLog_) // the history folder is fixed from the start-up on
        historyLog_.emplace(state_.folders.HistoryFolder, services_.clock);
    historyLog_->append(state_.DrawCount, n);
    if (n >= 1 && n <= 75 && state_.DrawnFlag[static_cast<std::size_t>(n)] == 0) {
        state_.DrawnFlag[static_cast<std::size_t>(n)] = 1;
        state_.LatestFlag[static_cast<std::size_t>(n)] = 1;
        addToTxt回数(1);
    }
    Text2_->setText(twoDigits(n));
    const double participants = NumberFromText(Txt参加人数_->text());
    // Hand corrections can take the counter outside the table.
    const auto k = static_cast<std::size_t>(std::clamp<std::int16_t>(RoundToInt16(NumberFromText(Txt回数_->text())), 0, 75));
    txt予想当選者数_->setText(QString::number(participants * state_.BingoProbability[k], 'f', 8));
}

std::int16_t MainForm::PickAvIndex() { return pickListEntry(state_.av.AvCount, MenuAvランダム_->isChecked()); }

std::int16_t MainForm::PickPictureIndex() {
    return pickListEntry(state_.pictures.PictureCount, Menu写真描画ランダム_->isChecked());
}

// In list order the entry follows the number of draws so far, not the number of turns.
std::int16_t MainForm::pickListEntry(std::int16_t count, bool random) {
    if (count < 1)
        return 0;
    if (random)
        return static_cast<std::int16_t>(F_選出数字(count));
    return static_cast<std::int16_t>(state_.DrawCount % count + 1);
}

void MainForm::ShowDrawPicture() {
    const QString& file = state_.pictures.PictureFile[static_cast<std::size_t>(PickPictureIndex())];
    if (file.isEmpty()) {
        Img背景画像_->clear();
    } else {
        const QPixmap picture(file);
        if (!picture.isNull()) // a picture that cannot be loaded leaves the previous one
            Img背景画像_->setPixmap(picture);
    }
    Img背景画像_->setVisible(true);
}

} // namespace halvora
