#include "draw/hit_patterns.h"

#include "platform/event_pump.h"
#include "platform/picture_box.h"

#include <QLineEdit>
#include <QPointer>

#include <array>
#include <cmath>
#include <compare>

namespace halvora {

namespace {

// Positions and sizes of an announcement are fixed-point numbers with four decimals.
class Fixed4 {
public:
    static Fixed4 of(double value) { return Fixed4(static_cast<std::int64_t>(std::nearbyint(value * 10000.0))); }
    double value() const { return static_cast<double>(units_) / 10000.0; }
    Fixed4 operator+(Fixed4 other) const { return Fixed4(units_ + other.units_); }
    Fixed4 operator-(Fixed4 other) const { return Fixed4(units_ - other.units_); }
    Fixed4 times(int factor) const { return Fixed4(units_ * factor); }
    Fixed4 divided(double divisor) const { return of(value() / divisor); }
    auto operator<=>(const Fixed4&) const = default;

private:
    explicit Fixed4(std::int64_t units) : units_(units) {}
    std::int64_t units_;
};

const std::array<const char16_t*, 8> kPatternFaces = {
    u"@HG正楷書体-PRO", u"@HGP創英角ﾎﾟｯﾌﾟ体", u"@ＭＳ Ｐゴシック", u"@ＭＳ Ｐ明朝",
    u"Impact",          u"@HG行書体",         u"ＭＳ Ｐゴシック",  u"@HGS明朝B",
};

const std::array<QColor, 8> kFinalColours = {
    QColor(0, 255, 255),   QColor(255, 0, 255),   QColor(255, 255, 0),   QColor(128, 255, 255),
    QColor(128, 255, 128), QColor(128, 128, 255), QColor(255, 128, 255), QColor(0, 255, 128),
};

QString numberText(std::int16_t number) {
    const QString digits = QStringLiteral("%1").arg(std::abs(number), 2, 10, QLatin1Char('0'));
    return number < 0 ? QLatin1Char('-') + digits : digits;
}

std::size_t pickIndex(const HitPatternTools& tools) {
    return static_cast<std::size_t>(std::clamp(tools.pick(8), 1, 8) - 1);
}

// The grey of the trail: 5, 10, …, 250, 0, 5, …
class Greys {
public:
    QColor next() {
        level_ = (level_ + 5) % 255;
        return QColor(level_, level_, level_);
    }

private:
    int level_ = 0;
};

// One announcement's hold on the box.
class Run {
public:
    explicit Run(const HitPatternTools& tools) : tools_(tools), box_(&tools.box), claim_(tools.box.claim()) {}

    PictureBox& box() const { return *box_; }
    // Puts the frame on the screen and lets pending events run. False when the box has gone or a
    // newer announcement has taken it over meanwhile: this one must not draw any more.
    bool endFrame() const {
        box_->flush();
        tools_.pump.doEvents();
        return box_ && box_->currentClaim() == claim_;
    }
    void moveTo(Fixed4 x, Fixed4 y) const {
        box_->setCurrentX(x.value());
        box_->setCurrentY(y.value());
    }
    void growFont() const { box_->setFontSize(box_->fontSize() + 2); }
    // One frame of the trail: the number at (x, y), a size larger and a grey lighter than before.
    bool trailFrame(Fixed4 x, Fixed4 y, Greys& greys, const QString& text, bool lineEnd) const {
        moveTo(x, y);
        growFont();
        box_->setForeColor(greys.next());
        box_->print(text, lineEnd);
        return endFrame();
    }
    void pickPatternFont() const { box_->setFontName(QString::fromUtf16(kPatternFaces[pickIndex(tools_)])); }
    bool showFinalNumber(std::int16_t number) const {
        box_->setForeColor(kFinalColours[pickIndex(tools_)]);
        box_->print(numberText(number), true);
        return endFrame();
    }

private:
    const HitPatternTools& tools_;
    QPointer<PictureBox> box_;
    std::uint64_t claim_;
};

struct Line {
    Fixed4 x0, y0;
    int dx, dy;
};

Line lineOf(std::int16_t pattern, Fixed4 w, Fixed4 h) {
    const Fixed4 zero = Fixed4::of(0);
    const Fixed4 w4 = w.divided(4), h4 = h.divided(4), w2 = w.divided(2), h2 = h.divided(2);
    switch (pattern) {
    case 1: return {zero, zero, 1, 1};
    case 2: return {w - w4, zero, -1, 1};
    case 3: return {zero, h - h4, 1, -1};
    case 4: return {w - w4, h - h4, -1, -1};
    case 5: return {zero, h2, 1, -1};
    case 6: return {w2, h2, -1, -1};
    case 7: return {w4, h - h4, 0, -1};
    case 8: return {zero, h4, 1, 0};
    default: return {zero, zero, 0, 0};
    }
}

// The first of 3..600 at which "A" in 2·i points is higher than half the box; 601 if none is.
// Text height grows with the size, so a binary search finds it in ten measurements, not hundreds.
int stepCount(PictureBox& box, double halfHeight) {
    int low = 3, high = 601; // the answer is in [low, high]
    while (low < high) {
        const int mid = (low + high) / 2;
        box.setFontSize(2.0 * mid);
        if (box.textHeight(QStringLiteral("A")) > halfHeight)
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

void playLine(std::int16_t number, std::int16_t pattern, const HitPatternTools& tools) {
    const Run run(tools);
    PictureBox& box = run.box();
    box.clear();
    box.show();
    const Fixed4 w = Fixed4::of(box.scaleWidth()), h = Fixed4::of(box.scaleHeight());
    const Fixed4 last = h.divided(2);
    // Measured in the face the previous announcement left behind.
    const int steps = stepCount(box, last.value());
    box.setFontSize(1);
    const Line line = lineOf(pattern, w, h);
    run.pickPatternFont();
    const double bottom = box.scaleHeight();
    // A box too small for one step's worth of movement still advances the counter.
    const Fixed4 step = std::max(last.divided(steps), Fixed4::of(0.0001));
    const QString text = numberText(number);
    Greys greys;
    Fixed4 k = Fixed4::of(1);
    for (; k <= last; k = k + step) {
        if (!run.trailFrame(line.x0 + k.times(line.dx), line.y0 + k.times(line.dy), greys, text, true))
            return;
        if (box.currentY() > bottom)
            break;
    }
    run.moveTo(line.x0 + k.times(line.dx), line.y0 + k.times(line.dy));
    run.growFont();
    if (run.showFinalNumber(number))
        run.endFrame();
}

struct Circle {
    Fixed4 cx, cy;
    double radius;
    int turn; // +1 clockwise on screen, -1 anticlockwise
};

Circle circleOf(std::int16_t pattern, Fixed4 w, Fixed4 h) {
    const Fixed4 left = w.divided(5);
    switch (pattern) {
    case 9: return {left, h.divided(3), 2000, 1};
    case 10: return {left, h.divided(8), 2000, -1};
    case 11: return {left, h.divided(3), 3000, 1};
    case 12: return {left, h.divided(10), 3000, -1};
    default: return {Fixed4::of(0), Fixed4::of(0), 0, 1};
    }
}

void playCircle(std::int16_t number, std::int16_t pattern, const HitPatternTools& tools) {
    const Run run(tools);
    PictureBox& box = run.box();
    box.clear();
    box.show();
    const Circle circle = circleOf(pattern, Fixed4::of(box.scaleWidth()), Fixed4::of(box.scaleHeight()));
    run.pickPatternFont();
    const double bottom = box.scaleHeight();
    const double right = box.scaleWidth();
    box.setFontSize(1);
    const QString text = numberText(number);
    Greys greys;
    Fixed4 x = Fixed4::of(0), y = Fixed4::of(0);
    for (int t = 0; t <= 628; t += 4) {
        const double angle = t / 100.0;
        x = Fixed4::of(circle.cx.value() + circle.radius * std::cos(angle));
        y = Fixed4::of(circle.cy.value() + circle.turn * circle.radius * std::sin(angle));
        if (!run.trailFrame(x, y, greys, text, false))
            return;
        if (box.currentX() > right)
            break;
        run.moveTo(x, y);
        box.print(text, true);
        if (box.currentY() > bottom)
            break;
    }
    run.moveTo(x, y);
    run.showFinalNumber(number);
}

} // namespace

void playHitPattern(std::int16_t number, std::int16_t pattern, const HitPatternTools& tools) {
    if (pattern > 8)
        playCircle(number, pattern, tools);
    else
        playLine(number, pattern, tools);
}

void showHitAnnouncement(std::int16_t number, std::span<QLineEdit* const> board, const HitPatternTools& tools) {
    for (QLineEdit* box : board)
        if (box)
            box->hide();
    const auto pattern = static_cast<std::int16_t>(tools.pick(12));
    playHitPattern(number, pattern, tools);
}

} // namespace halvora
