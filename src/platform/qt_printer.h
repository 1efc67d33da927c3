#pragma once

#include "platform/printer.h"

#include <QPainter>

#include <memory>

class QPagedPaintDevice;
class QPdfWriter;
class QPrinter;
class QProgressDialog;

namespace halvora {

// The default printer through QPrinter, or a PDF file (QPdfWriter) when one is set. Millimetres are drawn
// unscaled at the device's resolution so that font sizes stay exact. A PDF is written to a temporary file
// beside its name and renamed only when the job ends well.
class QtPrinter : public Printer {
public:
    QtPrinter();
    ~QtPrinter() override;

    void setFontName(const QString& face) override { face_ = face; }
    void setScaleMillimetres() override {}
    void setPaperSize(int paperCode) override { paperCode_ = paperCode; }
    void setOrientation(int orientation) override { orientation_ = orientation; }
    void setFontBold(bool bold) override { bold_ = bold; }
    void setFontSize(double points) override { points_ = points; }
    void drawBox(double x, double y, double width, double height) override;
    void setCurrentX(double x) override { x_ = x; }
    void setCurrentY(double y) override { y_ = y; }
    void printText(const QString& text) override;
    void drawImage(double x, double y, double width, double height, const QImage& image) override;
    void newPage() override;
    bool endDoc() override;

    bool hasDefaultPrinter() const override;
    bool printSystemAnswered() const override { return answered_; }
    void setOutputFile(const QString& pdfPath) override { outputFile_ = pdfPath; }
    void setDocumentName(const QString& name) override { documentName_ = name; }
    void setPageCount(int pages) override { pageCount_ = pages; }
    bool cancelled() override;
    void killDoc() override;

private:
    // Starts the job at its first drawing; false when it cannot be started.
    bool drawing();
    bool begin();
    bool openPdf();
    void openPrinter();
    void showProgress();
    double device(double millimetres) const;
    bool placePdf();
    void reset();

    QString face_;
    double points_ = 12;
    bool bold_ = false;
    int paperCode_ = 9;
    int orientation_ = 1;
    double x_ = 0;
    double y_ = 0;
    mutable bool answered_ = true;
    QString outputFile_;
    QString documentName_ = QStringLiteral("Halvora");
    QString partFile_;
    int pageCount_ = 0;
    int pagesDone_ = 0;
    bool failed_ = false;
    bool pageEnded_ = false; // a new page is started only when something is drawn on it
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPdfWriter> pdf_;
    QPagedPaintDevice* device_ = nullptr; // the one of the two that the job draws on
    double resolution_ = 0;               // dots per inch
    QPainter painter_;
    std::unique_ptr<QProgressDialog> progress_;
};

} // namespace halvora
