// SPDX-License-Identifier: MIT
#include "platform/ByteCursor.h"

#include "platform/ByteWriter.h"

#include <gtest/gtest.h>
#include <vector>

using namespace vellisto::platform;

TEST(ByteCursor, ReadsBothByteOrders)
{
    const std::vector<std::uint8_t> bytes { 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09,
        0x0A, 0x0B, 0x0C, 0x0D };
    ByteCursor cursor(bytes);
    EXPECT_EQ(cursor.readU32le(), 0x04030201u);
    EXPECT_EQ(cursor.readU32be(), 0x05060708u);
    EXPECT_EQ(cursor.readU16le(), 0x0A09u);
    EXPECT_EQ(cursor.readU16be(), 0x0B0Cu);
    EXPECT_EQ(cursor.readU8(), 0x0Du);
    EXPECT_TRUE(cursor.atEnd());
}

TEST(ByteCursor, ShortReadFailsWithoutMoving)
{
    const std::vector<std::uint8_t> bytes { 1, 2, 3 };
    ByteCursor cursor(bytes);
    EXPECT_EQ(cursor.readU32le(), std::nullopt);
    EXPECT_EQ(cursor.readU32be(), std::nullopt);
    EXPECT_EQ(cursor.offset(), 0u);
    EXPECT_TRUE(cursor.skip(1));
    EXPECT_EQ(cursor.take(3), std::nullopt);
    EXPECT_FALSE(cursor.skip(0xFFFFFFFFFFFFFFFFull));
    EXPECT_EQ(cursor.offset(), 1u);
    const auto rest = cursor.take(2);
    ASSERT_TRUE(rest);
    EXPECT_EQ(rest->size(), 2u);
    EXPECT_EQ((*rest)[1], 3);
    EXPECT_EQ(cursor.readU8(), std::nullopt);
    EXPECT_EQ(cursor.readU16le(), std::nullopt);
    EXPECT_TRUE(cursor.skip(0));
}

TEST(ByteWriter, WritesWhatTheCursorReads)
{
    ByteWriter writer;
    writer.appendU32le(0xDEADBEEF);
    writer.appendU16le(0x1234);
    writer.appendU32be(0x01020304);
    writer.appendU8(9);
    EXPECT_EQ(writer.bytes(),
        (std::vector<std::uint8_t> { 0xEF, 0xBE, 0xAD, 0xDE, 0x34, 0x12, 1, 2, 3, 4, 9 }));
    ByteCursor cursor(writer.bytes());
    EXPECT_EQ(cursor.readU32le(), 0xDEADBEEFu);
    EXPECT_EQ(cursor.readU16le(), 0x1234u);
    EXPECT_EQ(cursor.readU32be(), 0x01020304u);
}
