#include "main_window_fixture.h"

#include "platform/text_file.h"

#include <QApplication>
#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>

namespace halvora {
namespace {

using test::kNotDrawn;

class ColoursAndHelpTest : public test::MainWindowTest {
protected:
    void SetUp() override {
        folder.addSampleMedia();
        start();
    }
    void start() {
        random.pushPicks({1, 1, 2, 3, 4}, 4); // the draw-button icons
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
    // The colour dialog: `rowText` typed into the panel background box or picked, then applied or closed.
    void editPanelColour(std::optional<std::uint32_t> pick, const QString& typed, bool apply) {
        run(u"Menu画面色の編集", QStringLiteral("画面設定frm"), [&](QDialog& d) {
            if (pick) {
                dialogs.answerNextColour(pick);
                d.findChild<QPushButton*>(QStringLiteral("Cmd色指定_2"))->click();
            } else {
                d.findChild<QLineEdit*>(QStringLiteral("Txt背景色_2"))->setText(typed);
            }
            if (apply)
                d.findChild<QPushButton*>(QStringLiteral("Cmd設定適用"))->click();
            else
                d.close();
        });
    }
};

// The window is repainted after the dialog in every case; what was applied is saved and read back as
// the same colour, and a text that names no colour keeps the colour in force.
TEST_F(ColoursAndHelpTest, ColourCommandRepaintsAndItsTextsRoundTrip) {
    const ScreenColours before = form->state().colours;
    QPalette red = box(1)->palette();
    red.setColor(QPalette::Base, Qt::red);
    box(1)->setPalette(red);
    editPanelColour(0xFF0000, {}, false);
    EXPECT_EQ(form->state().colours.BackColors, before.BackColors);
    EXPECT_EQ(back(1), kNotDrawn);

    editPanelColour(std::nullopt, QStringLiteral("青"), true);
    EXPECT_EQ(form->state().colours.BackColors[2], QStringLiteral("青"));
    EXPECT_EQ(back(1), kNotDrawn);

    editPanelColour(0xFF0000, {}, true);
    EXPECT_EQ(form->state().colours.BackColors[2], QStringLiteral(" 16711680"));
    EXPECT_EQ(back(1), QColor(Qt::blue));

    const EnvironmentFolders& f = form->state().folders;
    const QString show = f.DataFolder + f.ConditionFileName;
    GameState& s = form->state();
    ConditionFile(dialogs, form.get(), s.av, s.pictures, s.icons, s.colours, form->controls())
        .WriteConditionFile(show);
    EXPECT_TRUE(test::readBytes(show).contains("\r\n 16711680\r\n"));
    form.reset();
    start();
    EXPECT_EQ(form->state().colours.BackColors[2], QStringLiteral(" 16711680"));
    EXPECT_EQ(back(1), QColor(Qt::blue));
}

// The instructions in the program folder, read-only over the whole window.
TEST_F(ColoursAndHelpTest, HelpShowsTheInstructionsOverTheWindow) {
    test::writeBytes(folder.file(QStringLiteral("操作説明.txt")), test::ansiLines({"準備", "本番", "印刷"}));
    run(u"TxtReadme", QStringLiteral("KavHelp"), [&](QDialog& viewer) {
        auto* text = viewer.findChild<QPlainTextEdit*>(QStringLiteral("TextHelp"));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(viewer.windowTitle(), QStringLiteral("Readme.txt"));
        EXPECT_EQ(text->toPlainText(), QStringLiteral("準備\n本番\n印刷\n"));
        EXPECT_TRUE(text->isReadOnly());
        EXPECT_EQ(text->font().family() + QString::number(text->font().pointSizeF()),
                  QStringLiteral("ＭＳ Ｐ明朝13.5"));
        EXPECT_EQ(viewer.frameGeometry().topLeft(), form->geometry().topLeft());
        EXPECT_EQ(viewer.width(), form->width());
        viewer.close();
    });
}

} // namespace
} // namespace halvora
