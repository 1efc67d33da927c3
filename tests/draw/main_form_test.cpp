#include "main_window_fixture.h"

#include "draw/board_layout.h"
#include "game/game_file.h"
#include "platform/instance_lock.h"
#include "platform/twips.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include <sys/stat.h>

namespace halvora {
namespace {

using test::ansiLines;
using test::kDrawn;
using test::kLatest;
using test::readBytes;
using test::writeBytes;

// Every file and folder below `root`, with the bytes of each file.
QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (it.fileName() == QStringLiteral(".halvora.lock")) // held while the program runs
            continue;
        entries.insert(path.mid(root.size()), it.fileInfo().isDir() ? QByteArray("<dir>") : readBytes(path));
    }
    return entries;
}

class MainFormTest : public test::MainWindowTest {
protected:
    // Starts the program; `picks` are the random picks the draw-button icons take (of `iconCount`).
    bool start(std::initializer_list<int> picks = {1, 1, 2, 3, 4}, int iconCount = 4) {
        random.pushPicks(picks, iconCount);
        return startWindow();
    }
    // The check mark of a menu command or an option button.
    bool checked(QStringView name) const {
        if (const auto* command = form->findChild<QAction*>(name.toString()))
            return command->isChecked();
        return control<QRadioButton>(name)->isChecked();
    }
    QColor colour(QStringView name, QPalette::ColorRole role) const {
        return control(name)->palette().color(role);
    }
    // Colour at the middle of draw button b's picture (transparent where the picture is empty).
    QColor iconColour(int b) const {
        const QPushButton* button = control<QPushButton>(QStringLiteral("Command1_%1").arg(b));
        const QImage image = button->icon().pixmap(button->iconSize()).toImage();
        return image.isNull() ? QColor() : image.pixelColor(image.rect().center());
    }
    QList<QColor> icons() const { return {iconColour(0), iconColour(1), iconColour(2), iconColour(3)}; }
    void writeIni(const QStringList& lines) const {
        writeBytes(folder.file(QStringLiteral("Halvora.ini")), ansiLines(lines));
    }
};

// The first start (folder laid out, default show), then what the operator sees, types and commands.
TEST_F(MainFormTest, FirstStartIdleWindowAndItsCommands) {
    folder.addSampleMedia();
    ASSERT_TRUE(start());
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_TRUE(snapshot(userData.path()).isEmpty());
    // No timer runs while the program waits for the operator, so an idle window costs no CPU.
    EXPECT_EQ(time.runningTimers(), 0);

    // The whole screen, the program's caption, the counters, the default options, the design colours;
    // the board shows 1..75 black on the not-drawn grey.
    EXPECT_TRUE(form->isVisible() && form->geometry() == form->screen()->geometry());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Halvora(Ver 1.2.1 2011.9.26)"));
    EXPECT_EQ(QStringList({text(u"Text2"), text(u"Txt回数"), text(u"Txt参加人数"), text(u"txt予想当選者数"),
                           text(u"txtLbl予想当選者数")}),
              QStringList({"", "0", "1", "", "予想当選者数"}));
    EXPECT_TRUE(checked(u"Opt当たり数_3") && checked(u"Opt抽選時間_0") && checked(u"MenuAvランダム") &&
                checked(u"Menu写真描画ランダム"));
    auto* stop = control<QPushButton>(u"CmdStop");
    EXPECT_FALSE(stop->isVisible() || stop->isEnabled() || control(u"Pic当り発表")->isVisible() ||
                 control(u"Pic動画")->isVisible());
    EXPECT_EQ(colour(u"Text2", QPalette::Text), QColor(255, 0, 0));
    for (int n = 1; n <= 75; ++n)
        EXPECT_TRUE(box(n)->isVisible() && box(n)->text() == QString::number(n) && back(n) == test::kNotDrawn &&
                    box(n)->palette().color(QPalette::Text) == Qt::black)
            << n;

    // Opening a show from the File menu: its "手動" shows STOP at once; the colours in force stay.
    const QString manual = folder.file(QStringLiteral("手動.ENV"));
    writeBytes(manual, ansiLines({"[AV]", "a.mp3\t0\t30", "[Option]", "5", "True", "True", "0", "3", "[COLOR]",
                                  "255", "255", "255", "255", "255", "0", "0", "0", "0", "0"}));
    dialogs.answerNextFile(manual);
    trigger(u"Menu開く");
    EXPECT_TRUE(stop->isVisible());
    EXPECT_EQ(back(1), test::kNotDrawn);

    // Exit answered No changes nothing; the close box closes unasked.
    dialogs.answerNextMessage(Answer::No);
    trigger(u"menu終了");
    EXPECT_EQ(lastMessage(), QStringLiteral("ビンゴゲームを終了しますか。|question, いいえ default|操作確認"));
    EXPECT_TRUE(form->isVisible());
    dialogs.clear();
    EXPECT_TRUE(form->close() && !form->isVisible() && dialogs.messages().empty());
}

// A later start reads the files as written, keys in any case, and rewrites nothing; the draw buttons
// take the show's icons at random.
TEST_F(MainFormTest, LaterStartReadsTheChangedFilesAndPicksTheIcons) {
    QDir(folder.path()).mkpath(QStringLiteral("Shows"));
    const QString shows = folder.path() + QStringLiteral("Shows/");
    writeIni({"[file]", "datafilepath=" + shows, "FileName=夏祭り.env", "HistoryFile=" + folder.path() + "Logs/"});
    const QColor faces[4] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
    QStringList show{"[AV]", "a.mp3\t0\t30", "say \"hi\".mp3\t0\t9", "b.avi\t5\t20", "[Picture]", "[BMP]"};
    for (int i = 0; i < 4; ++i) { // a coloured square on a white face
        QImage image(40, 40, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter(&image).fillRect(QRect(5, 5, 30, 30), faces[i]);
        show << folder.file(QStringLiteral("icon%1.bmp").arg(i + 1));
        ASSERT_TRUE(image.save(show.last(), "BMP"));
    }
    show << "[Option]" << "1,200" << "False" << "True" << "1" << "3" << "[COLOR]";
    // Back: window red, panel out of range, board blue, drawn green, latest text
    show << "255" << "99999999999" << "16711680" << "65280" << "abc";
    // Fore: window white, panel yellow, board white, drawn black, latest black
    show << "16777215" << "65535" << "16777215" << "0" << "0";
    writeBytes(shows + QStringLiteral("夏祭り.env"), ansiLines(show));
    const QMap<QString, QByteArray> before = snapshot(folder.path());
    ASSERT_TRUE(start({3, 2, 2, 3, 1, 2, 4}));
    // Entries that cannot be used are named once, now, with their rows, so that no turn stops for them.
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].prompt.split(QStringLiteral("\r\n")).mid(1),
              QStringList({"音楽_動画 1行目: a.mp3（ファイルがありません）",
                           "音楽_動画 2行目: say \"hi\".mp3（ファイル名に「\"」を含むため再生できません）",
                           "音楽_動画 3行目: b.avi（ファイルがありません）"}));
    const ShowSetup& s = form->show();
    EXPECT_EQ(QStringList({s.folders.dataFolder + s.folders.conditionFileName, s.folders.historyFolder}),
              QStringList({shows + "夏祭り.env", folder.path() + "Logs/"}));
    EXPECT_EQ(snapshot(folder.path()), before);

    // Options: participants as a number, check marks, and "手動" shows the stop button (still disabled).
    const auto* stop = control<QPushButton>(u"CmdStop");
    EXPECT_TRUE(text(u"Txt参加人数") == "1200" && !checked(u"MenuAvランダム") && checked(u"Menu写真描画ランダム") &&
                checked(u"Opt当たり数_1") && checked(u"Opt抽選時間_3") && stop->isVisible() && !stop->isEnabled());

    // Colours of the file are applied; a text that names no colour keeps the control's own colour.
    // Repainting after draws: earlier draws in row 3; a latest draw whose colour is no number keeps its box.
    SavedGame played = form->game().saved();
    played.drawn[7] = played.drawn[8] = played.latest[8] = true;
    form->game().restore(played);
    const std::tuple<const char16_t*, QPalette::ColorRole, QColor> colours[] = {
        {u"MainFormClient", QPalette::Window, QColor(255, 0, 0)}, {u"Text2", QPalette::Base, QColor(0, 128, 0)},
        {u"Text2", QPalette::Text, QColor(255, 255, 0)},          {u"Text1_75", QPalette::Text, Qt::white},
        {u"Text1_7", QPalette::Base, QColor(0, 255, 0)},          {u"Text1_7", QPalette::Text, Qt::black},
        {u"Text1_8", QPalette::Base, QColor(0, 0, 255)},          {u"Text1_9", QPalette::Base, QColor(0, 0, 255)}};
    for (const auto& [name, role, expected] : colours)
        EXPECT_EQ(colour(name, role), expected) << QString::fromUtf16(name).toStdString() << " " << role;

    // Four icons: a pick of an icon already used is passed over, so the buttons get four different ones.
    EXPECT_EQ(icons(), QList<QColor>({faces[1], faces[2], faces[0], faces[3]}));

    // One icon: every button gets it.
    IconList& list = form->show().icons;
    list.count = 1;
    random.setCounting();
    form->controls().assignStartIcons(list, random);
    EXPECT_EQ(icons(), QList<QColor>(4, faces[0]));

    // Only blank names: the buttons stay as they are, and the pick does not loop for ever.
    list.count = 2;
    list.files[1] = QStringLiteral("  ");
    list.files[2] = QStringLiteral("\t");
    form->controls().assignStartIcons(list, random);
    EXPECT_EQ(icons(), QList<QColor>(4, faces[0]));
}

// A start that cannot go on says why and ends, the window never shown and nothing written anywhere (the
// root folder least of all): already running in the folder, an environment file without DataFilePath or
// unreadable (its own message first), a program folder path the system cannot give or too long.
TEST_F(MainFormTest, AStartThatCannotGoOnSaysWhyAndTouchesNothing) {
    writeIni({"[File]", "FileName=Halvora.env", "HistoryFile=" + folder.path() + "History/"});
    const QString damaged = QStringLiteral("動作環境ファイルが壊れています\r\nHalvora.ini を削除してから再立ち上げしてください。|plain|Halvora");
    const QString tooLong = QStringLiteral("プログラムのフォルダーのパスが長すぎます。");
    const std::tuple<const char*, QString, QStringList> cases[] = {
        {"running", folder.path(), {QStringLiteral("Halvora はこのフォルダーですでに起動しています。\r\n") + folder.path()}},
        {"damaged", folder.path(), {damaged}},
        {"unreadable", folder.path(), {QStringLiteral("動作環境ファイルが開けません。\r\n"), damaged}},
        {"no path", QString(), {tooLong}},
        {"too long", folder.path() + QString(4040, QLatin1Char('d')) + "/", {tooLong}}};
    InstanceLock running;
    ASSERT_TRUE(running.acquire(folder.path()));
    bool visibleAtMessage = false;
    dialogs.onMessage([&](const test::FakeDialogs::Message&) { visibleAtMessage = visibleAtMessage || form->isVisible(); });
    for (const auto& [what, programFolder, messages] : cases) {
        SCOPED_TRACE(what);
        if (QByteArray(what) == "damaged")
            running.release();
        if (QByteArray(what) == "unreadable") {
            QFile::remove(folder.file(QStringLiteral("Halvora.ini")));
            QDir(folder.path()).mkdir(QStringLiteral("Halvora.ini"));
        }
        const QMap<QString, QByteArray> before = snapshot(folder.path());
        dialogs.clear();
        form = std::make_unique<MainForm>(services, printer, programFolder, userData.path());
        EXPECT_FALSE(form->load());
        ASSERT_EQ(dialogs.messages().size(), std::size_t(messages.size()));
        for (std::size_t i = 0; i < dialogs.messages().size(); ++i)
            EXPECT_TRUE(messageText(dialogs.messages()[i]).startsWith(messages[qsizetype(i)]))
                << messageText(dialogs.messages()[i]).toStdString();
        EXPECT_FALSE(visibleAtMessage || form->isVisible());
        EXPECT_EQ(snapshot(folder.path()), before);
        EXPECT_TRUE(QDir(userData.path()).isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/Halvora.ini")));
}

// The rectangles stay on `screen` and apart once rounded to whole pixels.
void expectOnScreenAndApart(const std::vector<QRectF>& rects, const QRect& screen, double perPixel,
                            const std::string& what) {
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const QRect a = twipsToPixels(rects[i], perPixel);
        EXPECT_TRUE(screen.contains(a) && a.height() > 0) << what << ": control " << i;
        for (std::size_t j = i + 1; j < rects.size(); ++j)
            EXPECT_FALSE(a.intersects(twipsToPixels(rects[j], perPixel))) << what << ": " << i << ", " << j;
    }
}

TEST(BoardLayout, BoardOrderFontsAndEveryScreenFittedWithoutOverlap) {
    // Ten numbers a column, top to bottom, the columns left to right; the panel right of the board.
    const BoardLayout l = computeBoardLayout(15360, 11520);
    const auto& b = l.boardBoxes;
    EXPECT_TRUE(b[2].top() > b[1].bottom() && b[11].top() == b[1].top() && b[11].left() >= b[1].right() &&
                l.panel.left() >= b[75].right());

    // Fonts: the largest size whose line still fits (3 at least, 500 at most); the window's own text
    // grows with the screen from 9 points at 1080 lines.
    for (const auto& [largestFitting, fitted] : std::vector<std::pair<int, int>>{{37, 37}, {0, 3}, {9999, 500}})
        EXPECT_EQ(fitFontToHeight([&](int points) { return points <= largestFitting; }), fitted);
    for (const auto& [height, points] : std::vector<std::pair<int, int>>{{600, 9}, {1080, 9}, {1440, 12}, {2160, 18}})
        EXPECT_EQ(screenFontPoints(height), points) << height;

    // Every screen: the board, the counters, the large number, the buttons and the frames stay on it
    // and apart (the full-area picture controls lie behind the board by design), and so do the
    // controls inside a frame.
    for (const auto& [width, height, dpi] : std::vector<std::tuple<int, int, double>>{
             {1024, 768, 96}, {1366, 768, 96}, {1920, 1080, 96}, {3840, 2160, 192}, {1080, 1920, 96}}) {
        const double perPixel = twipsPerPixel(dpi);
        const BoardLayout s = computeBoardLayout(width * perPixel, height * perPixel);
        const std::string what = std::to_string(width) + "x" + std::to_string(height);
        std::vector<QRectF> rects(s.boardBoxes.begin() + 1, s.boardBoxes.end());
        rects.insert(rects.end(), {s.panel, s.counterCaption, s.participantsCaption, s.expectedWinnersCaption,
                                   s.counterBox, s.participantsBox, s.expectedWinnersBox, s.hitCountFrame,
                                   s.drawTimeFrame});
        rects.insert(rects.end(), s.drawButtons.begin(), s.drawButtons.end());
        expectOnScreenAndApart(rects, QRect(0, 0, width, height), perPixel, what);
        std::vector<QRectF> inFrame(s.drawTimeOptions.begin(), s.drawTimeOptions.end());
        inFrame.push_back(s.stopButton);
        const QRect frame(QPoint(0, 0), twipsToPixels(s.drawTimeFrame, perPixel).size());
        expectOnScreenAndApart(inFrame, frame, perPixel, what + " frame");
    }
}

const QString kQuestion = QStringLiteral("前回のゲームが終了していません。続きから再開しますか？");

class GameKeeperTest : public test::MainWindowTest {
protected:
    void SetUp() override { startSampleShow(); }
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
    // The log's lines after its header, and the lines of the numbers drawn in turn.
    static QStringList logOf(const QString& path) {
        return QString::fromLatin1(readBytes(path)).split(QStringLiteral("\r\n")).mid(1);
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
    time.advance(8000); // the board is back
    correct(first == 40 ? 41 : 40, u"Menu当り");
    correct(first, u"Menu解除");
    correct(first, u"Menu当り");
    control<QRadioButton>(u"Opt当たり数_1")->click();
    const SavedGame before = shown();
    EXPECT_EQ(kept(), before);
    EXPECT_EQ(std::pair(before.counter, before.hitCountIndex), std::pair(QStringLiteral("2"), 1));

    // The show's own participants, read at start-up, neither overwrite the kept game nor win over it.
    const QString show = form->show().folders.dataFolder + form->show().folders.conditionFileName;
    writeBytes(show, readBytes(show) + "[Option]\r\n50\r\n");
    restart();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(lastMessage(), kQuestion + QStringLiteral("|question|操作確認")); // はい is the default
    EXPECT_EQ(shown(), before);
    EXPECT_EQ(std::pair(back(first), back(first == 40 ? 41 : 40)), std::pair(kLatest, kDrawn));

    // The resumed game goes on in its own log.
    const int second = book();
    EXPECT_EQ(logOf(before.historyLog), lines({first, second}));

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
    const QByteArray keptBytes = readBytes(gameFile());
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
            writeBytes(gameFile(), file);
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
            EXPECT_TRUE(setAside.contains(name) || file.isEmpty() || readBytes(appFolder + name) == file);
        setAside = aside;
    }
}

// The rescue case: the program's folder copied to the spare computer in the middle of a game. The
// original stays where it was, so a game that kept writing there would go unnoticed but for the logs.
TEST_F(GameKeeperTest, AGameResumedInACopiedFolderGoesOnInTheNewFolder) {
    const test::ProgramFolder show;
    show.addSampleMedia();
    const QString before = show.path(), after = folder.file("Copied/");
    restart(before);
    const int first = book();
    const QString oldLog = form->game().historyLogPath();
    form->close();
    ASSERT_EQ(QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), before, after}), 0);
    restart(after); // はい, the default, at the question
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].prompt, kQuestion);
    EXPECT_EQ(QStringList({form->show().folders.dataFolder, form->show().folders.historyFolder}),
              QStringList({after, after + "History/"}));
    const int second = book();
    EXPECT_EQ(form->game().historyLogPath(), after + oldLog.mid(before.size()));
    EXPECT_EQ(logOf(form->game().historyLogPath()), lines({first, second}));
    EXPECT_TRUE(readBytes(after + kEnvironmentFileName).contains(QFile::encodeName(after + "History/")));
    EXPECT_EQ(logOf(oldLog), lines({first}));
}

TEST_F(GameKeeperTest, AGameThatCannotBeKeptIsToldOnceWhenTheTurnIsOver) {
    QDir().mkpath(gameFile()); // a folder where the file should go: no write can replace it
    book(false);
    EXPECT_TRUE(dialogs.messages().empty()); // not in the middle of the turn
    time.advance(8000); // the board is back
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messages()[0].prompt.startsWith(QStringLiteral("ゲームの状態を保存できません。\r\n") + gameFile()));
    correct(75, u"Menu当り");
    book();
    EXPECT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(form->game().drawCount(), 2); // the show went on
}

} // namespace
} // namespace halvora
