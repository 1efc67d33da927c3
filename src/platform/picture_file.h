#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace halvora {

// Reads a picture decoded straight at the size it is shown at (fitted into `shownAt` with `mode`),
// so a photo of tens of megapixels is neither refused by the decoder's memory limit nor slow.
// A picture that fits already is read at its own size. A null image when the file cannot be read.
QImage readPictureAt(const QString& path, const QSize& shownAt, Qt::AspectRatioMode mode);

} // namespace halvora
