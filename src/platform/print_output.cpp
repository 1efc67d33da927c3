#include "platform/print_output.h"

#include "platform/dialogs.h"
#include "platform/printer.h"

namespace halvora {

namespace {

constexpr std::uint32_t kOverwritePrompt = 0x2;

} // namespace

std::optional<QString> ChoosePrintOutput(Printer& printer, Dialogs& dialogs, QWidget* owner, const QString& folder,
                                         const QString& what) {
    printer.setDocumentName(what);
    if (printer.hasDefaultPrinter())
        return QString();
    const QString cause = printer.printSystemAnswered() ? QStringLiteral("プリンターが設定されていません。")
                                                        : QStringLiteral("プリンターが応答しません。");
    dialogs.messageBox(owner, cause + QStringLiteral("\r\n%1をPDFファイルに保存します。").arg(what), MsgBox::OkOnly);
    FileNameRequest request;
    request.owner = owner;
    request.filter = {QStringLiteral("PDF(*.pdf)"), QStringLiteral("*.pdf"), {}, {}};
    request.initialDir = folder;
    request.file = folder + what + QStringLiteral(".pdf");
    request.title = what + QStringLiteral("の保存");
    request.flags = kOverwritePrompt;
    if (!dialogs.getSaveFileName(request) || request.file.isEmpty())
        return std::nullopt;
    QString path = request.file;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    printer.setOutputFile(path);
    return path;
}

} // namespace halvora
