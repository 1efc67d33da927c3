#include "common/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace halvora {
namespace {

TEST(NumberText, NumberFromTextFieldsAndRounding) {
    // clang-format off
    const std::pair<const char*, double> cases[] = {
        // commas and blanks dropped anywhere; reading stops where a number cannot go on
        {"1,200", 1200}, {" 30 ", 30}, {"1 2,3", 123}, {"- 5", -5}, {"-1.5e2x", -150}, {"1.2.3", 1.2},
        {"+7", 7}, {".5", 0.5}, {"2D3", 2000},
        // an exponent mark without digits ends the number before it; no leading number gives 0
        {"1e", 1}, {"3E+", 3}, {"", 0}, {"abc", 0}, {"-", 0}, {"+.", 0}, {"e5", 0},
        // beyond a double's range: the largest double, not an infinity
        {"-1e999", -std::numeric_limits<double>::max()}};
    // clang-format on
    for (const auto& [text, value] : cases)
        EXPECT_EQ(numberFromText(QString::fromUtf8(text)), value) << text;
    EXPECT_EQ(numberFromText(QString::fromLatin1("42\0\0", 4)), 42); // a reply padded with NULs

    // A number in a "###" field: blank for 0 and whatever does not fit.
    // clang-format off
    const std::pair<std::int64_t, const char*> fields[] = {
        {0, "   "}, {7, "  7"}, {75, " 75"}, {999, "999"}, {1000, "   "},
        {-5, " -5"}, {-100, "   "}, {std::numeric_limits<std::int64_t>::min(), "   "}};
    // clang-format on
    for (const auto& [value, text] : fields)
        EXPECT_EQ(formatField(value, "###"), text) << value;
    // Halves to even, clamped to the range, not a number gives 0.
    for (const auto& [value, rounded] : {std::pair(2.5, 2), {-3.5, -4}, {1e10, INT32_MAX}, {std::nan(""), 0}})
        EXPECT_EQ(roundToInt32(value), rounded) << value;
    EXPECT_EQ(roundToInt16(-40000), -32768);
}

} // namespace
} // namespace halvora
