#pragma once

#include <QColor>
#include <QString>

#include <optional>

namespace halvora {

// Colour texts hold the signed decimal 0x00BBGGRR value; a negative value with the top bit set
// names a system colour (0x80000000 | index).
std::optional<QColor> colourFromText(const QString& text);
QString colourText(const QColor& colour);
QString colourText(int red, int green, int blue);

} // namespace halvora
