#include "media/window_print.h"

#include "platform/dialogs.h"
#include "platform/print_output.h"
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

} // namespace

void printWindowImage(QWidget& window, Printer& printer, Dialogs& dialogs, const QString& pdfFolder) {
    const QImage image = window.grab().toImage();
    const std::optional<QString> pdf = choosePrintOutput(printer, dialogs, &window, pdfFolder, QStringLiteral("画面"));
    if (!pdf || image.isNull())
        return;
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
    dialogs.messageBox(&window, message, MessageKind::Plain);
}

} // namespace halvora
