#include "settings/file_commands.h"

#include "platform/dialogs.h"
#include "platform/text_file.h"
#include "settings/condition_file.h"
#include "settings/file_dialog.h"

namespace halvora {

FileCommands::FileCommands(Dialogs& dialogs, QWidget* owner, EnvironmentFolders& folders, AvList& av,
                           ConditionFile& conditionFile)
    : dialogs_(dialogs), owner_(owner), folders_(folders), av_(av), conditionFile_(conditionFile) {}

void FileCommands::openShow() {
    QString folder = folders_.dataFolder;
    QString name = folders_.conditionFileName;
    FileDialog::openConditionFileDialog(dialogs_, owner_, QStringLiteral("ビンゴ設定情報を読み込み"), folder,
                                        name);
    if (folder.isEmpty() || name.isEmpty())
        return;
    const QString path = folder + name;
    if (!isConditionFile(path))
        return;
    // A file that cannot be read leaves the current show whole, so a later overwrite-save keeps it.
    const AvList before = av_;
    if (!conditionFile_.readAfterOpen(path, folders_.appFolder)) {
        av_ = before;
        return;
    }
    folders_.dataFolder = folder;
    folders_.conditionFileName = name;
    writeEnvironmentFile(folders_, dialogs_, owner_);
    if (showRead)
        showRead();
}

void FileCommands::saveShow() {
    const Answer answer = dialogs_.messageBox(owner_, QStringLiteral("ビンゴ設定情報を保存しますか？"),
                                           MessageKind::QuestionDefaultNo,
                                           QStringLiteral("操作確認"));
    if (answer == Answer::Yes)
        conditionFile_.writeConditionFile(folders_.dataFolder + folders_.conditionFileName);
}

void FileCommands::saveShowAs() {
    QString folder = folders_.dataFolder;
    QString name = folders_.conditionFileName;
    FileDialog::saveConditionFileDialog(dialogs_, owner_, QStringLiteral("ビンゴ設定情報　名前を付けて保存"),
                                        folder, name);
    if (folder.isEmpty() || name.isEmpty())
        return;
    // The environment file is pointed at the new file only once that file exists.
    if (!conditionFile_.writeConditionFile(folder + name))
        return;
    folders_.dataFolder = folder;
    folders_.conditionFileName = name;
    writeEnvironmentFile(folders_, dialogs_, owner_);
}

// A file without any of the condition file's sections is some other file that was given a ".env"
// name; reading it would empty the lists. A file that cannot be read is left to the reader to report.
bool FileCommands::isConditionFile(const QString& path) {
    TextFile file;
    if (!file.open(path, TextFile::Mode::Input))
        return true;
    const QStringList headers{QStringLiteral("[AV]"), QStringLiteral("[PICTURE]"), QStringLiteral("[BMP]"),
                              QStringLiteral("[OPTION]"), QStringLiteral("[COLOR]")};
    QString line;
    while (file.readLine(line)) {
        if (headers.contains(line, Qt::CaseInsensitive))
            return true;
    }
    dialogs_.messageBox(owner_, QStringLiteral("ビンゴ設定情報のファイルではありません。\r\n") + path,
                        MessageKind::Plain);
    return false;
}

} // namespace halvora
