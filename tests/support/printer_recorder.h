#pragma once

#include "platform/printer.h"

#include <QLocale>
#include <QStringList>

namespace halvora::test {

// Records every printer operation as one readable line ("font ＭＳ 明朝", "box 20 20 20 20 0",
// "text 07", "newPage", "endDoc"), so a test compares the whole sequence.
class PrinterRecorder final : public Printer {
public:
    const QStringList& lines() const { return lines_; }
    void clear() { lines_.clear(); }
    // What endDoc answers (true: printed).
    void setEndDocResult(bool printed) { endDocResult_ = printed; }

    void setFontName(const QString& face) override { add(QStringLiteral("font ") + face); }
    void setScaleMillimetres() override { add(QStringLiteral("scaleMM")); }
    void setPaperSize(int paperCode) override { add(QStringLiteral("paper %1").arg(paperCode)); }
    void setOrientation(int orientation) override { add(QStringLiteral("orientation %1").arg(orientation)); }
    void setFontBold(bool bold) override { add(QStringLiteral("bold %1").arg(bold ? 1 : 0)); }
    void setFontSize(double points) override { add(QStringLiteral("size ") + num(points)); }
    void drawBox(double x, double y, double width, double height, std::uint32_t colour) override {
        add(QStringLiteral("box %1 %2 %3 %4 %5").arg(num(x), num(y), num(width), num(height)).arg(colour));
    }
    void setCurrentX(double x) override { add(QStringLiteral("x ") + num(x)); }
    void setCurrentY(double y) override { add(QStringLiteral("y ") + num(y)); }
    void printText(const QString& text) override { add(QStringLiteral("text ") + text); }
    void newPage() override { add(QStringLiteral("newPage")); }
    bool endDoc() override {
        add(QStringLiteral("endDoc"));
        return endDocResult_;
    }

private:
    // Shortest exact form: 20, 12.5, 0.1.
    static QString num(double value) { return QString::number(value, 'g', QLocale::FloatingPointShortest); }
    void add(const QString& line) { lines_ << line; }

    QStringList lines_;
    bool endDocResult_ = true;
};

} // namespace halvora::test
