#pragma once

#include <QString>

namespace halvora {

// Maps the Japanese face names the program uses onto installed IPA/Noto faces, so Japanese text
// renders and measures with real glyphs. Call once after the application object exists.
void installFontSubstitutions();

// The installed face that the given face name renders with.
QString substituteFace(const QString& face);

} // namespace halvora
