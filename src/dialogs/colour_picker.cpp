#include "dialogs/colour_picker.h"

#include "platform/colours.h"
#include "platform/dialogs.h"

namespace halvora::ColourPicker {

namespace {

// A signed number as the program prints numbers: a sign position that is blank when not negative.
QString signedNumberText(qint64 value) {
    return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value);
}

} // namespace

bool pickColour(Dialogs& dialogs, QString& colour) {
    colour.clear();
    // Tied to no window, from black: nothing is kept between picks.
    const std::optional<QColor> picked = dialogs.chooseColour(nullptr, Qt::black);
    if (!picked)
        return false;
    colour = signedNumberText(static_cast<qint64>(colourValue(*picked)));
    return true;
}

} // namespace halvora::ColourPicker
