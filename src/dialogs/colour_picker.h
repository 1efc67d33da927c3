#pragma once

#include <QString>

#include <optional>

namespace halvora {

class Dialogs;

namespace ColourPicker {

// Shows the colour picker, tied to no window, starting from black with sixteen black custom colours.
// On OK: the colour as a signed number text, a blank before a non-negative value (white reads
// " 16777215"). On cancel: nothing.
std::optional<QString> pickColour(Dialogs& dialogs);

} // namespace ColourPicker

} // namespace halvora
