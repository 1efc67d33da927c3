#include "media/window_print.h"

#include "platform/dialogs.h"
#include "platform/printer.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace halvora {

namespace {

constexpr int kPaperA4 = 9;
constexpr int kLandscape = 2;
constexpr double kPageWidth = 297; // millimetres, landscape A4
constexpr double kPageHeight = 210;
constexpr double kMargin = 10;
constexpr std::uint32_t kOverwritePrompt = 0x2;

// The PDF's path, empty for the printer, nothing when the operator declines.
std::optional<QString> chooseOutput(QWidget& window, Printer& printer, Dialogs& dialogs,
                                    const QString& folder) {
    if (printer.hasDefaultPrinter())
        return QString();
    dialogs.messageBox(&window,
                       QStringLiteral("プリンターが設定されていません。\r\n画面をPDFファイルに保存します。"),
                       MsgBox::OkOnly);
    FileNameRequest request;
    request.owner = &window;
    request.filter = {QStringLiteral("PDF(*.pdf)"), QStringLiteral("*.pdf"), {}, {}};
    request.initialDir = folder;
    request.file = folder + QStringLiteral("画面.pdf");
    request.title = QStringLiteral("画面の保存");
    request.flags = kOverwritePrompt;
    if (!dialogs.getSaveFileName(request) || request.file.isEmpty())
        return std::nullopt;
    QString path = request.file;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    printer.setOutputFile(path);
    return path;
}

} // namespace

void PrintWindowImage(QWidget& window, Printer& printer, Dialogs& dialogs, const QString& pdfFolder) {
    const QImage image = window.grab().toImage();
    const std::optional<QString> pdf = chooseOutput(window, printer, dialogs, pdfFolder);
    if (!pdf || image.isNull())
        return;
    printer.setDocumentName(QStringLiteral("画面"));
    printer.setScaleMillimetres();
    printer.setPaperSize(kPaperA4);
    printer.setOrientation(kLandscape);
    const double scale =
        std::min((kPageWidth - 2 * kMargin) / image.width(), (kPageHeight - 2 * kMargin) / image.height());
    printer.drawImage(kMargin, kMargin, image.width() * scale, image.height() * scale, image);
    if (printer.endDoc())
        return;
    QString message = QStringLiteral("画面を印刷できませんでした。");
    if (!pdf->isEmpty())
        message += QStringLiteral("\r\nファイル名 = ") + *pdf;
    dialogs.messageBox(&window, message, MsgBox::OkOnly);
}

} // namespace halvora
