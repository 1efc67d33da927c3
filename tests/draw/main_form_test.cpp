#include "main_window_fixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include <cmath>

namespace halvora {
namespace {

using test::ansiLines;
using test::readBytes;
using test::writeBytes;

// Every file and folder below `root`, with the bytes of each file.
QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        entries.insert(path.mid(root.size()), it.fileInfo().isDir() ? QByteArray("<dir>") : readBytes(path));
    }
    return entries;
}

// A picture of a coloured disc on a white face.
void writeDisc(const QString& path, const QColor& colour) {
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QRect(5, 5, 30, 30));
    painter.end();
    ASSERT_TRUE(image.save(path, "BMP"));
}

class MainFormTest : public test::MainWindowTest {
protected:
    // Starts the program; `picks` are the random picks the draw-button icons take (of `iconCount`).
    bool start(std::initializer_list<int> picks = {1, 1, 2, 3, 4}, int iconCount = 4) {
        random.pushPicks(picks, iconCount);
        return startWindow();
    }
    QAction* action(const QString& name) const { return control<QAction>(name); }
    QRadioButton* option(const QString& group, int k) const {
        return control<QRadioButton>(group + QStringLiteral("_%1").arg(k));
    }
    QColor colour(const QString& name, QPalette::ColorRole role) const {
        return control(name)->palette().color(role);
    }
    // Colour at the middle of draw button b's picture (transparent where the picture is empty).
    QColor iconColour(int b, QPoint at = {}) const {
        const QPushButton* button = control<QPushButton>(QStringLiteral("Command1_%1").arg(b));
        const QImage image = button->icon().pixmap(button->iconSize()).toImage();
        if (image.isNull())
            return {};
        return image.pixelColor(at.isNull() ? image.rect().center() : at);
    }
    QString writeShow(const QString& name, const QStringList& lines) const {
        writeBytes(folder.file(name), ansiLines(lines));
        return folder.file(name);
    }
    void writeIni(const QStringList& lines) const { writeShow(QStringLiteral("Halvora.ini"), lines); }
};

TEST_F(MainFormTest, FirstStartLaysOutTheProgramFolderAndReadsTheDefaultShow) {
    folder.addSampleMedia();
    ASSERT_TRUE(start());
    EXPECT_TRUE(dialogs.messages().empty());

    const QString app = folder.path();
    EXPECT_EQ(readBytes(folder.file(QStringLiteral("Halvora.ini"))),
              ansiLines({"[File]", "DataFilePath=" + app, "FileName=Halvora.env", "HistoryFile=" + app + "History/"}));
    const QString sample = app + QStringLiteral("Sample/");
    EXPECT_EQ(readBytes(folder.file(QStringLiteral("Halvora.env"))),
              ansiLines({"[AV]", sample + "spm1.mp3\t0\t4", "[Picture]", sample + "SPG1.jpg", sample + "SPG2.jpg",
                         "[BMP]", sample + "スタート1.bmp", sample + "スタート2.bmp", sample + "スタート3.bmp",
                         sample + "スタート4.bmp"}));
    EXPECT_TRUE(QFileInfo(folder.file(QStringLiteral("History"))).isDir());
    for (const QString& name : test::sampleMediaNames()) {
        EXPECT_FALSE(QFileInfo::exists(folder.file(name))) << name.toStdString();
        EXPECT_TRUE(QFileInfo(sample + name).isFile()) << name.toStdString();
    }
    const GameState& s = form->state();
    EXPECT_EQ(s.av.AvCount, 1);
    EXPECT_EQ(s.pictures.PictureCount, 2);
    EXPECT_EQ(s.icons.IconCount, 4);
    EXPECT_TRUE(snapshot(userData.path()).isEmpty());
}

TEST_F(MainFormTest, IdleWindowRightAfterStartUp) {
    folder.addSampleMedia();
    ASSERT_TRUE(start());

    // The window takes the whole screen, with the caption of the program.
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Halvora(Ver 1.2.1 2011.9.26)"));
    EXPECT_EQ(form->geometry(), form->screen()->geometry());

    // Texts: the numbers 1..75 on the board, the counters, an empty large display.
    for (int n = 1; n <= 75; ++n)
        EXPECT_EQ(box(n)->text(), QString::number(n));
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("Text2"))->text(), QString());
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("Txt回数"))->text(), QStringLiteral("0"));
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("Txt参加人数"))->text(), QStringLiteral("1"));
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("txt予想当選者数"))->text(), QString());
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("txtLbl予想当選者数"))->text(), QStringLiteral("予想当選者数"));

    // Options, check marks and the stop button.
    EXPECT_EQ(option(QStringLiteral("Opt当たり数"), 3)->text(), QStringLiteral("１つ"));
    EXPECT_TRUE(option(QStringLiteral("Opt当たり数"), 3)->isChecked());
    EXPECT_EQ(option(QStringLiteral("Opt抽選時間"), 0)->text(), QStringLiteral("自動"));
    EXPECT_TRUE(option(QStringLiteral("Opt抽選時間"), 0)->isChecked());
    EXPECT_TRUE(action(QStringLiteral("MenuAvランダム"))->isChecked());
    EXPECT_TRUE(action(QStringLiteral("Menu写真描画ランダム"))->isChecked());
    const auto* stop = control<QPushButton>(QStringLiteral("CmdStop"));
    EXPECT_FALSE(stop->isVisible());
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_FALSE(control(QStringLiteral("Pic当り発表"))->isVisible());
    EXPECT_FALSE(control(QStringLiteral("Pic動画"))->isVisible());

    // Colours: the design colours, every board box in the row of numbers not drawn, one font size.
    const ScreenColours& c = form->state().colours;
    EXPECT_EQ(c.BackColors, (std::array<QString, 5>{"0", "32768", "4210752", "8454016", "8421631"}));
    EXPECT_EQ(c.ForeColors, (std::array<QString, 5>{"0", "255", "0", "0", "0"}));
    EXPECT_EQ(colour(QStringLiteral("Text2"), QPalette::Base), QColor(0, 128, 0));
    EXPECT_EQ(colour(QStringLiteral("Text2"), QPalette::Text), QColor(255, 0, 0));
    for (int n = 1; n <= 75; ++n) {
        EXPECT_TRUE(box(n)->isVisible());
        EXPECT_EQ(back(n), test::kNotDrawn) << n;
        EXPECT_EQ(box(n)->palette().color(QPalette::Text), QColor(Qt::black)) << n;
        EXPECT_EQ(box(n)->font().pointSize(), box(1)->font().pointSize()) << n;
    }
    EXPECT_GT(box(1)->font().pointSize(), 9);

    // The program waits for the operator: no timer runs, so an idle window costs no CPU.
    EXPECT_EQ(time.runningTimers(), 0);
}

TEST_F(MainFormTest, LaterStartReadsTheChangedFiles) {
    QDir(folder.path()).mkpath(QStringLiteral("Shows"));
    const QString shows = folder.path() + QStringLiteral("Shows/");
    writeIni({"[file]", "datafilepath=" + shows, "FileName=夏祭り.env", "HistoryFile=" + folder.path() + "Logs/"});
    writeBytes(shows + QStringLiteral("夏祭り.env"),
               ansiLines({"[AV]", "a.mp3\t0\t30", "b.avi\t5\t20", "[Picture]", "[BMP]", "[Option]", "1,200", "False",
                          "True", "1", "3", "[COLOR]",
                          // Back: window red, Text2 out of range, board blue, drawn green, latest text
                          "255", "99999999999", "16711680", "65280", "abc",
                          // Fore: window white, Text2 yellow, board white, drawn black, latest black
                          "16777215", "65535", "16777215", "0", "0"}));
    const QMap<QString, QByteArray> before = snapshot(folder.path());
    ASSERT_TRUE(start({}, 1));
    EXPECT_TRUE(dialogs.messages().empty());

    // Folders and lists come from the files as written; nothing is rewritten.
    const GameState& s = form->state();
    EXPECT_EQ(s.folders.DataFolder, shows);
    EXPECT_EQ(s.folders.ConditionFileName, QStringLiteral("夏祭り.env"));
    EXPECT_EQ(s.folders.HistoryFolder, folder.path() + QStringLiteral("Logs/"));
    EXPECT_EQ(s.av.AvCount, 2);
    EXPECT_EQ(s.av.AvFile[2], QStringLiteral("b.avi"));
    EXPECT_EQ(s.icons.IconCount, 0);
    EXPECT_EQ(snapshot(folder.path()), before);

    // Options: participants as a number, check marks, and "手動" shows the stop button (still disabled).
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("Txt参加人数"))->text(), QStringLiteral("1200"));
    EXPECT_FALSE(action(QStringLiteral("MenuAvランダム"))->isChecked());
    EXPECT_TRUE(action(QStringLiteral("Menu写真描画ランダム"))->isChecked());
    EXPECT_TRUE(option(QStringLiteral("Opt当たり数"), 1)->isChecked());
    EXPECT_FALSE(option(QStringLiteral("Opt当たり数"), 3)->isChecked());
    EXPECT_TRUE(option(QStringLiteral("Opt抽選時間"), 3)->isChecked());
    const auto* stop = control<QPushButton>(QStringLiteral("CmdStop"));
    EXPECT_TRUE(stop->isVisible());
    EXPECT_FALSE(stop->isEnabled());

    // Colours of the file are applied; a text that names no colour keeps the control's own colour.
    EXPECT_EQ(colour(QStringLiteral("MainFormClient"), QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(colour(QStringLiteral("Text2"), QPalette::Base), QColor(0, 128, 0));
    EXPECT_EQ(colour(QStringLiteral("Text2"), QPalette::Text), QColor(255, 255, 0));
    EXPECT_EQ(box(75)->palette().color(QPalette::Base), QColor(0, 0, 255));
    EXPECT_EQ(box(75)->palette().color(QPalette::Text), QColor(255, 255, 255));

    // Repainting after draws: earlier draws in row 3; a latest draw whose colour is no number keeps its box.
    GameState& g = form->state();
    g.DrawnFlag[7] = g.DrawnFlag[8] = 1;
    g.LatestFlag[8] = 1;
    form->ApplyBoardColours();
    EXPECT_EQ(box(7)->palette().color(QPalette::Base), QColor(0, 255, 0));
    EXPECT_EQ(box(7)->palette().color(QPalette::Text), QColor(Qt::black));
    EXPECT_EQ(box(8)->palette().color(QPalette::Base), QColor(0, 0, 255));
    EXPECT_EQ(box(9)->palette().color(QPalette::Base), QColor(0, 0, 255));
}

TEST_F(MainFormTest, UnusableEnvironmentEndsTheStartWithoutTouchingTheFolder) {
    folder.addSampleMedia();
    // No DataFilePath line: the file is damaged.
    writeIni({"[File]", "FileName=Halvora.env", "HistoryFile=" + folder.path() + "History/"});
    const QMap<QString, QByteArray> before = snapshot(folder.path());
    bool visibleAtMessage = true;
    dialogs.onMessage([&](const test::FakeDialogs::Message&) { visibleAtMessage = form->isVisible(); });

    EXPECT_FALSE(start({}));
    ASSERT_EQ(dialogs.messages().size(), 1u);
    const test::FakeDialogs::Message& m = dialogs.messages()[0];
    EXPECT_EQ(m.prompt, QStringLiteral("動作環境ファイルが壊れています\r\nHalvora.ini を削除してから再立ち上げしてください。"));
    EXPECT_EQ(m.style, MsgBox::OkOnly);
    EXPECT_EQ(m.title, QStringLiteral("Halvora"));
    EXPECT_FALSE(visibleAtMessage);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(snapshot(folder.path()), before);
    EXPECT_EQ(random.drawn(), 0);
    EXPECT_EQ(time.runningTimers(), 0);

    // An environment file that cannot be read at all: its own message first, then the same end.
    QFile::remove(folder.file(QStringLiteral("Halvora.ini")));
    QDir(folder.path()).mkdir(QStringLiteral("Halvora.ini"));
    const QMap<QString, QByteArray> withFolder = snapshot(folder.path());
    dialogs.onMessage({});
    dialogs.clear();
    EXPECT_FALSE(start({}));
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_TRUE(dialogs.messages()[0].prompt.startsWith(QStringLiteral("動作環境ファイルが開けません。\r\n")));
    EXPECT_TRUE(dialogs.messages()[1].prompt.startsWith(QStringLiteral("動作環境ファイルが壊れています")));
    EXPECT_EQ(snapshot(folder.path()), withFolder);
}

TEST_F(MainFormTest, DrawButtonsGetRandomIconsWithoutRepeats) {
    const QColor colours[4] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
    QStringList show{"[AV]", "[BMP]"};
    for (int i = 0; i < 4; ++i) {
        const QString path = folder.file(QStringLiteral("icon%1.bmp").arg(i + 1));
        writeDisc(path, colours[i]);
        show << path;
    }
    writeIni({"[File]", "DataFilePath=" + folder.path(), "FileName=show.env", "HistoryFile=" + folder.path()});
    writeShow(QStringLiteral("show.env"), show);

    // Four icons: a pick of an icon already used is passed over, so the buttons get four different ones.
    ASSERT_TRUE(start({3, 2, 2, 3, 1, 2, 4}));
    EXPECT_EQ(random.remaining(), 0);
    EXPECT_EQ(iconColour(0), colours[1]);
    EXPECT_EQ(iconColour(1), colours[2]);
    EXPECT_EQ(iconColour(2), colours[0]);
    EXPECT_EQ(iconColour(3), colours[3]);
    // The white face of a bitmap is left out, so the button shows through.
    EXPECT_EQ(iconColour(0, QPoint(1, 1)).alpha(), 0);

    // One icon: every button gets it.
    IconList& icons = form->state().icons;
    icons.IconCount = 1;
    random.setFallback(0.5f);
    form->AssignStartIcons();
    for (int b = 0; b < 4; ++b)
        EXPECT_EQ(iconColour(b), colours[0]) << b;

    // A picture that cannot be loaded leaves the buttons bare.
    icons.IconFile[1] = folder.file(QStringLiteral("missing.bmp"));
    form->AssignStartIcons();
    for (int b = 0; b < 4; ++b)
        EXPECT_FALSE(iconColour(b).isValid()) << b;

    // Only blank names: the buttons stay as they are, and the pick does not loop for ever.
    icons.IconFile[1] = folder.file(QStringLiteral("icon2.bmp"));
    form->AssignStartIcons();
    icons.IconCount = 2;
    icons.IconFile[1] = QStringLiteral("  ");
    icons.IconFile[2] = QStringLiteral("\t");
    form->AssignStartIcons();
    for (int b = 0; b < 4; ++b)
        EXPECT_EQ(iconColour(b), colours[1]) << b;

    // No icons: nothing is picked.
    icons.IconCount = 0;
    const int drawn = random.drawn();
    form->AssignStartIcons();
    EXPECT_EQ(random.drawn(), drawn);
}

TEST_F(MainFormTest, RandomPickReadsSixDecimalsOfTheNumber) {
    form = std::make_unique<MainForm>(services, folder.path(), userData.path());
    // 0.5 -> 500000; the largest number below 1 -> 999999; 0.000009 -> 000009; 0 -> 0.
    for (const float r : {0.5f, std::nextafter(1.0f, 0.0f), 9e-6f, 0.0f, 0.1234567f})
        random.push(r);
    EXPECT_EQ(form->F_選出数字(75), 500000 % 75 + 1);
    EXPECT_EQ(form->F_選出数字(75), 999999 % 75 + 1);
    EXPECT_EQ(form->F_選出数字(75), 10);
    EXPECT_EQ(form->F_選出数字(4), 1);
    EXPECT_EQ(form->F_選出数字(1000), 457);
    // Every pick of a range comes out of some number.
    for (int pick : {1, 37, 75})
        random.push(test::valueForPick(pick, 75));
    EXPECT_EQ(form->F_選出数字(75), 1);
    EXPECT_EQ(form->F_選出数字(75), 37);
    EXPECT_EQ(form->F_選出数字(75), 75);
}

TEST_F(MainFormTest, ExitVersionAndTheCloseBox) {
    folder.addSampleMedia();
    ASSERT_TRUE(start());
    form->state().DrawnFlag[12] = 1;

    // Exit answered No: nothing changes.
    dialogs.answerNextMessage(MsgBox::No);
    action(QStringLiteral("menu終了"))->trigger();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].prompt, QStringLiteral("ビンゴゲームを終了しますか。"));
    EXPECT_EQ(dialogs.messages()[0].title, QStringLiteral("操作確認"));
    EXPECT_EQ(dialogs.messages()[0].style, MsgBox::YesNo | MsgBox::Question | MsgBox::DefaultButton2);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->state().DrawnFlag[12], 1);

    // Version: the caption of the window.
    action(QStringLiteral("Menuバージョン"))->trigger();
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[1].prompt, form->windowTitle());
    EXPECT_EQ(dialogs.messages()[1].style, MsgBox::OkOnly);
    EXPECT_EQ(dialogs.messages()[1].title, QStringLiteral("Halvora"));

    // Exit answered Yes: the window closes.
    dialogs.answerNextMessage(MsgBox::Yes);
    action(QStringLiteral("menu終了"))->trigger();
    EXPECT_FALSE(form->isVisible());

    // The close box closes without a question.
    dialogs.clear();
    form->show();
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(MainFormTest, OnlyTheParticipantsCanBeTyped) {
    folder.addSampleMedia();
    ASSERT_TRUE(start());
    for (QLineEdit* edit : {box(1), box(75), control<QLineEdit>(QStringLiteral("Text2"))}) {
        const QString before = edit->text();
        QTest::keyClicks(edit, QStringLiteral("99"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        EXPECT_EQ(edit->text(), before) << edit->objectName().toStdString();
    }
    auto* participants = control<QLineEdit>(QStringLiteral("Txt参加人数"));
    participants->selectAll();
    QTest::keyClicks(participants, QStringLiteral("250"));
    EXPECT_EQ(participants->text(), QStringLiteral("250"));
}

} // namespace
} // namespace halvora
