#pragma once

#include <QString>

namespace halvora {

class Dialogs;

namespace ColourPicker {

// Shows the colour picker, tied to no window, starting from black with sixteen black custom colours.
// On OK: true and the colour as a signed number text, a blank before a non-negative value (white
// reads " 16777215"). On cancel: false and an empty text.
bool pickColour(Dialogs& dialogs, QString& colour);

} // namespace ColourPicker

} // namespace halvora
