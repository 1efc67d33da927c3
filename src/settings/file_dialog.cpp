#include "settings/file_dialog.h"

#include "platform/dialogs.h"
#include "platform/text_file.h"

namespace halvora::FileDialog {

namespace {

const QString kExtension = QStringLiteral(".env");

FileDialogOptions conditionFileOptions(QWidget* owner, const QString& title, const QString& folder,
                                       const QString& name) {
    FileDialogOptions options;
    options.owner = owner;
    options.filters = {{QStringLiteral("bingo条件設定ファイル(*.ENV)"), QStringLiteral("*.env")},
                       {QStringLiteral("すべてのファイル(*.*)"), QStringLiteral("*.*")}};
    options.name = name;
    options.folder = folder;
    options.title = title;
    options.mustExist = true;
    return options;
}

void refuse(Dialogs& dialogs, QWidget* owner, const QString& prompt, QString& folder, QString& name) {
    dialogs.messageBox(owner, prompt, MessageKind::Plain);
    folder.clear();
    name.clear();
}

// Takes the chosen path apart, or refuses it. The environment file stores the folder and name in
// CP932, so a path it cannot hold is refused before anything is read or written.
void takeChoice(Dialogs& dialogs, QWidget* owner, QString path, bool addExtension, QString& folder,
                QString& name) {
    if (path.isEmpty()) {
        folder.clear();
        name.clear();
        return;
    }
    const qsizetype offset = path.lastIndexOf(QLatin1Char('/')) + 1;
    if (addExtension && !path.mid(offset).contains(QLatin1Char('.')))
        path += kExtension;
    if (!path.endsWith(kExtension, Qt::CaseInsensitive))
        return refuse(dialogs, owner, QStringLiteral("正しいファイル名を指定して下さい。"), folder,
                      name);
    if (!isAnsiEncodable(path))
        return refuse(dialogs, owner,
                      QStringLiteral("この場所のファイルは使えません。\r\n") + path +
                          QStringLiteral("\r\nフォルダー名かファイル名に使えない文字があります。"),
                      folder, name);
    folder = path.left(offset);
    name = path.mid(offset);
}

} // namespace

void openConditionFileDialog(Dialogs& dialogs, QWidget* owner, const QString& title, QString& folder,
                             QString& name) {
    const QStringList chosen = dialogs.openFiles(conditionFileOptions(owner, title, folder, name));
    takeChoice(dialogs, owner, chosen.isEmpty() ? QString() : chosen.constFirst(), false, folder, name);
}

void saveConditionFileDialog(Dialogs& dialogs, QWidget* owner, const QString& title, QString& folder,
                             QString& name) {
    FileDialogOptions options = conditionFileOptions(owner, title, folder, name);
    options.confirmReplace = true;
    options.defaultExtension = kExtension.mid(1);
    takeChoice(dialogs, owner, dialogs.saveFile(options), true, folder, name);
}

} // namespace halvora::FileDialog
