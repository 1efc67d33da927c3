#pragma once

#include "platform/printer.h"

namespace halvora::test {

// The printer for tests of everything but card printing: it takes every operation and prints
// nothing.
class PrinterRecorder final : public Printer {
public:
    void setFontName(const QString&) override {}
    void setScaleMillimetres() override {}
    void setPaperSize(int) override {}
    void setOrientation(int) override {}
    void setFontBold(bool) override {}
    void setFontSize(double) override {}
    void drawBox(double, double, double, double, std::uint32_t) override {}
    void setCurrentX(double) override {}
    void setCurrentY(double) override {}
    void printText(const QString&) override {}
    void newPage() override {}
    bool endDoc() override { return true; }
};

} // namespace halvora::test
