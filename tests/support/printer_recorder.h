#pragma once

#include "platform/printer.h"

#include <QStringList>

namespace halvora::test {

// Records each printer operation as a readable line ("box 20 20 20 20 0", "x 21", "text 07", "page").
// Polls of `cancelled` are not recorded.
class PrinterRecorder final : public Printer {
public:
    QStringList lines;
    bool hasPrinter = true;
    int cancelAfterPages = -1; // cancelled once that many pages are done
    bool endSucceeds = true;

    void setFontName(const QString& face) override { lines << QStringLiteral("font ") + face; }
    void setScaleMillimetres() override { lines << QStringLiteral("scale mm"); }
    void setPaperSize(int paperCode) override { lines << QStringLiteral("paper %1").arg(paperCode); }
    void setOrientation(int orientation) override { lines << QStringLiteral("orientation %1").arg(orientation); }
    void setFontBold(bool bold) override { lines << QStringLiteral("bold %1").arg(bold); }
    void setFontSize(double points) override { lines << QStringLiteral("size %1").arg(points); }
    void drawBox(double x, double y, double width, double height, std::uint32_t colour) override {
        lines << QStringLiteral("box %1 %2 %3 %4 %5").arg(x).arg(y).arg(width).arg(height).arg(colour);
    }
    void setCurrentX(double x) override { lines << QStringLiteral("x %1").arg(x); }
    void setCurrentY(double y) override { lines << QStringLiteral("y %1").arg(y); }
    void printText(const QString& text) override { lines << QStringLiteral("text ") + text; }
    void newPage() override {
        lines << QStringLiteral("page");
        ++pages_;
    }
    bool endDoc() override {
        lines << QStringLiteral("end");
        return endSucceeds;
    }
    bool hasDefaultPrinter() const override { return hasPrinter; }
    void setOutputFile(const QString& pdfPath) override { lines << QStringLiteral("output ") + pdfPath; }
    void setPageCount(int pages) override { lines << QStringLiteral("pages %1").arg(pages); }
    bool cancelled() override { return cancelAfterPages >= 0 && pages_ >= cancelAfterPages; }
    void killDoc() override { lines << QStringLiteral("kill"); }

private:
    int pages_ = 0;
};

} // namespace halvora::test
