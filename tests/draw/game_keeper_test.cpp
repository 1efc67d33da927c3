#include "main_window_fixture.h"

#include "game/game_file.h"

#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <sys/stat.h>

namespace halvora {
namespace {

using test::kDrawn;
using test::kLatest;

const QString kQuestion = QStringLiteral("前回のゲームが終了していません。続きから再開しますか？");

class GameKeeperTest : public test::MainWindowTest {
protected:
    void SetUp() override {
        folder.addSampleMedia();
        random.setCounting();
        ASSERT_TRUE(startWindow());
        time.doEvents();
    }
    // Ends this window as the close box does and starts the program again, from the same folder or
    // from `programFolder`.
    void restart(const QString& programFolder = {}) {
        form->close();
        form.reset();
        dialogs.clear();
        ASSERT_TRUE(startWindow(programFolder));
        time.doEvents();
    }
    QString gameFile() const { return form->show().folders.appFolder + kGameFileName; }
    SavedGame kept() const {
        SavedGame game;
        EXPECT_EQ(readGameFile(gameFile(), form->show().folders.historyFolder, game), GameFileRead::Read);
        return game;
    }
    // The game as the window shows it.
    SavedGame shown() const {
        SavedGame game = form->game().saved();
        game.counter = text(u"Txt回数");
        game.participants = text(u"Txt参加人数");
        game.expectedWinners = text(u"txt予想当選者数");
        game.panel = text(u"Text2");
        game.hitCountIndex = form->controls().selectedHitCountIndex();
        return game;
    }
    // One number by STOP; returns it once the board is back, or (false) while it is announced.
    int book(bool waitForBoard = true) {
        form->controls().selectDrawTimeIndex(3);
        form->controls().selectHitCountIndex(3);
        control<QPushButton>(u"Command1_0")->click();
        time.advance(1000);
        control<QPushButton>(u"CmdStop")->click();
        time.advance(waitForBoard ? 8600 : 600);
        return text(u"Text2").toInt();
    }
    void untilIdle() { time.advance(8000); }
    // The log's lines after its header, and the lines of the numbers drawn in turn.
    static QStringList logOf(const QString& path) {
        return QString::fromLatin1(test::readBytes(path)).split(QStringLiteral("\r\n")).mid(1);
    }
    static QStringList lines(std::initializer_list<int> numbers) {
        QStringList out;
        for (int n : numbers)
            out << QStringLiteral("%1 : %2").arg(out.size() + 1, 3).arg(n, 3);
        return out << QString();
    }
};

TEST_F(GameKeeperTest, EveryChangeIsKeptAndTheNextStartResumesIt) {
    EXPECT_FALSE(QFile::exists(gameFile())); // nothing to keep before the first change
    QTest::keyClicks(control<QLineEdit>(u"Txt参加人数"), QStringLiteral("20"));
    EXPECT_EQ(kept().participants, QStringLiteral("120"));
    const int first = book(false);
    EXPECT_EQ(kept(), shown()); // kept before the announcement has ended
    untilIdle();
    correct(first == 40 ? 41 : 40, u"Menu当り");
    correct(first, u"Menu解除");
    correct(first, u"Menu当り");
    control<QRadioButton>(u"Opt当たり数_1")->click();
    const SavedGame before = shown();
    EXPECT_EQ(kept(), before);
    EXPECT_EQ(before.counter, QStringLiteral("2"));
    EXPECT_EQ(before.hitCountIndex, 1);

    // The show's own participants, read at start-up, neither overwrite the kept game nor win over it.
    const QString show = form->show().folders.dataFolder + form->show().folders.conditionFileName;
    test::writeBytes(show, test::readBytes(show) + "[Option]\r\n50\r\n");
    restart();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(lastMessage(), kQuestion + QStringLiteral("|question|操作確認")); // はい is the default
    EXPECT_EQ(shown(), before);
    EXPECT_EQ(back(first), kLatest); // drawn in the last turn
    EXPECT_EQ(back(first == 40 ? 41 : 40), kDrawn);

    // The resumed game goes on in its own log.
    const int second = book();
    EXPECT_EQ(logOf(before.historyLog), lines({first, second}));
    EXPECT_EQ(back(second), kLatest);

    // Exit → はい ends the game on purpose; nothing is offered at the next start.
    dialogs.answerNextMessage(Answer::Yes);
    trigger(u"menu終了");
    EXPECT_FALSE(QFile::exists(gameFile()));
    restart();
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_EQ(form->game().drawCount(), 0);
}

TEST_F(GameKeeperTest, ANewGameOrADamagedFileStartsFresh) {
    book();
    const QByteArray keptBytes = test::readBytes(gameFile());
    const QString damaged = QStringLiteral("前回のゲームのファイルが壊れている");
    const std::tuple<const char*, QByteArray, Answer, QString> cases[] = {
        {"いいえ at the question", keptBytes, Answer::No, kQuestion},
        {"cut off", keptBytes.left(keptBytes.size() - 8), Answer::Ok, damaged},
        {"a pipe", QByteArray(), Answer::Ok, damaged}, // would hold the start for good if opened to wait
    };
    QStringList setAside;
    for (const auto& [what, file, answer, message] : cases) {
        SCOPED_TRACE(what);
        if (file.isEmpty()) {
            ASSERT_EQ(::mkfifo(QFile::encodeName(gameFile()).constData(), 0600), 0);
        } else {
            test::writeBytes(gameFile(), file);
        }
        dialogs.answerNextMessage(answer);
        restart();
        ASSERT_EQ(dialogs.messages().size(), 1u);
        EXPECT_TRUE(dialogs.messages()[0].prompt.startsWith(message));
        EXPECT_TRUE(form->game().drawCount() == 0 && text(u"Txt回数") == "0" && !QFile::exists(gameFile()));
        if (answer != Answer::Ok)
            continue;
        // A damaged file is set aside beside those set aside before, not lost.
        const QString appFolder = form->show().folders.appFolder;
        const QStringList aside =
            QDir(appFolder).entryList({kGameFileName + QStringLiteral(".damaged-*")}, QDir::AllEntries | QDir::System);
        ASSERT_EQ(aside.size(), setAside.size() + 1);
        for (const QString& name : aside)
            EXPECT_TRUE(setAside.contains(name) || file.isEmpty() || test::readBytes(appFolder + name) == file);
        setAside = aside;
    }
}

// The rescue case: the program's folder moved, or copied to the spare computer, in the middle of a game.
TEST_F(GameKeeperTest, AGameResumedInAMovedFolderGoesOnInTheNewFolder) {
    for (const bool copied : {false, true}) {
        SCOPED_TRACE(copied ? "copied" : "moved");
        const QString before = folder.file(copied ? "Copied/" : "Show/"), after = folder.file("Moved/");
        QDir(after).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(before));
        for (const QString& name : test::sampleMediaNames())
            QFile::copy(QStringLiteral(HALVORA_ASSET_DIR "/") + name, before + name);
        restart(before);
        const int first = book();
        const QString oldLog = form->game().historyLogPath();
        form->close();
        if (copied) {
            ASSERT_EQ(QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), before, after}), 0);
        } else {
            ASSERT_TRUE(QDir().rename(before, after));
        }
        restart(after); // はい, the default, at the question
        ASSERT_EQ(dialogs.messages().size(), 1u);
        EXPECT_EQ(dialogs.messages()[0].prompt, kQuestion);
        EXPECT_EQ(form->show().folders.dataFolder, after);
        EXPECT_EQ(form->show().folders.historyFolder, after + "History/");
        const int second = book();
        EXPECT_EQ(form->game().historyLogPath(), after + oldLog.mid(before.size()));
        EXPECT_EQ(logOf(form->game().historyLogPath()), lines({first, second}));
        EXPECT_TRUE(
            test::readBytes(after + kEnvironmentFileName).contains(QFile::encodeName(after + "History/")));
        if (copied) { // the original is left as it was
            EXPECT_EQ(logOf(oldLog), lines({first}));
        }
    }
}

TEST_F(GameKeeperTest, AGameThatCannotBeKeptIsToldOnceWhenTheTurnIsOver) {
    QDir().mkpath(gameFile()); // a folder where the file should go: no write can replace it
    book(false);
    EXPECT_TRUE(dialogs.messages().empty()); // not in the middle of the turn
    untilIdle();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messages()[0].prompt.startsWith(QStringLiteral("ゲームの状態を保存できません。\r\n") + gameFile()));
    correct(75, u"Menu当り");
    book();
    EXPECT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(form->game().drawCount(), 2); // the show went on
}

} // namespace
} // namespace halvora
