#include "platform/qt_printer.h"

#include "platform/dialogs.h"
#include "platform/printer_lookup.h"

#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPdfWriter>
#include <QPrinter>
#include <QProgressDialog>
#include <QTemporaryFile>

#include <algorithm>
#include <cstdio>

namespace halvora {

namespace {

constexpr double kMillimetresPerInch = 25.4;
constexpr double kLineWidth = 0.4; // millimetres
constexpr int kPaperA4 = 9;
constexpr int kPaperB5 = 13;
constexpr int kLandscape = 2;
constexpr int kShowProgressAfterMs = 1000;
constexpr int kPrinterAnswerMs = 3000; // a print server that has not answered by then counts as none

QPageSize pageSizeFor(int paperCode) {
    return QPageSize(paperCode == kPaperB5 ? QPageSize::JisB5 : QPageSize::A4);
}

} // namespace

QtPrinter::QtPrinter() = default;

QtPrinter::~QtPrinter() {
    killDoc();
}

bool QtPrinter::hasDefaultPrinter() const {
    const std::optional<QString> name = lookUpDefaultPrinter(kPrinterAnswerMs);
    answered_ = name.has_value();
    return name && !name->isEmpty();
}

double QtPrinter::device(double millimetres) const {
    return millimetres * resolution_ / kMillimetresPerInch;
}

bool QtPrinter::begin() {
    if (outputFile_.isEmpty())
        openPrinter();
    else if (!openPdf())
        return false;
    device_->setPageSize(pageSizeFor(paperCode_ == 0 ? kPaperA4 : paperCode_));
    device_->setPageOrientation(orientation_ == kLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    device_->setPageMargins(QMarginsF(), QPageLayout::Millimeter);
    if (!painter_.begin(device_))
        return false;
    showProgress();
    return true;
}

// Not a QPrinter: creating one asks the print system, which may not answer for minutes.
bool QtPrinter::openPdf() {
    QTemporaryFile part(outputFile_ + QStringLiteral(".XXXXXX"));
    part.setAutoRemove(false);
    // Readable by others, as a file saved in the ordinary way would be.
    if (!part.open() ||
        !part.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther))
        return false;
    partFile_ = part.fileName();
    pdf_ = std::make_unique<QPdfWriter>(partFile_);
    pdf_->setTitle(documentName_);
    pdf_->setCreator(kProgramTitle);
    device_ = pdf_.get();
    resolution_ = pdf_->resolution();
    return true;
}

void QtPrinter::openPrinter() {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setDocName(documentName_);
    printer_->setCreator(kProgramTitle);
    printer_->setFullPage(true);
    device_ = printer_.get();
    resolution_ = printer_->resolution();
}

// Appears only when the job runs longer than a second; while shown it lets Cancel be clicked.
void QtPrinter::showProgress() {
    if (pageCount_ <= 0)
        return;
    progress_ = std::make_unique<QProgressDialog>(QStringLiteral("ビンゴカードを印刷しています。"),
                                                  QStringLiteral("キャンセル"), 0, pageCount_);
    progress_->setWindowTitle(kProgramTitle);
    progress_->setWindowModality(Qt::ApplicationModal);
    progress_->setMinimumDuration(kShowProgressAfterMs);
    progress_->setAutoReset(false);
    progress_->setValue(0);
}

bool QtPrinter::drawing() {
    if (failed_)
        return false;
    if (!painter_.isActive() && !begin()) {
        failed_ = true;
        return false;
    }
    if (pageEnded_) {
        pageEnded_ = false;
        failed_ = !device_->newPage();
    }
    return !failed_;
}

void QtPrinter::drawBox(double x, double y, double width, double height) {
    if (!drawing())
        return;
    painter_.setPen(QPen(Qt::black, device(kLineWidth)));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(QRectF(device(x), device(y), device(width), device(height)));
}

// The print position is the top-left of the text's line.
void QtPrinter::printText(const QString& text) {
    if (!drawing())
        return;
    QFont font(face_);
    font.setPointSizeF(points_);
    font.setBold(bold_);
    const QFontMetricsF metrics(font, device_);
    painter_.setFont(font);
    painter_.setPen(Qt::black);
    painter_.drawText(QPointF(device(x_), device(y_) + metrics.ascent()), text);
    x_ = 0;
    y_ += metrics.height() * kMillimetresPerInch / resolution_;
}

void QtPrinter::drawImage(double x, double y, double width, double height, const QImage& image) {
    if (!drawing())
        return;
    painter_.setRenderHint(QPainter::SmoothPixmapTransform);
    painter_.drawImage(QRectF(device(x), device(y), device(width), device(height)), image);
}

void QtPrinter::newPage() {
    if (!painter_.isActive())
        return;
    pageEnded_ = true;
    ++pagesDone_;
    if (progress_)
        progress_->setValue(std::min(pagesDone_, pageCount_));
}

bool QtPrinter::cancelled() {
    return progress_ && progress_->wasCanceled();
}

bool QtPrinter::endDoc() {
    bool ok = painter_.isActive() && !failed_;
    if (painter_.isActive())
        ok = painter_.end() && ok;
    ok = ok && (!printer_ || printer_->printerState() != QPrinter::Error) &&
         (outputFile_.isEmpty() || placePdf());
    reset();
    return ok;
}

// Only a complete file (a failed write, as on a full disk, leaves it without its end mark) replaces
// any earlier file of that name, in one step.
bool QtPrinter::placePdf() {
    QFile part(partFile_);
    if (!part.open(QIODevice::ReadOnly) || !part.seek(std::max<qint64>(0, part.size() - 16)) ||
        !part.readAll().contains("%%EOF"))
        return false;
    part.close();
    if (std::rename(QFile::encodeName(partFile_).constData(), QFile::encodeName(outputFile_).constData()) !=
        0)
        return false;
    partFile_.clear();
    return true;
}

void QtPrinter::killDoc() {
    if (painter_.isActive()) {
        if (printer_)
            printer_->abort();
        painter_.end();
    }
    reset();
}

void QtPrinter::reset() {
    progress_.reset();
    printer_.reset();
    pdf_.reset();
    device_ = nullptr;
    if (!partFile_.isEmpty())
        QFile::remove(partFile_);
    partFile_.clear();
    outputFile_.clear();
    pageCount_ = 0;
    pagesDone_ = 0;
    failed_ = false;
    pageEnded_ = false;
}

} // namespace halvora
