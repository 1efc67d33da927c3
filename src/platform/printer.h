#pragma once

#include <QString>

#include <cstdint>

namespace halvora {

// The printer operations card printing uses; coordinates are millimetres from the printable origin.
class Printer {
public:
    virtual ~Printer() = default;
    virtual void setFontName(const QString& face) = 0;
    virtual void setScaleMillimetres() = 0;
    virtual void setPaperSize(int paperCode) = 0;  // 9 = A4
    virtual void setOrientation(int orientation) = 0; // 1 = portrait, 2 = landscape
    virtual void setFontBold(bool bold) = 0;
    virtual void setFontSize(double points) = 0;
    // Outline of the box from (x, y) with the given width and height; colour 0x00BBGGRR.
    virtual void drawBox(double x, double y, double width, double height, std::uint32_t colour) = 0;
    virtual void setCurrentX(double x) = 0;
    virtual void setCurrentY(double y) = 0;
    virtual void printText(const QString& text) = 0;
    virtual void newPage() = 0;
    // Sends the job; false when it could not be printed.
    virtual bool endDoc() = 0;
};

} // namespace halvora
