#include "main_window_fixture.h"

#include <QApplication>
#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>

#include <set>

namespace halvora {
namespace {

using namespace Qt::StringLiterals;
using test::kNotDrawn;

class ColoursAndHelpTest : public test::MainWindowTest {
protected:
    void SetUp() override {
        folder.addSampleMedia();
        random.setCounting(); // the draw-button icons
        ASSERT_TRUE(startWindow());
    }
    // Gives the menu command; `act` runs on the dialog it opens.
    void run(QStringView command, const QString& dialogName, const std::function<void(QDialog&)>& act) {
        time.schedule(0, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (widget->objectName() == dialogName && widget->isVisible())
                    return act(*static_cast<QDialog*>(widget));
            ADD_FAILURE() << "no dialog " << dialogName.toStdString();
        });
        trigger(command);
    }
    void editColours(const std::function<void(QDialog&)>& act) { run(u"Menu画面色の編集", u"画面設定"_s, act); }
    static void click(QDialog& d, const QString& name) { d.findChild<QPushButton*>(name)->click(); }
    static QLineEdit* edit(QDialog& d, const QString& name) { return d.findChild<QLineEdit*>(name); }
};

// Each pick paints its row's part of the mock-up only, with the dialog locked while the picker is up; a
// cancelled pick and the close box change nothing, yet the window is repainted from its colours.
TEST_F(ColoursAndHelpTest, PickPaintsItsRowOfTheMockUpAndTheCloseBoxKeepsTheColours) {
    const struct {
        const char *row, *text;
        std::set<int> samples; // -1: the dialog itself
    } cases[] = {{"Cmd色指定_0", "Txt背景色_0", {-1}},
                 {"Cmd色指定_1", "Txt背景色_1", {0}},
                 {"Cmd色指定_2", "Txt背景色_2", {1, 2, 3, 4, 6, 7, 8}},
                 {"Cmd文字色_3", "Txt文字色_3", {5}},
                 {"Cmd文字色_4", "Txt文字色_4", {9}}};
    const ScreenColours before = form->show().colours;
    for (const auto& c : cases) {
        box(1)->setPalette(QPalette(Qt::red));
        const bool fore = QString::fromUtf8(c.text).contains(u"文字色"_s);
        editColours([&](QDialog& d) {
            auto colours = [&] {
                QList<QColor> seen{d.palette().color(fore ? QPalette::WindowText : QPalette::Window)};
                for (int i = 0; i < 10; ++i)
                    seen << edit(d, u"txtSample_%1"_s.arg(i))->palette().color(fore ? QPalette::Text : QPalette::Base);
                return seen;
            };
            const QList<QColor> shown = colours();
            click(d, c.row); // cancelled
            EXPECT_EQ(colours(), shown);
            dialogs.onColour([&] {
                EXPECT_FALSE(d.isEnabled() || d.findChild<QPushButton*>(u"Cmd設定適用"_s)->isEnabled());
            });
            dialogs.answerNextColour(QColor(0x12, 0x34, 0x56));
            click(d, c.row);
            dialogs.onColour({});
            EXPECT_TRUE(d.isEnabled());
            EXPECT_EQ(edit(d, QString::fromUtf8(c.text))->text(), u" 5649426"_s);
            for (int i = -1; i < 10; ++i)
                EXPECT_EQ(colours()[i + 1], c.samples.count(i) ? QColor(0x12, 0x34, 0x56) : shown[i + 1])
                    << c.row << i;
            d.close();
        });
        EXPECT_EQ(form->show().colours.backColours, before.backColours);
        EXPECT_EQ(form->show().colours.foreColours, before.foreColours);
        EXPECT_EQ(back(1), kNotDrawn) << c.row;
    }
    // The picker starts from black.
    EXPECT_EQ(dialogs.colourStarts().back(), QColor(Qt::black));
}

// "いいえ" keeps the dialog with its picks; "はい" takes both boxes of every row as they stand. A picked
// colour is saved with its leading blank and read back as the same colour; a typed text that names no
// colour keeps the colour in force.
TEST_F(ColoursAndHelpTest, AppliedTextsAreKeptSavedAndReadBack) {
    editColours([&](QDialog& d) {
        dialogs.answerNextColour(QColor(0, 0, 0xFF));
        click(d, u"Cmd色指定_2"_s);
        edit(d, u"Txt背景色_1"_s)->setText(u"青"_s);
        dialogs.answerNextMessage(Answer::No);
        click(d, u"Cmd設定適用"_s);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(edit(d, u"Txt背景色_2"_s)->text(), u" 16711680"_s);
        click(d, u"Cmd設定適用"_s); // Yes, the default
    });
    EXPECT_EQ(lastMessage(), u"指定条件を適用しますか？|question|操作確認"_s);
    ShowSetup& s = form->show();
    EXPECT_EQ(s.colours.backColours[1], u"青"_s);
    EXPECT_EQ(s.colours.backColours[2], u" 16711680"_s);
    EXPECT_EQ(back(1), QColor(Qt::blue));
    EXPECT_EQ(control(u"Text2")->palette().color(QPalette::Base), QColor(0, 128, 0));

    const QString show = s.folders.dataFolder + s.folders.conditionFileName;
    ConditionFile(dialogs, form.get(), s.av, s.pictures, s.icons, s.colours, form->controls())
        .writeConditionFile(show);
    EXPECT_TRUE(test::readBytes(show).contains("\r\n 16711680\r\n"));
    form.reset();
    ASSERT_TRUE(startWindow());
    EXPECT_EQ(form->show().colours.backColours[2], u" 16711680"_s);
    EXPECT_EQ(back(1), QColor(Qt::blue));
}

// The instructions in the program folder, read-only over the whole window.
TEST_F(ColoursAndHelpTest, HelpShowsTheInstructionsOverTheWindow) {
    test::writeBytes(folder.file(u"操作説明.txt"_s), test::ansiLines({"準備", "本番", "印刷"}));
    run(u"TxtReadme", u"操作説明"_s, [&](QDialog& viewer) {
        auto* text = viewer.findChild<QPlainTextEdit*>(u"TextHelp"_s);
        EXPECT_EQ(viewer.windowTitle() + '|' + text->toPlainText() + '|' + text->font().family() +
                      QString::number(text->font().pointSizeF()),
                  u"Readme.txt|準備\n本番\n印刷\n|ＭＳ Ｐ明朝13.5"_s);
        EXPECT_TRUE(text->isReadOnly());
        EXPECT_EQ(viewer.frameGeometry().topLeft(), form->geometry().topLeft());
        EXPECT_EQ(viewer.width(), form->width());
        viewer.close();
    });
}

} // namespace
} // namespace halvora
