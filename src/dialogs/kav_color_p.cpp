#include "dialogs/kav_color_p.h"

#include "platform/dialogs.h"

namespace halvora::KavColorP {

namespace {

// A signed number as the program prints numbers: a sign position that is blank when not negative.
QString signedNumberText(qint64 value) {
    return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value);
}

} // namespace

bool PickColour(Dialogs& dialogs, QString& colour) {
    ColourRequest request; // no owner, black start, custom colours all black: nothing is kept between picks
    colour.clear();
    if (!dialogs.chooseColor(request))
        return false;
    colour = signedNumberText(static_cast<qint64>(request.rgbResult));
    return true;
}

} // namespace halvora::KavColorP
