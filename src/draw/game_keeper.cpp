#include "draw/game_keeper.h"

#include "draw/draw_cycle.h"
#include "draw/main_controls.h"
#include "game/game.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "settings/environment_file.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRadioButton>

namespace halvora {

GameKeeper::GameKeeper(Game& game, const EnvironmentFolders& folders, MainControls& controls, DrawCycle& draws,
                       Dialogs& dialogs, const Clock& clock, QWidget& owner)
    : QObject(&owner), game_(game), folders_(folders), controls_(controls), draws_(draws), dialogs_(dialogs),
      clock_(clock), owner_(owner) {
    connect(&game, &Game::changed, this, &GameKeeper::save);
    for (QRadioButton* choice : controls.hitCountOptions)
        connect(choice, &QRadioButton::clicked, this, &GameKeeper::save);
    // A warning in the middle of a turn would stop its roulette and announcements.
    connect(&draws, &DrawCycle::turnEnded, this, &GameKeeper::warnWhenQuiet);
}

QString GameKeeper::path() const { return folders_.appFolder + kGameFileName; }

void GameKeeper::resumeOrStart() {
    started_ = true;
    SavedGame game;
    const EnvironmentFolders& f = folders_;
    const QString formerHistory = f.movedFrom.isEmpty() || !f.historyFolder.startsWith(f.appFolder)
                                      ? QString()
                                      : f.movedFrom + f.historyFolder.mid(f.appFolder.size());
    switch (readGameFile(path(), f.historyFolder, game, formerHistory)) {
    case GameFileRead::Read:
        if (game.anyDrawn() &&
            dialogs_.messageBox(&owner_, QStringLiteral("前回のゲームが終了していません。続きから再開しますか？"),
                                MessageKind::Question, // はい is the default
                                QStringLiteral("操作確認")) == Answer::Yes) {
            if (game.hitCountIndex >= 0)
                controls_.selectHitCountIndex(game.hitCountIndex);
            game_.restore(game);
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
                        MessageKind::Warning);
}

void GameKeeper::save() {
    if (!started_ || ended_)
        return;
    SavedGame game = game_.saved();
    game.hitCountIndex = controls_.selectedHitCountIndex();
    FileError error;
    if (writeGameFile(path(), game, error))
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
                        MessageKind::Warning);
}

void GameKeeper::endGame() {
    ended_ = true;
    QFile::remove(path());
}

} // namespace halvora
