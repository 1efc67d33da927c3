#include "common/number_text.h"

#include <QStringList>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace halvora {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The longest decimal number at the start of `text`: sign, digits, one point, and an exponent
// (E or D) only when digits follow it. Returned in plain ASCII for the C-locale conversion.
QByteArray leadingNumber(const QString& text) {
    QByteArray number;
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        number += text[i++].toLatin1();
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (isDigit(text[i]))
            digits = true;
        else if (text[i] == u'.' && !point)
            point = true;
        else
            break;
        number += text[i].toLatin1();
    }
    if (!digits)
        return {};
    if (i < text.size() && QStringLiteral("eEdD").contains(text[i])) {
        qsizetype j = i + 1;
        QByteArray exponent = "e";
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-'))
            exponent += text[j++].toLatin1();
        const qsizetype firstDigit = j;
        for (; j < text.size() && isDigit(text[j]); ++j)
            exponent += text[j].toLatin1();
        if (j > firstDigit)
            number += exponent;
    }
    return number;
}

template <typename Int> Int roundClamped(double value) {
    if (std::isnan(value))
        return 0;
    constexpr double low = std::numeric_limits<Int>::min();
    constexpr double high = std::numeric_limits<Int>::max();
    // The default rounding mode takes halves to the even neighbour.
    return static_cast<Int>(std::nearbyint(std::clamp(value, low, high)));
}

} // namespace

double numberFromText(const QString& text) {
    QString compact;
    compact.reserve(text.size());
    for (QChar c : text)
        if (c != u',' && !isBlank(c))
            compact += c;
    const QByteArray number = leadingNumber(compact);
    if (number.isEmpty())
        return 0;
    // The C locale reads "." as the decimal point whatever the user's locale says.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    const double value = strtod_l(number.constData(), nullptr, cLocale);
    // A number too large for a double is kept as the largest one rather than an infinity.
    if (std::isinf(value))
        return std::copysign(std::numeric_limits<double>::max(), value);
    return value;
}

void splitFields(std::span<QString> fields, const QString& delimiter, int count) {
    if (fields.empty())
        return;
    const qsizetype last = std::min<qsizetype>(count, static_cast<qsizetype>(fields.size()) - 1);
    for (qsizetype i = 1; i <= last; ++i)
        fields[i].clear();
    // An empty delimiter cannot cut anything: the whole text is the one piece.
    const QStringList pieces =
        delimiter.isEmpty() ? QStringList{fields[0]} : fields[0].split(delimiter, Qt::KeepEmptyParts);
    for (qsizetype i = 1; i <= last && i <= pieces.size(); ++i)
        fields[i] = pieces[i - 1];
}

QString formatField(std::int64_t value, const QString& pattern) {
    const qsizetype width = pattern.size();
    // "0" positions print leading zeros, "#" positions do not: 0 with "###" prints nothing.
    const qsizetype zeros = pattern.count(u'0');
    const quint64 magnitude = value < 0 ? 0 - static_cast<quint64>(value) : static_cast<quint64>(value);
    QString digits = magnitude == 0 ? QString() : QString::number(magnitude);
    if (digits.size() < zeros)
        digits = digits.rightJustified(zeros, u'0');
    if (value < 0)
        digits.prepend(u'-');
    if (digits.size() > width)
        return QString(width, u' ');
    return digits.rightJustified(width, u' ');
}

std::int32_t roundToInt32(double value) {
    return roundClamped<std::int32_t>(value);
}

std::int16_t roundToInt16(double value) {
    return roundClamped<std::int16_t>(value);
}

} // namespace halvora
