#include "platform/colours.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

#include <cmath>
#include <cstdint>

namespace halvora {

namespace {

// The system colours a colour text can name, mapped onto the application's palette.
std::optional<QColor> systemColour(std::uint32_t index) {
    const QPalette p = QApplication::palette();
    switch (index) {
    case 0: return p.color(QPalette::Base);          // scroll bar
    case 1: return p.color(QPalette::Window);        // desktop
    case 4: return p.color(QPalette::Window);        // menu
    case 5: return p.color(QPalette::Base);          // window background
    case 7: return p.color(QPalette::WindowText);    // menu text
    case 8: return p.color(QPalette::Text);          // window text
    case 13: return p.color(QPalette::Highlight);
    case 14: return p.color(QPalette::HighlightedText);
    case 15: return p.color(QPalette::Button);       // button face
    case 16: return p.color(QPalette::Dark);         // button shadow
    case 17: return p.color(QPalette::PlaceholderText);
    case 18: return p.color(QPalette::ButtonText);
    case 20: return p.color(QPalette::Light);        // button highlight
    case 24: return p.color(QPalette::ToolTipBase);
    case 23: return p.color(QPalette::ToolTipText);
    default: return std::nullopt;
    }
}

} // namespace

std::optional<QColor> colourFromText(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value != std::floor(value) || value < -2147483648.0 ||
        value > 2147483647.0)
        return std::nullopt;
    const auto bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
    if (bits & 0x80000000u)
        return systemColour(bits & 0x7FFFFFFFu);
    if (bits > 0xFFFFFFu)
        return std::nullopt;
    return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                  static_cast<int>((bits >> 16) & 0xFF));
}

QString colourText(int red, int green, int blue) {
    return QString::number(static_cast<std::uint32_t>(red) | static_cast<std::uint32_t>(green) << 8 |
                           static_cast<std::uint32_t>(blue) << 16);
}

void setColour(QWidget* widget, QPalette::ColorRole role, const QString& text) {
    const std::optional<QColor> colour = colourFromText(text);
    if (!colour) // a text that names no colour keeps the control's colour
        return;
    QPalette palette = widget->palette();
    if (palette.color(role) == *colour)
        return;
    palette.setColor(role, *colour);
    widget->setPalette(palette);
}

QString colourText(const QColor& colour) { return colourText(colour.red(), colour.green(), colour.blue()); }

void keepPlatformColours(QWidget* widget) {
    widget->setAutoFillBackground(true);
    const QPalette face = QApplication::palette();
    QPalette palette = widget->palette();
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::WindowText, QPalette::Button,
                                           QPalette::ButtonText, QPalette::Base, QPalette::Text})
        palette.setColor(role, face.color(role));
    widget->setPalette(palette);
}

} // namespace halvora
