#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"
#include "platform/random.h"
#include "platform/timer.h"
#include "support/test_files.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace halvora {
namespace {

// Acts on the first visible top-level dialog of type T once the modal loop runs.
template <typename T> void whenShown(std::function<void(T&)> act) {
    QTimer::singleShot(0, qApp, [act = std::move(act)] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<T*>(widget); dialog && dialog->isVisible())
                return act(*dialog);
        ADD_FAILURE() << "no dialog was shown";
    });
}

struct BoxSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
};

// Shows the box, notes what it looks like and answers it with `answer`.
int showBox(const QString& prompt, int style, const QString& title, BoxSeen& seen,
            std::function<void(QMessageBox&)> answer) {
    whenShown<QMessageBox>([&seen, answer](QMessageBox& box) {
        seen.title = box.windowTitle();
        seen.text = box.text();
        seen.icon = box.icon();
        for (QAbstractButton* button : box.buttons())
            seen.buttons << button->text();
        seen.buttons.sort();
        seen.defaultButton = box.defaultButton() ? box.defaultButton()->text() : QString();
        answer(box);
    });
    QtDialogs dialogs;
    return dialogs.messageBox(nullptr, prompt, style, title);
}

void pressEnter(QMessageBox& box) {
    QTest::keyClick(&box, Qt::Key_Return);
}
void pressEscape(QMessageBox& box) {
    QTest::keyClick(&box, Qt::Key_Escape);
}
std::function<void(QMessageBox&)> click(const QString& text) {
    return [text](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons())
            if (button->text() == text)
                return QTest::mouseClick(button, Qt::LeftButton);
        ADD_FAILURE() << "no button " << text.toStdString();
    };
}

TEST(QtDialogs, MessageBoxStyleGivesButtonsIconDefaultAndAnswer) {
    const QString yes = QStringLiteral("はい"), no = QStringLiteral("いいえ"), ok = QStringLiteral("OK"),
                  cancel = QStringLiteral("キャンセル");
    BoxSeen seen;
    // The exit question: Yes/No, question icon, No as default; Enter answers No.
    EXPECT_EQ(showBox(QStringLiteral("ビンゴゲームを終了しますか。"), 292, QStringLiteral("操作確認"), seen,
                      pressEnter),
              MsgBox::No);
    EXPECT_EQ(seen.title, QStringLiteral("操作確認"));
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QStringList({no, yes}));
    EXPECT_EQ(seen.defaultButton, no);

    // Apply colours: Yes is the default.
    seen = {};
    EXPECT_EQ(
        showBox(QStringLiteral("指定条件を適用しますか？"), 36, QStringLiteral("操作確認"), seen, pressEnter),
        MsgBox::Yes);
    EXPECT_EQ(seen.defaultButton, yes);

    // Escape on a Yes/No box answers No; a click on はい answers Yes.
    EXPECT_EQ(showBox(QStringLiteral("q"), MsgBox::YesNo, {}, seen, pressEscape), MsgBox::No);
    EXPECT_EQ(showBox(QStringLiteral("q"), MsgBox::YesNo, {}, seen, click(yes)), MsgBox::Yes);

    // A failure message: OK only, no icon, program title, CR LF shown as line breaks.
    seen = {};
    EXPECT_EQ(showBox(QStringLiteral("一行目\r\n二行目"), MsgBox::OkOnly, {}, seen, pressEscape), MsgBox::Ok);
    EXPECT_EQ(seen.title, kProgramTitle);
    EXPECT_EQ(seen.text, QStringLiteral("一行目\n二行目"));
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QStringList({ok}));

    // OK/Cancel with the error icon, and Yes/No/Cancel with the warning icon: Escape cancels.
    seen = {};
    EXPECT_EQ(showBox(QStringLiteral("e"), 1 + MsgBox::Critical, {}, seen, click(cancel)), MsgBox::Cancel);
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QStringList({ok, cancel}));
    seen = {};
    EXPECT_EQ(showBox(QStringLiteral("w"), 3 + MsgBox::Exclamation, {}, seen, pressEscape), MsgBox::Cancel);
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QStringList({no, yes, cancel}));
    seen = {};
    EXPECT_EQ(showBox(QStringLiteral("i"), MsgBox::Information, {}, seen, pressEnter), MsgBox::Ok);
    EXPECT_EQ(seen.icon, QMessageBox::Information);
}

TEST(QtDialogs, FileDialogReportsThePathAndWhereTheNameStarts) {
    test::ProgramFolder folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("設定")));
    const QString dir = folder.file(QStringLiteral("設定"));
    test::writeBytes(dir + QStringLiteral("/ショー.ENV"), "[AV]\r\n");
    FileNameRequest request;
    request.filter = {QStringLiteral("bingo条件設定ファイル(*.ENV)"), QStringLiteral("*.env"),
                      QStringLiteral("すべてのファイル(*.*)"), QStringLiteral("*.*")};
    request.file = QStringLiteral("ショー.ENV");
    request.initialDir = dir;
    request.title = QStringLiteral("ビンゴ設定情報を読み込み");
    request.flags = 0x81804;
    QStringList filters;
    QString title;
    whenShown<QFileDialog>([&](QFileDialog& dialog) {
        filters = dialog.nameFilters();
        title = dialog.windowTitle();
        static_cast<QDialog&>(dialog).accept(); // QFileDialog's own accept takes the chosen name
    });
    QtDialogs dialogs;
    ASSERT_TRUE(dialogs.getOpenFileName(request));
    EXPECT_EQ(filters, QStringList({QStringLiteral("bingo条件設定ファイル(*.ENV) (*.env)"),
                                    QStringLiteral("すべてのファイル(*.*) (*.*)")}));
    EXPECT_EQ(title, QStringLiteral("ビンゴ設定情報を読み込み"));
    EXPECT_EQ(request.file, dir + QStringLiteral("/ショー.ENV"));
    EXPECT_EQ(request.file.mid(request.fileOffset), QStringLiteral("ショー.ENV"));

    // Cancelled: false, the request's name is left alone.
    request.file = QStringLiteral("ショー.ENV");
    whenShown<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(dialogs.getSaveFileName(request));
    EXPECT_EQ(request.file, QStringLiteral("ショー.ENV"));
}

TEST(QtDialogs, ColourPickerAnswersInBlueGreenRedOrder) {
    ColourRequest request;
    request.custColors[1] = 0x00332211;
    QColor customSeen;
    whenShown<QColorDialog>([&](QColorDialog& dialog) {
        customSeen = QColorDialog::customColor(1);
        dialog.setCurrentColor(QColor(0x12, 0x34, 0x56));
        dialog.accept();
    });
    QtDialogs dialogs;
    ASSERT_TRUE(dialogs.chooseColor(request));
    EXPECT_EQ(customSeen, QColor(0x11, 0x22, 0x33));
    EXPECT_EQ(request.rgbResult, 0x00563412u);

    whenShown<QColorDialog>([](QColorDialog& dialog) { dialog.reject(); });
    request.rgbResult = 7;
    EXPECT_FALSE(dialogs.chooseColor(request));
    EXPECT_EQ(request.rgbResult, 7u);
}

TEST(QtServices, RealWaitBlocksInTheEventLoopUntilTheInstant) {
    SystemClock clock;
    QtEventPump pump(clock);
    QtTimerFactory factory;
    auto timer = factory.createTimer();
    int ticks = 0;
    timer->setHandler([&] { ++ticks; });
    timer->setInterval(10);
    timer->setEnabled(true);
    bool posted = false;
    QMetaObject::invokeMethod(
        qApp, [&] { posted = true; }, Qt::QueuedConnection);
    const QDateTime instant = clock.now().addMSecs(30);
    pump.waitUntil(instant);
    EXPECT_GE(clock.now(), instant);
    EXPECT_TRUE(posted);
    EXPECT_GE(ticks, 1);

    // A stopped timer stays silent through the next wait.
    timer->setEnabled(false);
    const int ticksWhenStopped = ticks;
    pump.waitUntil(clock.now().addMSecs(25));
    EXPECT_EQ(ticks, ticksWhenStopped);
}

TEST(QtServices, MersenneRandomStaysBelowOneAndFollowsItsSeed) {
    MersenneRandom random;
    auto draw = [&](std::uint64_t seed) {
        random.seed(seed);
        std::vector<float> values;
        for (int i = 0; i < 1000; ++i)
            values.push_back(random.next());
        return values;
    };
    const std::vector<float> first = draw(20261207);
    for (float value : first) {
        EXPECT_GE(value, 0.0f);
        EXPECT_LT(value, 1.0f);
    }
    EXPECT_GT(std::set<float>(first.begin(), first.end()).size(), 990u);
    EXPECT_EQ(draw(20261207), first);
    EXPECT_NE(draw(20261208), first);
}

} // namespace
} // namespace halvora
