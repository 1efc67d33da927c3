#include "platform/twips.h"

#include <QScreen>

#include <cmath>

namespace halvora {

double twipsPerPixel(double dotsPerInch) { return dotsPerInch > 0 ? kTwipsPerInch / dotsPerInch : 15.0; }

double twipsPerPixel(const QScreen* screen) {
    return screen ? twipsPerPixel(screen->logicalDotsPerInch()) : 15.0;
}

int twipsToPixels(double twips, double perPixel) { return static_cast<int>(std::lround(twips / perPixel)); }

double pixelsToTwips(int pixels, double perPixel) { return pixels * perPixel; }

QRect twipsToPixels(const QRectF& twips, double perPixel) {
    // Edges are rounded, not sizes, so neighbouring controls that touch in twips touch in pixels.
    const int left = twipsToPixels(twips.left(), perPixel);
    const int top = twipsToPixels(twips.top(), perPixel);
    const int right = twipsToPixels(twips.left() + twips.width(), perPixel);
    const int bottom = twipsToPixels(twips.top() + twips.height(), perPixel);
    return QRect(left, top, right - left, bottom - top);
}

} // namespace halvora
