#include "platform/fonts.h"

#include <QFont>
#include <QFontInfo>
#include <QStringList>

#include <utility>

namespace halvora {

namespace {

struct Substitution {
    const char16_t* face;
    const char16_t* installed[2];
};

// The faces the program names, each with two installed faces of the same kind: for the Japanese
// ones an IPA and a Noto face. Without an entry fontconfig may pick any font, even a symbol font that
// draws digits as pictures.
constexpr Substitution kSubstitutions[] = {
    {u"ＭＳ ゴシック", {u"IPAGothic", u"Noto Sans Mono CJK JP"}},
    {u"ＭＳ Ｐゴシック", {u"IPAPGothic", u"Noto Sans CJK JP"}},
    {u"ＭＳ 明朝", {u"IPAMincho", u"Noto Serif CJK JP"}},
    {u"ＭＳ Ｐ明朝", {u"IPAPMincho", u"Noto Serif CJK JP"}},
    {u"MS UI Gothic", {u"IPAPGothic", u"Noto Sans CJK JP"}},
    {u"HGP創英角ﾎﾟｯﾌﾟ体", {u"IPAPGothic", u"Noto Sans CJK JP"}},
    {u"HGS明朝B", {u"IPAPMincho", u"Noto Serif CJK JP"}},
    {u"HG正楷書体-PRO", {u"IPAPMincho", u"Noto Serif CJK JP"}},
    {u"HG行書体", {u"IPAPMincho", u"Noto Serif CJK JP"}},
    {u"Impact", {u"Nimbus Sans Narrow", u"DejaVu Sans"}}, // a heavy narrow sans
};

} // namespace

void installFontSubstitutions() {
    for (const Substitution& s : kSubstitutions) {
        const QStringList installed{QString::fromUtf16(s.installed[0]), QString::fromUtf16(s.installed[1])};
        const QString face = QString::fromUtf16(s.face);
        QFont::insertSubstitutions(face, installed);
        // "@" names the same face set vertically.
        QFont::insertSubstitutions(QLatin1Char('@') + face, installed);
    }
}

QString substituteFace(const QString& face) {
    return QFontInfo(QFont(face)).family();
}

} // namespace halvora
