// SPDX-License-Identifier: MIT
#include "import/ImportTables.h"

#include <gtest/gtest.h>
#include <numeric>

using namespace vellisto::import;

namespace {

// Sum of the entries and sum of index x entry, in 64 bits.
std::pair<std::int64_t, std::int64_t> Checksums(std::span<const std::int32_t> table)
{
    std::int64_t sum = 0;
    std::int64_t weighted = 0;
    for (std::size_t i = 0; i < table.size(); ++i) {
        sum += table[i];
        weighted += static_cast<std::int64_t>(i) * table[i];
    }
    return { sum, weighted };
}

} // namespace

TEST(ImportTables, NotePitchReferenceEntries)
{
    BuildImportTables();
    const auto table = NotePitchTable();
    EXPECT_EQ(table[0], 311743);
    EXPECT_EQ(table[60], 9975792);
    EXPECT_EQ(table[69], 16777216); // A above middle C plays at the sound's own pitch
    EXPECT_EQ(table[81], 2 * 16777216); // an octave up
    EXPECT_EQ(table[127], 478297607);
}

TEST(ImportTables, BendReferenceEntries)
{
    BuildImportTables();
    const auto table = BendTable();
    EXPECT_EQ(table[0], 14946800); // two semitones down
    EXPECT_EQ(table[8192], 16777216);
    EXPECT_EQ(table[16383], 18831522); // just short of two semitones up
    EXPECT_TRUE(std::is_sorted(table.begin(), table.end()));
}

// The sums of trunc(2^24 x 2^((i - 69) / 12)) and trunc(2^24 x 2^((i - 8192) /
// 49152)) over each table, taken from the exact values with 50 significant
// digits: every entry must be the exact value rounded toward zero.
TEST(ImportTables, ChecksumsMatchTheExactValues)
{
    BuildImportTables();
    EXPECT_EQ(Checksums(NotePitchTable()),
        std::make_pair(std::int64_t { 8516659309 }, std::int64_t { 939060823589 }));
    EXPECT_EQ(Checksums(BendTable()),
        std::make_pair(std::int64_t { 275487780624 }, std::int64_t { 2343486028885170 }));
}

TEST(ImportTables, LookupsStayInsideTheTables)
{
    BuildImportTables();
    EXPECT_EQ(NotePitch(0x80 + 60), NotePitchTable()[60]);
    EXPECT_EQ(BendPitch(0xFFFF), BendTable()[16383]);
}
