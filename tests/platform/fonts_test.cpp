#include "platform/fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QRawFont>

#include <gtest/gtest.h>

namespace halvora {
namespace {

// Every face the program names is drawn with an installed font meant for the text it prints — not
// with boxes, and not with a symbol font that merely maps the digits to pictures.
TEST(Fonts, EveryNamedFaceRendersItsTextWithARealFont) {
    const QString digits = QStringLiteral("0123456789");
    const QString japanese = QStringLiteral("回数当り回す抽選時間ﾎﾟｯﾌﾟ７５");
    const struct {
        const char* face;
        bool japanese;
    } faces[] = {
        {"ＭＳ ゴシック", true}, {"ＭＳ Ｐゴシック", true},  {"@ＭＳ Ｐゴシック", true},
        {"ＭＳ 明朝", true},     {"ＭＳ Ｐ明朝", true},      {"@ＭＳ Ｐ明朝", true},
        {"MS UI Gothic", true},  {"HGP創英角ﾎﾟｯﾌﾟ体", true}, {"@HGP創英角ﾎﾟｯﾌﾟ体", true},
        {"@HGS明朝B", true},     {"@HG正楷書体-PRO", true},  {"@HG行書体", true},
        {"Impact", false},
    };
    for (const auto& f : faces) {
        const QString face = QString::fromUtf8(f.face);
        const QString family = substituteFace(face);
        const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
        EXPECT_TRUE(systems.contains(QFontDatabase::Latin) && !systems.contains(QFontDatabase::Symbol))
            << f.face << " renders with " << family.toStdString();
        EXPECT_TRUE(!f.japanese || systems.contains(QFontDatabase::Japanese))
            << f.face << " renders with " << family.toStdString();
        const QRawFont raw = QRawFont::fromFont(QFont(face, 20));
        for (const QChar c : f.japanese ? digits + japanese : digits)
            EXPECT_TRUE(raw.supportsCharacter(c)) << f.face << " lacks " << QString(c).toStdString();
    }
}

} // namespace
} // namespace halvora
