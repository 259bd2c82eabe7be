// SPDX-License-Identifier: MIT
#include "views/TextFormat.h"

#include <clocale>
#include <gtest/gtest.h>

using namespace vellisto::views;

TEST(TextFormat, FillsTheTableFormatsLikePrintf)
{
    struct Case {
        std::string format;
        std::string expected;
        std::vector<FormatArgument> arguments;
    };
    const Case cases[] = {
        { "Buffer length           %-10u|", "Buffer length           4096      |", { 4096u } },
        { "Master volume           %-6.4f|", "Master volume           1.0000|", { 1.0 } },
        { "%-6.4f|", "-0.5000|", { -0.5 } },
        { "%-6.4f|", "256.0000|", { 256.0 } }, // wider than the width: nothing cut
        { "Volume              %10.4f", "Volume                  0.5000", { 0.5 } },
        { "Beginning of loop   %10u", "Beginning of loop   4294967295", { 0xFFFFFFFFu } },
        { "%02u:%02u.%03u", "1623:11.548", { 1623u, 11u, 548u } },
        { "%02u:%02u.%03u", "00:01.005", { 0u, 1u, 5u } },
        { "Linked ID                 %4u", "Linked ID                   12", { 12u } },
        { "Ch %u %f\n", "Ch 1 0.500000\n", { 1u, 0.5 } },
        { "Ch %u %i\n", "Ch 0 -32768\n", { 0u, std::int32_t { -32768 } } },
        { "Ch %u %i\n", "Ch 0 -1\n", { 0u, 0xFFFFFFFFu } }, // %i reads the word signed
        { "%05i", "-0042", { std::int32_t { -42 } } },
        { "%.6f", "16.000000", { 16.0 } },
        { "Length %s", "Length 00:01.486", { std::string_view("00:01.486") } },
        // A value is never read as a format, and %% is a percent sign.
        { "[%s] 100%%", "[%u %s] 100%", { std::string_view("%u %s") } },
        // Conversions without a value, or of unknown kinds, stay as written.
        { "%u and %u", "3 and %u", { 3u } },
        { "%x %u", "%x 5", { 5u } },
        { "trailing %", "trailing %", {} },
        { "%-", "%-", { 1u } },
    };
    for (const Case& c : cases) {
        std::string out;
        switch (c.arguments.size()) {
        case 0:
            out = FormatText(c.format, {});
            break;
        case 1:
            out = FormatText(c.format, { c.arguments[0] });
            break;
        case 2:
            out = FormatText(c.format, { c.arguments[0], c.arguments[1] });
            break;
        default:
            out = FormatText(c.format, { c.arguments[0], c.arguments[1], c.arguments[2] });
            break;
        }
        EXPECT_EQ(out, c.expected) << c.format;
    }
}

TEST(TextFormat, DecimalPointIgnoresTheProcessLocale)
{
    // A desktop may run in a locale that writes decimal commas; the texts
    // must not follow it. Skipped where no such locale is installed.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr
        && std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr)
        GTEST_SKIP() << "no locale with a decimal comma";
    const std::string out = FormatText("%-6.4f", { 2.0 });
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(out, "2.0000");
}

TEST(TextFormat, HugeWidthsFromADamagedFormatAreCapped)
{
    const std::string out = FormatText("%999999999u", { 1u });
    EXPECT_LE(out.size(), 256u);
    EXPECT_EQ(out.back(), '1');
}
