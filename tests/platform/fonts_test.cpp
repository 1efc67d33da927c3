#include "platform/fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QRawFont>

#include <gtest/gtest.h>

namespace halvora {
namespace {

// Every face the program names is drawn with an installed font meant for the text it prints — not
// with boxes, and not with a symbol font that merely maps the digits to pictures. Only the numbers
// are printed in Impact; every other face prints Japanese too.
TEST(Fonts, EveryNamedFaceRendersItsTextWithARealFont) {
    const QString digits = QStringLiteral("0123456789");
    const QString japanese = QStringLiteral("回数当り回す抽選時間ﾎﾟｯﾌﾟ７５");
    for (const char* name : {"ＭＳ ゴシック", "ＭＳ Ｐゴシック", "@ＭＳ Ｐゴシック", "ＭＳ 明朝",
                             "ＭＳ Ｐ明朝", "@ＭＳ Ｐ明朝", "MS UI Gothic", "HGP創英角ﾎﾟｯﾌﾟ体",
                             "@HGP創英角ﾎﾟｯﾌﾟ体", "@HGS明朝B", "@HG正楷書体-PRO", "@HG行書体", "Impact"}) {
        const QString face = QString::fromUtf8(name);
        const bool isJapanese = face != QStringLiteral("Impact");
        const QString family = substituteFace(face);
        SCOPED_TRACE(std::string(name) + " renders with " + family.toStdString());
        const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
        EXPECT_TRUE(systems.contains(QFontDatabase::Latin) && !systems.contains(QFontDatabase::Symbol) &&
                    (!isJapanese || systems.contains(QFontDatabase::Japanese)));
        const QRawFont raw = QRawFont::fromFont(QFont(face, 20));
        for (const QChar c : isJapanese ? digits + japanese : digits)
            EXPECT_TRUE(raw.supportsCharacter(c)) << "lacks " << QString(c).toStdString();
    }
}

} // namespace
} // namespace halvora
