#pragma once

#include "platform/printer.h"

#include <QStringList>
#include <QVariant>

#include <functional>

namespace halvora::test {

// Records each printer operation as a readable line ("box 20 20 20 20 0", "x 21", "text 07", "page").
// Polls of `cancelled` are not recorded.
class PrinterRecorder final : public Printer {
public:
    QStringList lines;
    bool hasPrinter = true;
    bool printSystemAnswers = true;
    int cancelAfterPages = -1; // cancelled once that many pages are done
    std::function<void()> pageDone; // after each page, as the job goes on
    bool endSucceeds = true;

    void setFontName(const QString& face) override { add("font", face); }
    void setScaleMillimetres() override { add("scale mm"); }
    void setPaperSize(int paperCode) override { add("paper", paperCode); }
    void setOrientation(int orientation) override { add("orientation", orientation); }
    void setFontBold(bool bold) override { add("bold", int{bold}); }
    void setFontSize(double points) override { add("size", points); }
    void drawBox(double x, double y, double w, double h) override { add("box", x, y, w, h); }
    void setCurrentX(double x) override { add("x", x); }
    void setCurrentY(double y) override { add("y", y); }
    void printText(const QString& text) override { add("text", text); }
    void drawImage(double x, double y, double w, double h, const QImage&) override { add("image", x, y, w, h); }
    void newPage() override {
        add("page"), ++pages_;
        if (pageDone)
            pageDone();
    }
    bool endDoc() override { return add("end"), endSucceeds; }
    bool hasDefaultPrinter() const override { return hasPrinter; }
    bool printSystemAnswered() const override { return printSystemAnswers; }
    void setOutputFile(const QString& pdfPath) override { add("output", pdfPath); }
    void setPageCount(int pages) override { add("pages", pages); }
    bool cancelled() override { return cancelAfterPages >= 0 && pages_ >= cancelAfterPages; }
    void killDoc() override { add("kill"); }

private:
    template <typename... Values> void add(const char* operation, const Values&... values) {
        QString line = QString::fromUtf8(operation);
        ((line += QLatin1Char(' ') + QVariant::fromValue(values).toString()), ...);
        lines << line;
    }
    int pages_ = 0;
};

} // namespace halvora::test
