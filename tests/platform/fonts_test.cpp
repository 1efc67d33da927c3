#include "platform/fonts.h"

#include <QFont>
#include <QFontMetrics>
#include <QRawFont>

#include <gtest/gtest.h>

namespace halvora {
namespace {

// The faces the program names render Japanese with real glyphs, not boxes.
TEST(Fonts, JapaneseFacesRenderWithInstalledGlyphs) {
    const QString sample = QStringLiteral("回す当たり数抽選時間ﾎﾟｯﾌﾟ７５");
    for (const QString& face : {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("ＭＳ 明朝"),
                               QStringLiteral("HGP創英角ﾎﾟｯﾌﾟ体"), QStringLiteral("@ＭＳ Ｐゴシック")}) {
        const QString installed = substituteFace(face);
        EXPECT_TRUE(installed.startsWith(QStringLiteral("IPA")) || installed.startsWith(QStringLiteral("Noto")))
            << face.toStdString() << " renders with " << installed.toStdString();
        const QRawFont raw = QRawFont::fromFont(QFont(face, 20));
        for (const QChar c : sample)
            EXPECT_TRUE(raw.supportsCharacter(c)) << face.toStdString() << " lacks " << QString(c).toStdString();
    }
}

} // namespace
} // namespace halvora
