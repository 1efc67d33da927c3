#include "platform/clock.h"
#include "platform/descriptors.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"
#include "platform/random.h"
#include "platform/timer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QColorDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

using Answer = std::function<void(QMessageBox&)>;

// Shows the box and answers it with `answer`; `seen` gets its title, text, icon, buttons (sorted)
// and default button.
int showBox(const QString& prompt, int style, const QString& title, QStringList& seen, Answer answer) {
    whenShown<QMessageBox>([&seen, answer](QMessageBox& box) {
        QStringList buttons;
        for (QAbstractButton* button : box.buttons())
            buttons << button->text();
        buttons.sort();
        seen = {box.windowTitle(), box.text(), QString::number(box.icon()), buttons.join(u'|'),
                box.defaultButton() ? box.defaultButton()->text() : QString()};
        answer(box);
    });
    QtDialogs dialogs;
    return dialogs.messageBox(nullptr, prompt, style, title);
}

Answer press(Qt::Key key) {
    return [key](QMessageBox& box) { QTest::keyClick(&box, key); };
}
Answer click(const QString& text) {
    return [text](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons())
            if (button->text() == text)
                return QTest::mouseClick(button, Qt::LeftButton);
        ADD_FAILURE() << "no button " << text.toStdString();
    };
}

TEST(QtDialogs, MessageBoxStyleGivesButtonsIconDefaultAndAnswer) {
    using B = QMessageBox;
    const QString yes = QStringLiteral("はい"), no = QStringLiteral("いいえ"), ok = QStringLiteral("OK"),
                  cancel = QStringLiteral("キャンセル"), yesNo = no + '|' + yes;
    struct Case {
        const char *prompt, *title;
        int style;
        Answer answer;
        int result;
        B::Icon icon;
        QString buttons, defaultButton;
    };
    const Case cases[] = {
        // The exit question has No as default, so Enter answers No; applying colours has Yes.
        {"ビンゴゲームを終了しますか。", "操作確認", 292, press(Qt::Key_Return), MsgBox::No, B::Question,
         yesNo, no},
        {"指定条件を適用しますか？", "操作確認", 36, press(Qt::Key_Return), MsgBox::Yes, B::Question, yesNo,
         yes},
        // Escape on a Yes/No box answers No; a click on はい answers Yes.
        {"q", nullptr, MsgBox::YesNo, press(Qt::Key_Escape), MsgBox::No, B::NoIcon, yesNo, yes},
        {"q", nullptr, MsgBox::YesNo, click(yes), MsgBox::Yes, B::NoIcon, yesNo, yes},
        // A failure message: OK only, no icon, program title, CR LF shown as line breaks.
        {"一行目\r\n二行目", nullptr, MsgBox::OkOnly, press(Qt::Key_Escape), MsgBox::Ok, B::NoIcon, ok, ok},
        // OK/Cancel with the error icon, and Yes/No/Cancel with the warning icon: Escape cancels.
        {"e", nullptr, 1 + MsgBox::Critical, click(cancel), MsgBox::Cancel, B::Critical, ok + '|' + cancel,
         ok},
        {"w", nullptr, 3 + MsgBox::Exclamation, press(Qt::Key_Escape), MsgBox::Cancel, B::Warning,
         yesNo + '|' + cancel, yes},
        {"i", nullptr, MsgBox::Information, press(Qt::Key_Return), MsgBox::Ok, B::Information, ok, ok},
    };
    for (const Case& c : cases) {
        const QString prompt = QString::fromUtf8(c.prompt), title = QString::fromUtf8(c.title);
        QStringList seen;
        EXPECT_EQ(showBox(prompt, c.style, title, seen, c.answer), c.result) << c.prompt;
        EXPECT_EQ(seen, QStringList({c.title ? title : kProgramTitle, QString(prompt).replace("\r\n", "\n"),
                                     QString::number(c.icon), c.buttons, c.defaultButton}));
    }
}

// The file dialog opens in the given folder with the given name, lists ".env" files whatever the case of
// the extension, and gives back the chosen path (the save dialog adds the extension) and where its name
// starts.
TEST(QtDialogs, FileDialogStartsAtFolderAndNameAndListsEnvFilesInAnyCase) {
    QTemporaryDir root;
    const QString folder = root.path() + QStringLiteral("/ビンゴ 資料/");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const char* name : {"a.env", "B.ENV", "Halvora.ini", "notes.txt"})
        ASSERT_TRUE(QFile(folder + QString::fromUtf8(name)).open(QIODevice::WriteOnly));
    FileNameRequest request{
        nullptr, {"bingo条件設定ファイル(*.ENV)", "*.env", "すべてのファイル(*.*)", "*.*"},
        1,       "新しい",
        folder,  "名前を付けて保存",
        0x1806,  "env"};
    QStringList seen;
    whenShown<QFileDialog>([&](QFileDialog& dialog) {
        auto* model = dialog.findChild<QFileSystemModel*>();
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* type = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_TRUE(model && name && type);
        QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
        while (!loaded.contains(QVariantList{folder.chopped(1)}) && loaded.wait(5000)) {
        }
        const QModelIndex dir = model->index(folder.chopped(1));
        seen = QStringList{dialog.windowTitle(), dialog.directory().path() + u'/', name->text(),
                           type->currentText()};
        for (int row = 0; row < model->rowCount(dir); ++row)
            seen << model->index(row, 0, dir).data().toString();
        QTest::keyClick(name, Qt::Key_Return);
    });
    ASSERT_TRUE(QtDialogs().getSaveFileName(request));
    std::sort(seen.begin() + 4, seen.end());
    EXPECT_EQ(seen, QStringList(
                        {request.title, folder, "新しい", "bingo条件設定ファイル(*.ENV)", "B.ENV", "a.env"}));
    EXPECT_EQ(request.file.mid(request.fileOffset), QStringLiteral("新しい.env"));
    EXPECT_EQ(request.file.left(request.fileOffset), folder);
}

// With 0x200 the open dialog lets several existing files be chosen and gives them all back.
TEST(QtDialogs, OpenDialogGivesSeveralFiles) {
    QTemporaryDir root;
    for (const char* name : {"一.mp3", "二.WAV"})
        ASSERT_TRUE(QFile(root.filePath(QString::fromUtf8(name))).open(QIODevice::WriteOnly));
    FileNameRequest request;
    request.filter = {"音楽_動画ファイル", "*.mp3;*.wav", {}, {}};
    request.initialDir = root.path();
    request.flags = 0x1000 | 0x200;
    whenShown<QFileDialog>([](QFileDialog& dialog) {
        EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFiles);
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        name->setText(QStringLiteral("\"一.mp3\" \"二.WAV\""));
        QTest::keyClick(name, Qt::Key_Return);
    });
    ASSERT_TRUE(QtDialogs().getOpenFileName(request));
    EXPECT_EQ(request.files, QStringList({root.filePath("一.mp3"), root.filePath("二.WAV")}));
}

// The picker starts from the record's colour and custom colours and answers 0x00BBGGRR on OK only.
TEST(QtDialogs, ColourPickerTakesAndGivesColourReferences) {
    for (const bool ok : {true, false}) {
        ColourRequest request;
        request.rgbResult = 0x0000FF;
        request.custColors[3] = 0x00FF00;
        QColor start, custom;
        whenShown<QColorDialog>([&](QColorDialog& dialog) {
            start = dialog.currentColor();
            custom = QColorDialog::customColor(3);
            dialog.setCurrentColor(QColor(0x12, 0x34, 0x56));
            ok ? dialog.accept() : dialog.reject();
        });
        QtDialogs dialogs;
        EXPECT_EQ(dialogs.chooseColor(request), ok);
        EXPECT_EQ(start, QColor(Qt::red));
        EXPECT_EQ(custom, QColor(Qt::green));
        EXPECT_EQ(request.rgbResult, ok ? 0x563412u : 0x0000FFu);
    }
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
    EXPECT_TRUE(std::ranges::all_of(first, [](float value) { return value >= 0.0f && value < 1.0f; }));
    EXPECT_GT(std::set<float>(first.begin(), first.end()).size(), 990u);
    EXPECT_EQ(draw(20261207), first);
    EXPECT_NE(draw(20261208), first);
}

// A closed standard descriptor is filled with /dev/null, so nothing opened later takes its place.
TEST(Process, ClosedStandardInputIsReopenedOnTheNullDevice) {
    const int saved = dup(0);
    ASSERT_GE(saved, 0);
    close(0);
    KeepStandardDescriptorsOpen();
    struct stat input {
    }, null{};
    const bool open = fstat(0, &input) == 0;
    dup2(saved, 0);
    close(saved);
    ASSERT_TRUE(open);
    ASSERT_EQ(stat("/dev/null", &null), 0);
    EXPECT_EQ(input.st_rdev, null.st_rdev);
}

} // namespace
} // namespace halvora
