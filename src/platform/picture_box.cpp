#include "platform/picture_box.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace halvora {

namespace {

// The image is drawn at a fixed 96 dots per inch, so point sizes map to pixels through the twips
// scale alone, whatever the screen reports.
constexpr int kImageDotsPerMeter = 3780;
constexpr double kImageDpi = 96.0;
constexpr double kTwipsPerPoint = 20.0;

QStringList characters(const QString& text) {
    QStringList result;
    for (const char32_t c : text.toUcs4())
        result << QString::fromUcs4(&c, 1);
    return result;
}

} // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    // The image covers every pixel, so nothing needs to be erased before a paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    rebuildFont();
    resizeImage(QSize(1, 1));
}

void PictureBox::setTwipsPerPixel(double perPixel) {
    if (perPixel <= 0)
        return;
    twipsPerPixel_ = perPixel;
    rebuildFont();
}

void PictureBox::setSeeThrough(bool seeThrough) {
    if (seeThrough_ == seeThrough)
        return;
    seeThrough_ = seeThrough;
    setAttribute(Qt::WA_OpaquePaintEvent, !seeThrough);
    image_ = QImage(); // a new image of the other kind, cleared
    resizeImage(size());
}

void PictureBox::setFontName(const QString& face) {
    face_ = face;
    rebuildFont();
}

void PictureBox::setFontSize(double points) {
    points_ = points;
    rebuildFont();
}

void PictureBox::setFontBold(bool bold) {
    bold_ = bold;
    rebuildFont();
}

void PictureBox::rebuildFont() {
    font_ = QFont(face_);
    const double pixels = points_ * kTwipsPerPoint / twipsPerPixel_;
    font_.setPointSizeF(std::max(0.01, pixels * 72.0 / kImageDpi));
    font_.setBold(bold_);
}

void PictureBox::resizeImage(const QSize& size) {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (size.expandedTo(QSize(1, 1)) * ratio);
    const QImage::Format format = seeThrough_ ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (image_.size() == pixels && image_.format() == format)
        return;
    QImage next(pixels, format);
    next.setDotsPerMeterX(kImageDotsPerMeter);
    next.setDotsPerMeterY(kImageDotsPerMeter);
    next.setDevicePixelRatio(ratio);
    next.fill(fillColour());
    if (!image_.isNull()) {
        QPainter painter(&next);
        painter.drawImage(QPointF(0, 0), image_);
    }
    image_ = std::move(next);
}

void PictureBox::clear() {
    // A hidden widget hears of its new size only when it is shown.
    resizeImage(size());
    image_.fill(fillColour());
    dirty_ = rect();
    lastPrint_ = lastPrintArea_ = QRect();
    currentX_ = 0;
    currentY_ = 0;
    notify({.kind = PictureOp::Kind::Clear});
}

double PictureBox::lineHeightPixels() const { return QFontMetricsF(font_, &image_).height(); }

double PictureBox::widthPixels(const QString& text) const {
    if (vertical())
        return static_cast<double>(text.toUcs4().size()) * lineHeightPixels();
    return QFontMetricsF(font_, &image_).horizontalAdvance(text);
}

double PictureBox::textWidth(const QString& text) const { return widthPixels(text) * twipsPerPixel_; }

double PictureBox::textHeight(const QString&) const { return lineHeightPixels() * twipsPerPixel_; }

void PictureBox::drawText(const QString& text, const QPointF& topLeft) {
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font_);
    painter.setPen(foreColor_);
    const QFontMetricsF metrics(font_, &image_);
    if (!vertical()) {
        painter.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), text);
        return;
    }
    // Each character lies on its side, its top to the left, centred in a square-ish cell.
    const double cell = metrics.height();
    double left = topLeft.x();
    for (const QString& c : characters(text)) {
        const double advance = metrics.horizontalAdvance(c);
        painter.save();
        painter.translate(left, topLeft.y() + (cell + advance) / 2);
        painter.rotate(-90);
        painter.drawText(QPointF(0, metrics.ascent()), c);
        painter.restore();
        left += cell;
    }
}

void PictureBox::print(const QString& text, bool lineEnd) {
    resizeImage(size());
    const double perPixel = twipsPerPixel_;
    const QPointF topLeft(currentX_ / perPixel, currentY_ / perPixel);
    const double height = lineHeightPixels();
    const double width = widthPixels(text);
    drawText(text, topLeft);
    // Glyphs may reach a little beyond their cell.
    const double margin = height / 4 + 2;
    dirty_ |= QRectF(topLeft, QSizeF(width, height)).adjusted(-margin, -margin, margin, margin);
    lastPrint_ = QRectF(topLeft, QSizeF(width, height)).toAlignedRect();
    lastPrintArea_ = dirty_.toAlignedRect() & QRectF(topLeft, QSizeF(width, height))
                                                   .adjusted(-margin, -margin, margin, margin)
                                                   .toAlignedRect();
    lastPrintColour_ = foreColor_;
    PictureOp op{.kind = PictureOp::Kind::Print,
                 .text = text,
                 .x = currentX_,
                 .y = currentY_,
                 .face = face_,
                 .size = points_,
                 .bold = bold_,
                 .colour = foreColor_,
                 .lineEnd = lineEnd};
    if (lineEnd) {
        currentX_ = 0;
        currentY_ += height * perPixel;
    } else {
        currentX_ += width * perPixel;
    }
    op.endX = currentX_;
    op.endY = currentY_;
    notify(op);
}

QRegion PictureBox::lastPrintInk() const {
    const QRect area = lastPrintArea_ & rect();
    if (area.isEmpty())
        return {};
    if (!qFuzzyCompare(image_.devicePixelRatio(), 1.0))
        return QRegion(area);
    // Runs of the text's colour, line by line: already in the banded order a region keeps.
    const QRgb ink = lastPrintColour_.rgb();
    std::vector<QRect> runs;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
        for (int x = area.left(); x <= area.right();) {
            if (line[x] != ink) {
                ++x;
                continue;
            }
            const int start = x;
            while (x <= area.right() && line[x] == ink)
                ++x;
            runs.emplace_back(start, y, x - start, 1);
        }
    }
    QRegion region;
    region.setRects(runs.data(), static_cast<int>(runs.size()));
    return region;
}

void PictureBox::flush() {
    const QRect area = dirty_.toAlignedRect() & rect();
    dirty_ = QRectF();
    // repaint, not update: an update would be merged with the next frames and only the last shown.
    if (!area.isEmpty() && isVisible())
        repaint(area);
    notify({.kind = PictureOp::Kind::Flush});
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    const qreal ratio = image_.devicePixelRatio();
    painter.drawImage(QRectF(area), image_,
                      QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio));
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    resizeImage(size());
}

void PictureBox::notify(const PictureOp& op) const {
    if (observer_)
        observer_(op);
}

} // namespace halvora
