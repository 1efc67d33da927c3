#include "platform/descriptors.h"
#include "platform/dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

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

// Answers the box with Enter, Escape or a letter key, or by clicking the button of that text.
void answer(QMessageBox& box, const QString& how) {
    if (how == QStringLiteral("Enter") || how == QStringLiteral("Esc"))
        return QTest::keyClick(&box, how == QStringLiteral("Enter") ? Qt::Key_Return : Qt::Key_Escape);
    if (how.size() == 1)
        return QTest::keyClick(&box, how.at(0).toLatin1());
    for (QAbstractButton* button : box.buttons())
        if (button->text() == how)
            return QTest::mouseClick(button, Qt::LeftButton);
    ADD_FAILURE() << "no button " << how.toStdString();
}

TEST(QtDialogs, MessageBoxKindGivesButtonsIconDefaultAndAnswer) {
    using B = QMessageBox;
    using K = MessageKind;
    const QString yes = QStringLiteral("はい(&Y)"), no = QStringLiteral("いいえ(&N)"), ok = QStringLiteral("OK"),
                  yesNo = no + '|' + yes;
    const struct {
        const char *prompt, *title;
        MessageKind kind;
        const char* how;
        Answer result;
        B::Icon icon;
        QString buttons, defaultButton;
    } cases[] = {
        // The exit question has いいえ as default, so Enter answers No; applying colours has はい.
        {"ビンゴゲームを終了しますか。", "操作確認", K::QuestionDefaultNo, "Enter", Answer::No, B::Question,
         yesNo, no},
        {"指定条件を適用しますか？", "操作確認", K::Question, "Enter", Answer::Yes, B::Question, yesNo, yes},
        {"q", nullptr, K::Question, "Esc", Answer::No, B::Question, yesNo, yes},
        {"q", nullptr, K::QuestionDefaultNo, "はい(&Y)", Answer::Yes, B::Question, yesNo, no},
        // Y and N answer without Alt.
        {"q", nullptr, K::QuestionDefaultNo, "y", Answer::Yes, B::Question, yesNo, no},
        {"q", nullptr, K::Question, "n", Answer::No, B::Question, yesNo, yes},
        // A failure message: OK only, no icon, program title, CR LF shown as line breaks.
        {"一行目\r\n二行目", nullptr, K::Plain, "Esc", Answer::Ok, B::NoIcon, ok, ok},
        {"e", nullptr, K::Critical, "Enter", Answer::Ok, B::Critical, ok, ok},
        {"w", nullptr, K::Warning, "Esc", Answer::Ok, B::Warning, ok, ok},
        {"i", nullptr, K::Information, "OK", Answer::Ok, B::Information, ok, ok},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prompt);
        const QString prompt = QString::fromUtf8(c.prompt), title = QString::fromUtf8(c.title);
        QStringList seen; // title, text, icon, buttons (sorted), default button
        whenShown<QMessageBox>([&](QMessageBox& box) {
            QStringList buttons;
            for (QAbstractButton* button : box.buttons())
                buttons << button->text();
            buttons.sort();
            seen = {box.windowTitle(), box.text(), QString::number(box.icon()), buttons.join(u'|'),
                    box.defaultButton() ? box.defaultButton()->text() : QString()};
            answer(box, QString::fromUtf8(c.how));
        });
        EXPECT_EQ(QtDialogs().messageBox(nullptr, prompt, c.kind, title), c.result);
        EXPECT_EQ(seen, QStringList({c.title ? title : kProgramTitle, QString(prompt).replace("\r\n", "\n"),
                                     QString::number(c.icon), c.buttons, c.defaultButton}));
    }
}

// The save dialog opens in the given folder with the given name, lists ".env" files whatever the case
// of the extension, and adds the extension to the name chosen. The open dialog can give several files.
TEST(QtDialogs, FileDialogsStartAtFolderAndNameListEnvFilesInAnyCaseAndGiveThePaths) {
    QTemporaryDir root;
    const QString folder = root.path() + QStringLiteral("/ビンゴ 資料/");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const char* name : {"a.env", "B.ENV", "Halvora.ini", "一.mp3", "二.WAV"})
        ASSERT_TRUE(QFile(folder + QString::fromUtf8(name)).open(QIODevice::WriteOnly));
    FileDialogOptions save;
    save.title = QStringLiteral("名前を付けて保存");
    save.folder = folder;
    save.name = QStringLiteral("新しい");
    save.filters = {{"bingo条件設定ファイル(*.ENV)", "*.env"}, {"すべてのファイル(*.*)", "*.*"}};
    save.confirmReplace = true;
    save.defaultExtension = QStringLiteral("env");
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
        seen = {dialog.windowTitle(), dialog.directory().path() + u'/', name->text(), type->currentText()};
        for (int row = 0; row < model->rowCount(dir); ++row)
            seen << model->index(row, 0, dir).data().toString();
        QTest::keyClick(name, Qt::Key_Return);
    });
    EXPECT_EQ(QtDialogs().saveFile(save), folder + QStringLiteral("新しい.env"));
    std::sort(seen.begin() + 4, seen.end());
    EXPECT_EQ(seen,
              QStringList({save.title, folder, "新しい", "bingo条件設定ファイル(*.ENV)", "B.ENV", "a.env"}));

    FileDialogOptions open;
    open.folder = folder;
    open.filters = {{"音楽_動画ファイル", "*.mp3;*.wav"}};
    open.mustExist = open.severalFiles = true;
    whenShown<QFileDialog>([](QFileDialog& dialog) {
        EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFiles);
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        name->setText(QStringLiteral("\"一.mp3\" \"二.WAV\""));
        QTest::keyClick(name, Qt::Key_Return);
    });
    EXPECT_EQ(QtDialogs().openFiles(open), QStringList({folder + "一.mp3", folder + "二.WAV"}));
}

// The picker starts from the given colour, with no custom colours kept from an earlier pick, and
// answers on OK only.
TEST(QtDialogs, ColourPickerStartsFreshAndAnswersOnOkOnly) {
    for (const bool ok : {true, false}) {
        QColorDialog::setCustomColor(3, Qt::green);
        QColor start, custom;
        whenShown<QColorDialog>([&](QColorDialog& dialog) {
            start = dialog.currentColor();
            custom = QColorDialog::customColor(3);
            dialog.setCurrentColor(QColor(0x12, 0x34, 0x56));
            ok ? dialog.accept() : dialog.reject();
        });
        EXPECT_EQ(QtDialogs().chooseColour(Qt::red),
                  ok ? std::optional<QColor>(QColor(0x12, 0x34, 0x56)) : std::nullopt);
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
    ASSERT_TRUE(open && stat("/dev/null", &null) == 0);
    EXPECT_EQ(input.st_rdev, null.st_rdev);
}

} // namespace
} // namespace halvora
