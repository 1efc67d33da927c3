#include "dialogs/colour_picker.h"

#include "platform/colours.h"
#include "platform/dialogs.h"

namespace halvora::ColourPicker {

std::optional<QString> pickColour(Dialogs& dialogs) {
    // From black every time: nothing is kept between picks.
    const std::optional<QColor> picked = dialogs.chooseColour(Qt::black);
    if (!picked)
        return std::nullopt;
    // A picked colour is never negative; the program prints a blank in the place of the sign.
    return QLatin1Char(' ') + colourText(*picked);
}

} // namespace halvora::ColourPicker
