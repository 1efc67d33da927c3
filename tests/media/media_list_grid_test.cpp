#include "media/entry_checks.h"
#include "media/grid_modes.h"
#include "media/grid_table.h"
#include "media/media_list_grid.h"
#include "media/media_playback.h"
#include "support/fake_dialogs.h"
#include "support/key_script.h"
#include "support/media_recorder.h"
#include "support/printer_recorder.h"
#include "support/test_files.h"
#include "support/virtual_time.h"

#include <QDir>
#include <QImage>
#include <QMenu>

#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>

namespace halvora::test {
namespace {

using namespace Qt::StringLiterals;

class GridTest : public ::testing::Test {
protected:
    // Opens the list with one text per data cell, row by row from row 1.
    MediaListGrid& open(std::int16_t listKind, const QStringList& cells = {}) {
        form = std::make_unique<MediaListGrid>(listKind, GridServices{time, dialogs, printer, folder.path()});
        std::vector<QString> data{QString()};
        data.insert(data.end(), cells.begin(), cells.end());
        form->fill(data);
        form->show();
        return *form;
    }
    void at(int row, int column) const { form->grid().setCurrentCell(row - 1, column - 1); }
    void type(const QString& script) const { TypeIntoGrid(*form, script); }
    QLineEdit& editor() const { return *form->findChild<QLineEdit*>(u"txtForEdit"_s); }
    QString row(int r) const { return form->cellText(r, 1) + u'|' + form->cellText(r, 3); }
    void drop(const QList<QUrl>& urls) const {
        QMimeData mime;
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form->grid().viewport(), &enter);
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form->grid().viewport(), &drop);
    }

    VirtualTime time;
    FakeDialogs dialogs;
    PrinterRecorder printer;
    ProgramFolder folder;
    std::unique_ptr<MediaListGrid> form;
};

// Typing in the music/video list: which keys start an edit with what, how far a cell takes text,
// where Enter, Up and Down go, and that Esc in the editor keeps the cell as it was.
TEST_F(GridTest, KeyboardEditsCellsAndMoves) {
    // The cell and its text, the keys typed, the cell's text then, and the cell the cursor ends on.
    const std::tuple<int, int, const char*, QString, QString, int, int> cases[] = {
        {1, 1, "12", "{Space}34{Enter}", "312", 1, 2}, // caret at the start; three characters at most
        {1, 1, "", "abcd{Enter}", "abc", 1, 2},        // letters are kept as typed, three at most
        {200, 3, "", "x{Enter}", "x", 200, 1},
        {3, 3, "old", "new{Esc}", "old", 3, 3},
        {3, 3, "old", "n{Up}", "n", 2, 3},
        {3, 3, "old", "n{Down}", "n", 4, 3},
        {1, 3, "", QString(300, u'p') + "q{Enter}", QString(300, u'p'), 2, 1},
    };
    for (const auto& [row, column, before, keys, after, toRow, toColumn] : cases) {
        open(0);
        at(row, column);
        form->grid().item(row - 1, column - 1)->setText(QString::fromUtf8(before));
        type(keys);
        EXPECT_EQ(std::tuple(form->cellText(row, column), form->grid().currentRow() + 1,
                             form->grid().currentColumn() + 1, editor().isVisible()),
                  std::tuple(after, toRow, toColumn, false))
            << keys.left(20).toStdString();
    }
}

// Esc in the editor drops only that edit; Esc on the grid hides the window with every other edit;
// the close box keeps even the edit in progress; a dropped path longer than the editor's limit
// survives an edit; Japanese composed text starts an edit.
TEST_F(GridTest, ClosingKeepsEditsAndLongPathsAndComposedText) {
    open(1, {QString(400, u'd')});
    type("{Enter}{Enter}{Down}abc{Esc}");
    at(3, 1);
    QInputMethodEvent composed;
    composed.setCommitString(u"写真.jpg"_s);
    QCoreApplication::sendEvent(&form->grid(), &composed);
    type("{Enter}{Esc}");
    EXPECT_FALSE(form->isVisible());
    const std::vector<QString>& kept = form->editedData();
    EXPECT_EQ(QStringList({kept[1], kept[2], kept[3]}), QStringList({QString(400, u'd'), "", "写真.jpg"}));
    open(0);
    type("1{Enter}2");
    form->close();
    EXPECT_EQ(QStringList({form->editedData()[1], form->editedData()[2]}), QStringList({"1", "2"}));
}

// Dropped files, and files chosen through "ファイルを選択...", fill blank path cells in the order given:
// a drop from row 1, a choice from the current row. Other types, other places than local files and
// files beyond the last free row are left out.
TEST_F(GridTest, DroppedOrChosenFilesFillBlankPathCells) {
    QStringList allButRow2;
    for (int r = 1; r <= 200; ++r)
        allButRow2 << (r == 2 ? QString() : u"/p/%1.jpg"_s.arg(r));
    const QStringList music{"/m/新.wma", "/m/歌詞.txt", "/m/終.avi"};
    // The list and its cells; the files dropped, or chosen at a row; the paths of rows 1..4 afterwards.
    const std::tuple<std::int16_t, QStringList, QStringList, int, QStringList> cases[] = {
        {1, {"", "/p/x.jpg", " "}, {"/d/1.JPG", "/d/2.gif"}, 0, {"/d/1.JPG", "/p/x.jpg", "/d/2.gif", ""}},
        {1, {}, {"/d/notes.txt", "https://example.org/a.jpg"}, 0, {"", "", "", ""}},
        {2, {}, {"/d/アイコン.ico", "/d/a.mp3"}, 0, {"/d/アイコン.ico", "", "", ""}},
        {1, allButRow2, {"/d/a.jpg", "/d/b.jpg"}, 0, {"/p/1.jpg", "/d/a.jpg", "/p/3.jpg", "/p/4.jpg"}},
        {0, {"", "", "/m/一.mp3", "1", "2"}, music, 0, {"/m/一.mp3", "/m/新.wma", "/m/終.avi", ""}},
        {0, {"", "", "", "", "", "/m/一.mp3"}, music, 2, {"", "/m/一.mp3", "/m/新.wma", "/m/終.avi"}},
    };
    for (const auto& [listKind, cells, files, chosenAt, paths] : cases) {
        open(listKind, cells);
        if (chosenAt == 0) {
            QList<QUrl> urls;
            for (const QString& file : files)
                urls << (file.startsWith(u'/') ? QUrl::fromLocalFile(file) : QUrl(file));
            drop(urls);
        } else {
            at(chosenAt, 1);
            dialogs.answerNextFiles(files);
            form->findChild<QAction*>(u"menuファイルを選択"_s)->trigger();
        }
        const int k = listKind == 0 ? 3 : 1;
        EXPECT_EQ(QStringList({form->cellText(1, k), form->cellText(2, k), form->cellText(3, k),
                               form->cellText(4, k)}),
                  paths);
    }
}

// A path the show file cannot hold never reaches the grid, typed or dropped; the rest of a drop does.
TEST_F(GridTest, RefusesAPathTheShowFileCannotHold) {
    const QString emoji = u"/p/😀smile.jpg"_s;
    open(1, {u"/p/old.jpg"_s});
    at(1, 1);
    type("{Space}");
    editor().setText(emoji);
    type("{Enter}");
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messages()[0].prompt.contains(emoji) &&
                dialogs.messages()[0].prompt.contains(u"保存できない文字"_s));
    drop({QUrl::fromLocalFile(emoji), QUrl::fromLocalFile(u"/p/ok.jpeg"_s)});
    EXPECT_EQ(QStringList({form->cellText(1, 1), form->cellText(2, 1), form->cellText(3, 1)}),
              QStringList({"/p/old.jpg", "/p/ok.jpeg", ""}));
    EXPECT_EQ(dialogs.messages().size(), 2u);
}

// The row menu moves whole rows (start, play and path together) and keeps 200 rows.
TEST_F(GridTest, RowMenuCommands) {
    // The command, the row it is given on, and the rows that end as rows 1, 2, 3, 199 and 200 (0: blank).
    const std::tuple<const char*, int, std::array<int, 5>> cases[] = {
        {"menu上行と入替", 1, {1, 2, 3, 199, 200}}, {"menu上行と入替", 3, {1, 3, 2, 199, 200}},
        {"menu下行と入替", 200, {1, 2, 3, 199, 200}}, {"menu下行と入替", 2, {1, 3, 2, 199, 200}},
        {"menu行挿入", 1, {0, 1, 2, 198, 199}},         {"menu行挿入", 200, {1, 2, 3, 199, 0}},
        {"menu行削除", 2, {1, 3, 4, 200, 0}},           {"menu以下削除", 3, {1, 2, 0, 0, 0}},
    };
    QStringList cells;
    for (int r = 1; r <= 200; ++r)
        cells << QString::number(r) << QString() << u"r%1"_s.arg(r);
    for (const auto& [command, given, moved] : cases) {
        SCOPED_TRACE(command);
        open(0, cells);
        at(given, 2);
        QTest::keyClick(&form->grid(), Qt::Key_F4);
        EXPECT_TRUE(form->findChild<QMenu*>(u"Menu行編集"_s)->isVisible());
        form->findChild<QAction*>(QString::fromUtf8(command))->trigger();
        const int rows[] = {1, 2, 3, 199, 200};
        for (std::size_t k = 0; k < 5; ++k) // each row's start and path ("7|r7") move together
            EXPECT_EQ(row(rows[k]), moved[k] ? u"%1|r%1"_s.arg(moved[k]) : u"|"_s) << rows[k];
        EXPECT_EQ(form->grid().rowCount(), 200);
    }
}

// Ctrl+Shift+F11 prints an image of the window across a landscape page; without a printer it goes
// into a PDF the operator names.
TEST_F(GridTest, CtrlShiftF11PrintsTheWindow) {
    printer.hasPrinter = false;
    dialogs.answerNextFile(folder.file(u"一覧"_s));
    open(2);
    QTest::keyClick(&form->grid(), Qt::Key_F11, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(printer.lines.join(u';').contains(u"orientation 2;image 10 10 277 "_s));
    EXPECT_EQ(printer.lines.last(), u"end"_s);
}

// What each list takes when files are dropped or chosen: the whole extension, in any case.
TEST(EntryChecks, ListsTakeTodaysFormatsAndQuickFaultsAreToldWithListRowAndReason) {
    const std::tuple<std::int16_t, const char*, bool> cases[] = { // the list, a path, whether it takes it
        {0, "/m/cup.mp4", true}, {0, "/m/Song.FLAC", true}, {0, "/m/old.avi", true},  {0, "/m/x.jpg", false},
        {0, "/m/mp3", false},    {0, "/m.mp3/notes", false}, {1, "/p/x.jpeg", true}, {1, "/p/X.PNG", true},
        {1, "/p/a.xjpg", false}, {2, "/i/star.svg", true},  {2, "/i/star.ico", true}, {2, "/i/s.gif", true},
    };
    for (const auto& [list, path, taken] : cases)
        EXPECT_EQ(hasAcceptedExtension(QString::fromUtf8(path), gridModeFor(list).extensions), taken) << path;

    // Quick checks of the files themselves, told with each entry's list, row and reason.
    ProgramFolder folder;
    QImage photo(8, 8, QImage::Format_RGB32);
    photo.fill(Qt::red);
    ASSERT_TRUE(photo.save(folder.file("photo.png"), "PNG"));
    ASSERT_TRUE(photo.save(folder.file("renamed.jpg"), "PNG")); // read by content
    writeBytes(folder.file("notes.jpg"), "not a picture");
    writeBytes(folder.file("tune.mp3"), "whatever: the player decides");
    ASSERT_TRUE(QDir(folder.path()).mkdir("shots.jpg"));
    ASSERT_EQ(mkfifo(folder.file("pipe.mp3").toLocal8Bit().constData(), 0600), 0);
    const std::tuple<std::int16_t, const char*, std::optional<EntryFault>> faults[] = { // list, file, fault
        {1, "photo.png", std::nullopt},           {1, "renamed.jpg", std::nullopt},
        {1, "notes.jpg", EntryFault::NotPicture}, {1, "gone.jpg", EntryFault::Missing},
        {1, "shots.jpg", EntryFault::Folder},     {0, "tune.mp3", std::nullopt},
        {0, "pipe.mp3", EntryFault::Unreadable},  {1, "😀smile.jpg", EntryFault::Unstorable},
    };
    for (const auto& [list, name, fault] : faults)
        EXPECT_EQ(findQuickFault(list, folder.file(QString::fromUtf8(name))), fault) << name;

    EXPECT_EQ(describeFaultyEntries({{1, 12, "/p/b.jpg", EntryFault::Missing}}),
              QStringLiteral("次の行のファイルは、このままでは使えません。\r\n"
                             "背景画像 12行目: /p/b.jpg（ファイルがありません）"));
    const std::vector<FaultyEntry> many(25, {2, 1, "/i/x.ico", EntryFault::Missing});
    EXPECT_TRUE(describeFaultyEntries(many).endsWith(QStringLiteral("\r\nほか 5 件")));
}

// A path plays exactly as written; one holding a double quote plays as nothing.
TEST(MediaPlayback, EntriesPlayFromTheirStartAndCountWholeSeconds) {
    MediaRecorder media;
    MediaPlayback::play(media, u"/m/clip.avi "_s, 2);
    MediaPlayback::close(media, u"/m/clip.avi "_s);
    MediaPlayback::play(media, u"/m/say \"hello\".mp3"_s, 0);
    MediaPlayback::close(media, u"/m/say \"hello\".mp3"_s);
    EXPECT_EQ(media.calls(), QStringList({"open /m/clip.avi ", "seek /m/clip.avi  2", "play /m/clip.avi ",
                                          "close /m/clip.avi "}));

    // Length and position in whole seconds, halves up; a video counts in tenths first (1.449 s is 1.4).
    const std::tuple<QString, double, int> rows[] = {
        {u"m.mp3"_s, 1.5, 2},   {u"m.mp3"_s, 1.4994, 1}, {u"m.mp3"_s, 1.4996, 2},
        {u"v.avi"_s, 1.449, 1}, {u"v.avi"_s, 1.45, 2},
    };
    for (const auto& [file, seconds, whole] : rows) {
        media.setTimes(file, seconds, seconds);
        EXPECT_EQ(std::pair(MediaPlayback::length(media, file), MediaPlayback::position(media, file)),
                  std::pair(whole, whole))
            << file.toStdString() << " " << seconds;
    }
}

} // namespace
} // namespace halvora::test
