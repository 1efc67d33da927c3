#pragma once

#include <QRect>

class QScreen;

namespace halvora {

// Screen geometry in twips (1/1440 inch); 15 twips per pixel at 96 dpi.
constexpr int kTwipsPerInch = 1440;

double twipsPerPixel(double dotsPerInch);
double twipsPerPixel(const QScreen* screen);
int twipsToPixels(double twips, double twipsPerPixel);
double pixelsToTwips(int pixels, double twipsPerPixel);
QRect twipsToPixels(const QRectF& twips, double twipsPerPixel);

} // namespace halvora
