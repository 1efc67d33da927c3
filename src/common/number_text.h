#pragma once

#include <QString>

#include <cstdint>
#include <span>

namespace halvora {

// The numeric value of a text: "," removed, blanks ignored, reading stops at the first character
// that cannot continue a decimal number; no leading number gives 0.
double numberFromText(const QString& text);

// Empties fields[1..count], then cuts fields[0] at every delimiter into fields[1], fields[2], ….
// Pieces beyond `count` (or beyond the span) are dropped.
void splitFields(std::span<QString> fields, const QString& delimiter, int count);

// Fixed-width right-aligned number text for a pattern of "#" positions: 0 gives blanks, a value
// wider than the pattern gives blanks.
QString formatField(std::int64_t value, const QString& pattern);

// Conversions to the program's integer widths: halves round to even, values out of range are clamped
// (not a number gives 0).
std::int32_t roundToInt32(double value);
std::int16_t roundToInt16(double value);

} // namespace halvora
