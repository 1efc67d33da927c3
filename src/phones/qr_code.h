#pragma once

#include <QImage>
#include <QString>

namespace halvora {

// `text` as a QR code, black on white with the quiet zone readers need, each module `scale` pixels
// square; a null image when it cannot be encoded.
QImage qrCodeImage(const QString& text, int scale);

} // namespace halvora
