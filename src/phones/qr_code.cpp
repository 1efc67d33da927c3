#include "phones/qr_code.h"

#include <qrencode.h>

#include <QPainter>

#include <memory>

namespace halvora {

QImage qrCodeImage(const QString& text, int scale) {
    const QByteArray data = text.toUtf8();
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(data.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), &QRcode_free);
    if (!code || scale < 1)
        return {};
    constexpr int kQuietZone = 4;
    const int width = code->width;
    const int side = (width + 2 * kQuietZone) * scale;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int y = 0; y < width; ++y)
        for (int x = 0; x < width; ++x)
            if (code->data[y * width + x] & 1)
                painter.fillRect((x + kQuietZone) * scale, (y + kQuietZone) * scale, scale, scale, Qt::black);
    return image;
}

} // namespace halvora
