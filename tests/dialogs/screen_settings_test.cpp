#include "dialogs/screen_settings.h"

#include "support/fake_dialogs.h"
#include "support/test_files.h"
#include "support/virtual_time.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace halvora {
namespace {

const QColor kPicked(0x12, 0x34, 0x56);
constexpr std::uint32_t kPickedRef = 0x563412;
const QString kPickedText = QStringLiteral(" 5649426");

class ScreenSettingsTest : public ::testing::Test {
protected:
    // Runs the dialog on the start colours; `act` runs on it once it is shown.
    void edit(const std::function<void(QDialog&)>& act) {
        time.schedule(0, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (widget->objectName() == QStringLiteral("画面設定frm") && widget->isVisible())
                    return act(*static_cast<QDialog*>(widget));
            ADD_FAILURE() << "no screen-settings dialog";
        });
        S_画面編集(nullptr, back, fore, dialogs, time);
    }
    template <typename T> static T* get(QDialog& dialog, const QString& name) {
        T* widget = dialog.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    static void click(QDialog& dialog, const QString& name) { get<QPushButton>(dialog, name)->click(); }
    static QColor sample(QDialog& dialog, int i, QPalette::ColorRole role) {
        return get<QLineEdit>(dialog, QStringLiteral("txtSample_%1").arg(i))->palette().color(role);
    }

    test::VirtualTime time;
    test::FakeDialogs dialogs;
    // Window black on black, large panel red on green, panels black on grey, drawn and latest.
    ColourRow back{"0", "32768", "4210752", "8454016", "8421631"};
    ColourRow fore{"0", "255", "0", "0", "0"};
};

// Each pick paints its row's part of the mock-up and nothing else; the dialog is locked meanwhile.
TEST_F(ScreenSettingsTest, PickPaintsItsRowOfTheMockUp) {
    struct Case {
        const char* button;
        const char* box;
        std::set<int> samples; // -1: the dialog itself
    };
    const Case cases[] = {
        {"Cmd色指定_0", "Txt背景色_0", {-1}},
        {"Cmd色指定_1", "Txt背景色_1", {0}},
        {"Cmd色指定_2", "Txt背景色_2", {1, 2, 3, 4, 6, 7, 8}},
        {"Cmd文字色_3", "Txt文字色_3", {5}},
        {"Cmd文字色_4", "Txt文字色_4", {9}},
    };
    for (const Case& c : cases) {
        const bool fore = QString::fromUtf8(c.button).startsWith(QStringLiteral("Cmd文字色"));
        const QPalette::ColorRole sampleRole = fore ? QPalette::Text : QPalette::Base;
        const QPalette::ColorRole formRole = fore ? QPalette::WindowText : QPalette::Window;
        edit([&](QDialog& d) {
            auto colours = [&] {
                QList<QColor> seen{d.palette().color(formRole)};
                for (int i = 0; i < 10; ++i)
                    seen << sample(d, i, sampleRole);
                return seen;
            };
            const QList<QColor> before = colours();
            // A cancelled pick changes nothing.
            dialogs.answerNextColour(std::nullopt);
            click(d, c.button);
            EXPECT_EQ(colours(), before) << c.button;
            dialogs.onColour([&] { EXPECT_FALSE(d.isEnabled() || get<QPushButton>(d, "Cmd設定適用")->isEnabled()); });
            dialogs.answerNextColour(kPickedRef);
            click(d, c.button);
            dialogs.onColour({});
            EXPECT_TRUE(d.isEnabled() && get<QPushButton>(d, "Cmd設定適用")->isEnabled());
            EXPECT_EQ(get<QLineEdit>(d, c.box)->text(), kPickedText);
            const QList<QColor> after = colours();
            for (int i = -1; i < 10; ++i)
                EXPECT_EQ(after[i + 1], c.samples.count(i) ? kPicked : before[i + 1]) << c.button << " " << i;
            d.close(); // the close box: nothing is taken
        });
    }
    EXPECT_EQ(back, ColourRow({"0", "32768", "4210752", "8454016", "8421631"}));
    EXPECT_EQ(fore, ColourRow({"0", "255", "0", "0", "0"}));
    // The picker starts from black, with black custom colours, tied to no window.
    const ColourRequest& request = dialogs.colourRequests().back();
    EXPECT_EQ(request.owner, nullptr);
    EXPECT_EQ(request.rgbResult, 0u);
    EXPECT_EQ(request.custColors, decltype(request.custColors){});
    EXPECT_EQ(request.flags, 0u);
}

// "いいえ" keeps the dialog with its picks; "はい" takes both boxes of every row as they stand.
TEST_F(ScreenSettingsTest, ApplyAsksFirstAndTakesTheBoxesAsTyped) {
    edit([&](QDialog& d) {
        dialogs.answerNextColour(0xFF0000);
        click(d, "Cmd色指定_2");
        get<QLineEdit>(d, "Txt文字色_1")->setText(QStringLiteral("赤"));
        dialogs.answerNextMessage(MsgBox::No);
        click(d, "Cmd設定適用");
        ASSERT_EQ(dialogs.messages().size(), 1u);
        const test::FakeDialogs::Message& m = dialogs.messages().front();
        EXPECT_EQ(m.prompt + '|' + QString::number(m.style) + '|' + m.title,
                  QStringLiteral("指定条件を適用しますか？|36|操作確認"));
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(get<QLineEdit>(d, "Txt背景色_2")->text(), QStringLiteral(" 16711680"));
        EXPECT_EQ(sample(d, 1, QPalette::Base), QColor(Qt::blue));
        click(d, "Cmd設定適用"); // Yes, the default
    });
    EXPECT_EQ(back, ColourRow({"0", "32768", " 16711680", "8454016", "8421631"}));
    EXPECT_EQ(fore, ColourRow({"0", "赤", "0", "0", "0"}));
}

} // namespace
} // namespace halvora
