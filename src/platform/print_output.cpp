#include "platform/print_output.h"

#include "platform/dialogs.h"
#include "platform/printer.h"

namespace halvora {

std::optional<QString> choosePrintOutput(Printer& printer, Dialogs& dialogs, QWidget* owner, const QString& folder,
                                         const QString& what) {
    printer.setDocumentName(what);
    if (printer.hasDefaultPrinter())
        return QString();
    const QString cause = printer.printSystemAnswered() ? QStringLiteral("プリンターが設定されていません。")
                                                        : QStringLiteral("プリンターが応答しません。");
    dialogs.messageBox(owner, cause + QStringLiteral("\r\n%1をPDFファイルに保存します。").arg(what), MessageKind::Plain);
    FileDialogOptions options;
    options.owner = owner;
    options.filters = {{QStringLiteral("PDF(*.pdf)"), QStringLiteral("*.pdf")}};
    options.folder = folder;
    options.name = folder + what + QStringLiteral(".pdf");
    options.title = what + QStringLiteral("の保存");
    options.confirmReplace = true;
    QString path = dialogs.saveFile(options);
    if (path.isEmpty())
        return std::nullopt;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    printer.setOutputFile(path);
    return path;
}

} // namespace halvora
