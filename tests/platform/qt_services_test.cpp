#include "platform/clock.h"
#include "platform/descriptors.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"
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

using Act = std::function<void(QMessageBox&)>;

// Shows the box and answers it with `answer`; `seen` gets its title, text, icon, buttons (sorted)
// and default button.
Answer showBox(const QString& prompt, MessageKind kind, const QString& title, QStringList& seen, Act act) {
    whenShown<QMessageBox>([&seen, act](QMessageBox& box) {
        QStringList buttons;
        for (QAbstractButton* button : box.buttons())
            buttons << button->text();
        buttons.sort();
        seen = {box.windowTitle(), box.text(), QString::number(box.icon()), buttons.join(u'|'),
                box.defaultButton() ? box.defaultButton()->text() : QString()};
        act(box);
    });
    QtDialogs dialogs;
    return dialogs.messageBox(nullptr, prompt, kind, title);
}

Act press(Qt::Key key) {
    return [key](QMessageBox& box) { QTest::keyClick(&box, key); };
}
Act click(const QString& text) {
    return [text](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons())
            if (button->text() == text)
                return QTest::mouseClick(button, Qt::LeftButton);
        ADD_FAILURE() << "no button " << text.toStdString();
    };
}

TEST(QtDialogs, MessageBoxKindGivesButtonsIconDefaultAndAnswer) {
    using B = QMessageBox;
    using K = MessageKind;
    const QString yes = QStringLiteral("はい"), no = QStringLiteral("いいえ"), ok = QStringLiteral("OK"),
                  yesNo = no + '|' + yes;
    struct Case {
        const char *prompt, *title;
        MessageKind kind;
        Act act;
        Answer result;
        B::Icon icon;
        QString buttons, defaultButton;
    };
    const Case cases[] = {
        // The exit question has いいえ as default, so Enter answers No; applying colours has はい.
        {"ビンゴゲームを終了しますか。", "操作確認", K::QuestionDefaultNo, press(Qt::Key_Return), Answer::No,
         B::Question, yesNo, no},
        {"指定条件を適用しますか？", "操作確認", K::Question, press(Qt::Key_Return), Answer::Yes, B::Question, yesNo, yes},
        // Escape answers いいえ; a click on はい answers Yes.
        {"q", nullptr, K::Question, press(Qt::Key_Escape), Answer::No, B::Question, yesNo, yes},
        {"q", nullptr, K::QuestionDefaultNo, click(yes), Answer::Yes, B::Question, yesNo, no},
        // A failure message: OK only, no icon, program title, CR LF shown as line breaks.
        {"一行目\r\n二行目", nullptr, K::Plain, press(Qt::Key_Escape), Answer::Ok, B::NoIcon, ok, ok},
        {"e", nullptr, K::Critical, press(Qt::Key_Return), Answer::Ok, B::Critical, ok, ok},
        {"w", nullptr, K::Warning, press(Qt::Key_Escape), Answer::Ok, B::Warning, ok, ok},
        {"i", nullptr, K::Information, click(ok), Answer::Ok, B::Information, ok, ok},
    };
    for (const Case& c : cases) {
        const QString prompt = QString::fromUtf8(c.prompt), title = QString::fromUtf8(c.title);
        QStringList seen;
        EXPECT_EQ(showBox(prompt, c.kind, title, seen, c.act), c.result) << c.prompt;
        EXPECT_EQ(seen, QStringList({c.title ? title : kProgramTitle, QString(prompt).replace("\r\n", "\n"),
                                     QString::number(c.icon), c.buttons, c.defaultButton}));
    }
}

// The file dialog opens in the given folder with the given name, lists ".env" files whatever the case of
// the extension, and gives back the chosen path (the save dialog adds the extension).
TEST(QtDialogs, FileDialogStartsAtFolderAndNameAndListsEnvFilesInAnyCase) {
    QTemporaryDir root;
    const QString folder = root.path() + QStringLiteral("/ビンゴ 資料/");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const char* name : {"a.env", "B.ENV", "Halvora.ini", "notes.txt"})
        ASSERT_TRUE(QFile(folder + QString::fromUtf8(name)).open(QIODevice::WriteOnly));
    FileDialogOptions options;
    options.filters = {{"bingo条件設定ファイル(*.ENV)", "*.env"}, {"すべてのファイル(*.*)", "*.*"}};
    options.name = QStringLiteral("新しい");
    options.folder = folder;
    options.title = QStringLiteral("名前を付けて保存");
    options.confirmReplace = true;
    options.defaultExtension = QStringLiteral("env");
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
    EXPECT_EQ(QtDialogs().saveFile(options), folder + QStringLiteral("新しい.env"));
    std::sort(seen.begin() + 4, seen.end());
    EXPECT_EQ(seen, QStringList(
                        {options.title, folder, "新しい", "bingo条件設定ファイル(*.ENV)", "B.ENV", "a.env"}));
}

// The open dialog can let several existing files be chosen, and gives them all back.
TEST(QtDialogs, OpenDialogGivesSeveralFiles) {
    QTemporaryDir root;
    for (const char* name : {"一.mp3", "二.WAV"})
        ASSERT_TRUE(QFile(root.filePath(QString::fromUtf8(name))).open(QIODevice::WriteOnly));
    FileDialogOptions options;
    options.filters = {{"音楽_動画ファイル", "*.mp3;*.wav"}};
    options.folder = root.path();
    options.mustExist = options.severalFiles = true;
    whenShown<QFileDialog>([](QFileDialog& dialog) {
        EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFiles);
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        name->setText(QStringLiteral("\"一.mp3\" \"二.WAV\""));
        QTest::keyClick(name, Qt::Key_Return);
    });
    EXPECT_EQ(QtDialogs().openFiles(options), QStringList({root.filePath("一.mp3"), root.filePath("二.WAV")}));
}

// The picker starts from the given colour, with no custom colours kept from an earlier pick, and
// answers on OK only.
TEST(QtDialogs, ColourPickerStartsFreshAndAnswersOnOkOnly) {
    QColorDialog::setCustomColor(3, Qt::green);
    for (const bool ok : {true, false}) {
        QColor start, custom;
        whenShown<QColorDialog>([&](QColorDialog& dialog) {
            start = dialog.currentColor();
            custom = QColorDialog::customColor(3);
            dialog.setCurrentColor(QColor(0x12, 0x34, 0x56));
            ok ? dialog.accept() : dialog.reject();
        });
        const std::optional<QColor> picked = QtDialogs().chooseColour(Qt::red);
        EXPECT_EQ(picked, ok ? std::optional<QColor>(QColor(0x12, 0x34, 0x56)) : std::nullopt);
        EXPECT_EQ(start, QColor(Qt::red));
        EXPECT_EQ(custom, QColor(Qt::black));
    }
}

// A closed standard descriptor is filled with /dev/null, so nothing opened later takes its place.
TEST(Process, ClosedStandardInputIsReopenedOnTheNullDevice) {
    const int saved = dup(0);
    ASSERT_GE(saved, 0);
    close(0);
    keepStandardDescriptorsOpen();
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
