#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QRegion>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>

namespace halvora {

// One drawing operation of a picture box, as its observer sees it.
struct PictureOp {
    enum class Kind { Clear, Print, Flush };
    Kind kind = Kind::Clear;
    // Print: the text, where it starts and where it leaves the print position (twips), the font and
    // colour it was drawn in, and whether the line was ended.
    QString text{};
    double x = 0;
    double y = 0;
    double endX = 0;
    double endY = 0;
    QString face{};
    double size = 0;
    bool bold = false;
    QColor colour{};
    bool lineEnd = false;
};

// A drawing surface with a persistent image and a print model in twips: a current print position,
// a font and a text colour; printed text stays until the box is cleared. A face name starting with
// "@" is the vertical-writing form: every character is turned by 90 degrees in a cell as wide as
// the line is high.
class PictureBox final : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setTwipsPerPixel(double perPixel);
    double twipsPerPixel() const { return twipsPerPixel_; }
    // The drawing area in twips.
    double scaleWidth() const { return width() * twipsPerPixel_; }
    double scaleHeight() const { return height() * twipsPerPixel_; }

    // Fills the box with its background colour and moves the print position to the top left.
    void clear();
    void setBackColor(const QColor& colour) { backColor_ = colour; }
    // See-through: clearing makes the box transparent, so what stands behind it shows around the
    // printed text. Otherwise the box is filled with its background colour.
    void setSeeThrough(bool seeThrough);

    double currentX() const { return currentX_; }
    double currentY() const { return currentY_; }
    void setCurrentX(double twips) { currentX_ = twips; }
    void setCurrentY(double twips) { currentY_ = twips; }

    void setFontName(const QString& face);
    void setFontSize(double points);
    double fontSize() const { return points_; }
    void setFontBold(bool bold);
    void setForeColor(const QColor& colour) { foreColor_ = colour; }
    QColor foreColor() const { return foreColor_; }

    // Draws the text at the print position. With a line end the position moves to the left edge of
    // the next line; without, to the right end of the text.
    void print(const QString& text, bool lineEnd);
    double textWidth(const QString& text) const;
    double textHeight(const QString& text) const;
    // Where the last printed text stands, in the box's pixels: its line's rectangle, and the pixels
    // its glyphs filled in its colour.
    QRect lastPrintRect() const { return lastPrint_; }
    QRegion lastPrintInk() const;

    // Puts what was drawn since the last flush on the screen now, before anything else is drawn.
    void flush();

    // Every animation claims the box when it starts. An animation that gets control back from a
    // nested event loop and finds a newer claim has been superseded and must stop drawing.
    std::uint64_t claim() { return ++claims_; }
    std::uint64_t currentClaim() const { return claims_; }

    // Sees every clear, print and flush (tests and benchmarks read the sequence).
    void setObserver(std::function<void(const PictureOp&)> observer) { observer_ = std::move(observer); }
    // The persistent image (device pixels).
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool vertical() const { return face_.startsWith(QLatin1Char('@')); }
    void rebuildFont();
    void resizeImage(const QSize& size);
    double lineHeightPixels() const;
    double widthPixels(const QString& text) const;
    void drawText(const QString& text, const QPointF& topLeft);
    void notify(const PictureOp& op) const;
    QColor fillColour() const { return seeThrough_ ? QColor(Qt::transparent) : backColor_; }

    double twipsPerPixel_ = 15.0;
    QImage image_;
    QRectF dirty_; // logical pixels drawn since the last flush
    QRect lastPrint_;
    QRect lastPrintArea_; // with room for glyphs that reach beyond their line
    QColor lastPrintColour_;
    bool seeThrough_ = false;
    QColor backColor_ = Qt::black;
    QColor foreColor_ = Qt::black;
    QString face_;
    double points_ = 9.0;
    bool bold_ = false;
    QFont font_;
    double currentX_ = 0;
    double currentY_ = 0;
    std::uint64_t claims_ = 0;
    std::function<void(const PictureOp&)> observer_;
};

} // namespace halvora
