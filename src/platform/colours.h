#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

#include <optional>

class QWidget;

namespace halvora {

// Colour texts hold the signed decimal 0x00BBGGRR value; a negative value with the top bit set
// names a system colour (0x80000000 | index).
std::optional<QColor> colourFromText(const QString& text);
QString colourText(const QColor& colour);
QString colourText(int red, int green, int blue);
// Sets one colour role of the widget from a colour text; a text that names no colour changes nothing.
void setColour(QWidget* widget, QPalette::ColorRole role, const QString& text);
// The platform's own face and text colours on a widget that stands on the board, so what it says stays
// readable whatever colours the board is given.
void keepPlatformColours(QWidget* widget);

} // namespace halvora
