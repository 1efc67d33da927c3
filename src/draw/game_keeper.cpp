#include "draw/game_keeper.h"

#include "draw/draw_cycle.h"
#include "draw/game_state.h"
#include "draw/hit_correction.h"
#include "draw/main_controls.h"
#include "platform/clock.h"
#include "platform/dialogs.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>

namespace halvora {

GameKeeper::GameKeeper(GameState& state, MainControls& controls, DrawCycle& draws, HitCorrection& corrections,
                       Dialogs& dialogs, const Clock& clock, QWidget& owner)
    : QObject(&owner), state_(state), controls_(controls), draws_(draws), dialogs_(dialogs), clock_(clock),
      owner_(owner) {
    connect(&draws, &DrawCycle::gameChanged, this, &GameKeeper::save);
    connect(&corrections, &HitCorrection::gameChanged, this, &GameKeeper::save);
    connect(controls.Txt参加人数, &QLineEdit::textEdited, this, &GameKeeper::save);
    for (QRadioButton* choice : controls.Opt当たり数)
        connect(choice, &QRadioButton::clicked, this, &GameKeeper::save);
    // A warning in the middle of a turn would stop its roulette and announcements.
    connect(&draws, &DrawCycle::turnEnded, this, &GameKeeper::warnWhenQuiet);
}

QString GameKeeper::path() const { return state_.folders.AppFolder + kGameFileName; }

void GameKeeper::resumeOrStart() {
    SavedGame game;
    const EnvironmentFolders& f = state_.folders;
    const QString formerHistory = f.MovedFrom.isEmpty() || !f.HistoryFolder.startsWith(f.AppFolder)
                                      ? QString()
                                      : f.MovedFrom + f.HistoryFolder.mid(f.AppFolder.size());
    switch (ReadGameFile(path(), f.HistoryFolder, game, formerHistory)) {
    case GameFileRead::Read:
        if (game.anyDrawn() &&
            dialogs_.messageBox(&owner_, QStringLiteral("前回のゲームが終了していません。続きから再開しますか？"),
                                MsgBox::YesNo | MsgBox::Question, // はい is the default
                                QStringLiteral("操作確認")) == MsgBox::Yes) {
            restore(game);
            return;
        }
        QFile::remove(path()); // a new game: the old one is over
        break;
    case GameFileRead::Damaged:
        setAsideDamaged();
        break;
    case GameFileRead::Missing:
        break;
    }
}

// The damaged file is kept under a name of its own for a closer look, beside any kept before; the new
// game starts its own.
void GameKeeper::setAsideDamaged() {
    const QString stamp = clock_.now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path() + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = path() + QStringLiteral(".damaged-") + stamp + QLatin1Char('-') + QString::number(n);
    QFile::rename(path(), aside);
    dialogs_.messageBox(&owner_,
                        QStringLiteral("前回のゲームのファイルが壊れているため、再開できません。\r\n") + aside +
                            QStringLiteral("\r\n新しいゲームを始めます。"),
                        MsgBox::OkOnly | MsgBox::Exclamation);
}

SavedGame GameKeeper::snapshot() const {
    SavedGame game;
    game.DrawCount = state_.DrawCount;
    for (std::size_t n = 1; n <= 75; ++n) {
        game.Drawn[n] = state_.DrawnFlag[n] != 0;
        game.Latest[n] = game.Drawn[n] && state_.LatestFlag[n] != 0;
    }
    game.DrawnCountText = controls_.Txt回数->text();
    game.Participants = controls_.Txt参加人数->text();
    game.ExpectedWinners = controls_.txt予想当選者数->text();
    game.Panel = controls_.Text2->text();
    game.HistoryLog = draws_.historyLogPath();
    game.HitCountIndex = controls_.selectedHitCountIndex();
    return game;
}

void GameKeeper::restore(const SavedGame& game) {
    state_.DrawCount = game.DrawCount;
    for (std::size_t n = 1; n <= 75; ++n) {
        state_.DrawnFlag[n] = game.Drawn[n] ? 1 : 0;
        state_.LatestFlag[n] = game.Latest[n] ? 1 : 0;
    }
    controls_.Txt回数->setText(game.DrawnCountText);
    controls_.Txt参加人数->setText(game.Participants);
    controls_.txt予想当選者数->setText(game.ExpectedWinners);
    controls_.Text2->setText(game.Panel);
    if (game.HitCountIndex >= 0)
        controls_.selectHitCountIndex(game.HitCountIndex);
    if (!game.HistoryLog.isEmpty())
        draws_.continueHistoryLog(game.HistoryLog);
    controls_.ApplyBoardColours(state_);
}

void GameKeeper::save() {
    if (ended_)
        return;
    FileError error;
    if (WriteGameFile(path(), snapshot(), error))
        return;
    if (!warned_)
        failure_ = error.isError() ? error : fileError(FileErrors::DeviceIo);
    warnWhenQuiet();
}

void GameKeeper::warnWhenQuiet() {
    if (!failure_.isError() || draws_.turnInProgress())
        return;
    warned_ = true;
    const FileError error = failure_;
    failure_ = {};
    dialogs_.messageBox(&owner_,
                        QStringLiteral("ゲームの状態を保存できません。\r\n") + path() +
                            QStringLiteral("\r\nエラー番号=") + QString::number(error.number) +
                            QStringLiteral("\r\n中断したゲームは再開できませんが、このまま続けられます。"),
                        MsgBox::OkOnly | MsgBox::Exclamation);
}

void GameKeeper::endGame() {
    ended_ = true;
    QFile::remove(path());
}

} // namespace halvora
