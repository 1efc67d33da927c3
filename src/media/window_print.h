#pragma once

#include <QString>

class QWidget;

namespace halvora {

class Dialogs;
class Printer;

// Prints an image of the window, fitted to a landscape A4 page, on the default printer; without a
// printer the operator is told and names a PDF file in `pdfFolder` instead.
void printWindowImage(QWidget& window, Printer& printer, Dialogs& dialogs, const QString& pdfFolder);

} // namespace halvora
