#include "platform/picture_file.h"

#include <QImageReader>

namespace halvora {

QImage readPictureAt(const QString& path, const QSize& shownAt, Qt::AspectRatioMode mode) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    // Only ever smaller: a small picture is enlarged where it is shown, as before.
    const bool larger = full.width() > shownAt.width() || full.height() > shownAt.height();
    if (full.isValid() && !shownAt.isEmpty() && larger)
        reader.setScaledSize(full.scaled(shownAt, mode));
    return reader.read();
}

} // namespace halvora
