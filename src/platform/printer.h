#pragma once

#include <QString>

class QImage;

namespace halvora {

// The printer operations card printing uses; coordinates are millimetres from the printable origin.
// The job starts with the first thing drawn and goes out with endDoc.
class Printer {
public:
    virtual ~Printer() = default;
    virtual void setFontName(const QString& face) = 0;
    virtual void setScaleMillimetres() = 0;
    virtual void setPaperSize(int paperCode) = 0;  // 9 = A4
    virtual void setOrientation(int orientation) = 0; // 1 = portrait, 2 = landscape
    virtual void setFontBold(bool bold) = 0;
    virtual void setFontSize(double points) = 0;
    // Black outline of the box from (x, y) with the given width and height.
    virtual void drawBox(double x, double y, double width, double height) = 0;
    virtual void setCurrentX(double x) = 0;
    virtual void setCurrentY(double y) = 0;
    virtual void printText(const QString& text) = 0;
    // A picture (such as an image of a window) stretched into the box from (x, y).
    virtual void drawImage(double x, double y, double width, double height, const QImage& image) = 0;
    virtual void newPage() = 0;
    // Sends the job; false when it could not be printed.
    virtual bool endDoc() = 0;

    // Without a default printer a job can only go into a PDF file, set before the job starts.
    virtual bool hasDefaultPrinter() const = 0;
    // After hasDefaultPrinter() said no: false when the print system did not answer at all.
    virtual bool printSystemAnswered() const { return true; }
    virtual void setOutputFile(const QString& pdfPath) = 0;
    // The job's name in the print queue, set before the job starts.
    virtual void setDocumentName(const QString&) {}
    // The job's length, so that a long job can show its progress and offer to cancel.
    virtual void setPageCount(int pages) = 0;
    // True once the operator has cancelled the job; killDoc then abandons it, leaving no file.
    virtual bool cancelled() = 0;
    virtual void killDoc() = 0;
};

} // namespace halvora
