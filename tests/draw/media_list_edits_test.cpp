#include "main_window_fixture.h"

#include "media/media_list_grid.h"
#include "support/key_script.h"

#include <QPushButton>

namespace halvora::test {
namespace {

class MediaListEditsTest : public MainWindowTest {
protected:
    void SetUp() override {
        folder.addSampleMedia();
        random.setCounting();
        ASSERT_TRUE(startWindow());
    }
    // Gives the edit command; while the grid is open, notes what it shows and types the script.
    void edit(QStringView command, const QString& script, int columns) {
        time.schedule(0, [this, script, columns] {
            auto* grid = dynamic_cast<MediaListGrid*>(QApplication::activeModalWidget());
            ASSERT_NE(grid, nullptr);
            minimisedMeanwhile = form->isMinimized();
            shown.clear();
            for (int r = 1; r <= 4; ++r)
                for (int c = 1; c <= columns; ++c)
                    shown << grid->cellText(r, c);
            TypeIntoGrid(*grid, script);
        });
        trigger(command);
    }
    QStringList shown; // rows 1..4 as the grid opened
    bool minimisedMeanwhile = false;
};

// Rows 1, 3 and 5 filled give three entries in that order; a row with times but no path is dropped;
// "1,5" reads as 15, letters as 0, 2.5 as 2. Entries of an earlier, longer show never reach the grid.
TEST_F(MediaListEditsTest, MusicVideoListComesBackClosedUp) {
    AvList& av = form->show().av;
    av.count = 1;
    av.files[1] = "/show/一曲目.mp3";
    av.starts[1] = 1000;
    av.playSeconds[1] = 30;
    av.files[2] = "/old/前の曲.mp3"; // left above the count by a longer show
    av.starts[2] = 7;
    edit(u"Menu音楽_動画",
         "{Down}5{Enter}20{Enter}{Enter}{Enter}1,5{Enter}abc{Enter}/m/b.avi{Enter}"
         "{Down}2.5{Enter}{Enter}{Enter}/m/\"c\".wav{Enter}{Esc}",
         3);
    EXPECT_TRUE(minimisedMeanwhile && !form->isMinimized() && form->isFullScreen());
    EXPECT_EQ(shown,
              QStringList({"1000", "30", "/show/一曲目.mp3", "0", "0", "", "0", "0", "", "0", "0", ""}));
    ASSERT_EQ(av.count, 3);
    const std::tuple<QString, int, int> expected[] = {
        {"/show/一曲目.mp3", 1000, 30}, {"/m/b.avi", 15, 0}, {"/m/\"c\".wav", 2, 0}, {"", 0, 0}};
    for (std::size_t i = 1; i <= 4; ++i)
        EXPECT_EQ(std::make_tuple(av.files[i], av.starts[i], av.playSeconds[i]), expected[i - 1]) << i;
    // Every entry that cannot be used is told once when the grid closes, with its row and why.
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messages()[0].prompt.endsWith(
        "\r\n音楽_動画 2行目: /m/b.avi（ファイルがありません）"
        "\r\n音楽_動画 3行目: /m/\"c\".wav（ファイル名に「\"」を含むため再生できません）"));
}

// What the player finds comes later; if a turn runs by then, the message waits for the turn's end
// rather than going up in front of the audience.
TEST_F(MediaListEditsTest, AnEntryFoundUnusableDuringATurnIsToldWhenTheTurnEnds) {
    media.holdProbes = true;
    media.kindOf = [](const QString&) { return MediaKind::None; };
    edit(u"Menu音楽_動画", "{Esc}", 3);
    form->controls().selectDrawTimeIndex(2);
    form->controls().drawButtons[0]->click();
    media.answerProbes();
    EXPECT_TRUE(dialogs.messages().empty());
    time.runUntil([this] { return !dialogs.messages().empty(); }, 60000, QStringLiteral("the message"));
    EXPECT_EQ(form->game().rouletteState(), RouletteState::Idle);
    EXPECT_TRUE(dialogs.messages()[0].prompt.endsWith(QStringLiteral("spm1.mp3（音楽・動画ではありません）")));
}

// The photo and icon lists close up the same way, and never show entries above their count.
TEST_F(MediaListEditsTest, PathListsComeBackClosedUp) {
    ShowSetup& s = form->show();
    for (auto [command, files, count] :
         {std::tuple(u"Menu写真", &s.pictures.files, &s.pictures.count),
          std::tuple(u"Menuアイコン", &s.icons.files, &s.icons.count)}) {
        std::copy_n(QStringList({"", "/p/a.jpg", "/p/b.jpg", "/old/c.jpg"}).begin(), 4, files->begin());
        *count = 2;
        edit(command, "{Down}{BS}{Enter}{Down}/p/d.jpg{Enter}{Esc}", 1);
        EXPECT_EQ(shown, QStringList({"/p/a.jpg", "/p/b.jpg", "", ""}));
        EXPECT_EQ(*count, 2);
        EXPECT_EQ(QStringList({(*files)[1], (*files)[2], (*files)[3]}),
                  QStringList({"/p/a.jpg", "/p/d.jpg", ""}));
    }
}

} // namespace
} // namespace halvora::test
