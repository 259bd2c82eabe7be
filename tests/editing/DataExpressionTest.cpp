// SPDX-License-Identifier: MIT
#include "editing/DataExpression.h"

#include <gtest/gtest.h>
#include <string_view>

using vellisto::editing::ApplyDataExpression;

namespace {

// The value after applying text to start, and whether it was applied.
std::pair<bool, std::uint32_t> Apply(std::string_view text, std::uint32_t start)
{
    std::uint32_t value = start;
    const bool applied = ApplyDataExpression(text, value);
    return { applied, value };
}

} // namespace

TEST(DataExpression, LeadingDigitReplacesTheValueInCNotation)
{
    EXPECT_EQ(Apply("010", 99), std::make_pair(true, 8u));
    EXPECT_EQ(Apply("0x10", 99), std::make_pair(true, 16u));
    EXPECT_EQ(Apply("0", 99), std::make_pair(true, 0u));
    EXPECT_EQ(Apply("5*2", 99), std::make_pair(true, 5u)); // reading stops at the '*'
    EXPECT_EQ(Apply("99999999999", 1), std::make_pair(true, 0xFFFFFFFFu));
}

TEST(DataExpression, IntegerOperatorsWrapModulo32Bits)
{
    EXPECT_EQ(Apply("-5", 3), std::make_pair(true, 4294967294u));
    EXPECT_EQ(Apply("+10", 4294967290u), std::make_pair(true, 4u));
    EXPECT_EQ(Apply("+0x10", 1), std::make_pair(true, 17u));
    EXPECT_EQ(Apply("*3", 0x80000001u), std::make_pair(true, 0x80000003u));
    EXPECT_EQ(Apply("/2", 7), std::make_pair(true, 3u));
    EXPECT_EQ(Apply("/3", 0xFFFFFFFFu), std::make_pair(true, 0x55555555u));
}

TEST(DataExpression, RealOperandsTruncateTowardZero)
{
    EXPECT_EQ(Apply("*0.5", 7), std::make_pair(true, 3u));
    EXPECT_EQ(Apply("*1.5", 4000000000u), std::make_pair(true, 1705032704u)); // 6e9 mod 2^32
    EXPECT_EQ(Apply("*-0.5", 10), std::make_pair(true, 0xFFFFFFFBu));
    EXPECT_EQ(Apply("/0.5", 7), std::make_pair(true, 14u));
    EXPECT_EQ(Apply("/2.0", 7), std::make_pair(true, 3u));
    EXPECT_EQ(Apply("*1e30.", 5), std::make_pair(true, 0u)); // does not fit 64 bits
}

TEST(DataExpression, UnusableTextsLeaveTheValue)
{
    for (std::string_view text :
        { "", "*", "+", "-x", "/", "*.", "a5", " 5", "/0", "/0.0", "/-0.0" })
        EXPECT_EQ(Apply(text, 42), std::make_pair(false, 42u)) << '"' << text << '"';
}
