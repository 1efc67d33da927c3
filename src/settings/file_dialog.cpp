#include "settings/file_dialog.h"

#include "platform/dialogs.h"
#include "platform/text_file.h"

namespace halvora::FileDialog {

namespace {

constexpr std::uint32_t kOpenFlags = 0x81804; // explorer, file and path must exist, no read-only box
constexpr std::uint32_t kSaveFlags = 0x1806;  // as above, and ask before replacing a file
const QString kExtension = QStringLiteral(".env");

FileNameRequest conditionFileRequest(QWidget* owner, const QString& title, const QString& folder,
                                     const QString& name, std::uint32_t flags) {
    FileNameRequest request;
    request.owner = owner;
    request.filter = {QStringLiteral("bingo条件設定ファイル(*.ENV)"), QStringLiteral("*.env"),
                      QStringLiteral("すべてのファイル(*.*)"), QStringLiteral("*.*")};
    request.filterIndex = 1;
    request.file = name;
    request.initialDir = folder;
    request.title = title;
    request.flags = flags;
    return request;
}

void refuse(Dialogs& dialogs, QWidget* owner, const QString& prompt, QString& folder, QString& name) {
    dialogs.messageBox(owner, prompt, MsgBox::OkOnly);
    folder.clear();
    name.clear();
}

// Takes the chosen path apart, or refuses it. The environment file stores the folder and name in
// CP932, so a path it cannot hold is refused before anything is read or written.
void takeChoice(Dialogs& dialogs, const FileNameRequest& request, bool chosen, bool addExtension,
                QString& folder, QString& name) {
    if (!chosen) {
        folder.clear();
        name.clear();
        return;
    }
    QString path = request.file;
    const qsizetype offset = request.fileOffset;
    if (addExtension && !path.mid(offset).contains(QLatin1Char('.')))
        path += kExtension;
    if (!path.endsWith(kExtension, Qt::CaseInsensitive))
        return refuse(dialogs, request.owner, QStringLiteral("正しいファイル名を指定して下さい。"), folder,
                      name);
    if (!isAnsiEncodable(path))
        return refuse(dialogs, request.owner,
                      QStringLiteral("この場所のファイルは使えません。\r\n") + path +
                          QStringLiteral("\r\nフォルダー名かファイル名に使えない文字があります。"),
                      folder, name);
    folder = path.left(offset);
    name = path.mid(offset);
}

} // namespace

void OpenConditionFileDialog(Dialogs& dialogs, QWidget* owner, const QString& title, QString& folder,
                             QString& name) {
    FileNameRequest request = conditionFileRequest(owner, title, folder, name, kOpenFlags);
    const bool chosen = dialogs.getOpenFileName(request);
    takeChoice(dialogs, request, chosen, false, folder, name);
}

void SaveConditionFileDialog(Dialogs& dialogs, QWidget* owner, const QString& title, QString& folder,
                             QString& name) {
    FileNameRequest request = conditionFileRequest(owner, title, folder, name, kSaveFlags);
    request.defaultExtension = kExtension.mid(1);
    const bool chosen = dialogs.getSaveFileName(request);
    takeChoice(dialogs, request, chosen, true, folder, name);
}

} // namespace halvora::FileDialog
