// SPDX-License-Identifier: MIT
#include "views/PanelPaint.h"

#include "views/PanelBitmap.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

using namespace vellisto::views;

namespace {

constexpr std::uint32_t kSentinel = 0x12345678;

// A pixel buffer with its own storage, prefilled with a sentinel so that
// writes outside the painted face show.
struct OwnedBuffer {
    std::vector<std::uint32_t> storage;
    PixelBuffer view;

    OwnedBuffer(std::int32_t width, std::int32_t height, std::int32_t stride)
        : storage(static_cast<std::size_t>(stride * height), kSentinel)
        , view { width, height, stride, storage.data() }
    {
    }
};

constexpr std::uint32_t Grey(std::uint32_t level) { return 0xFF000000u | level * 0x010101u; }

PanelCell Button(std::int32_t width, std::int32_t height, ButtonState state)
{
    PanelCell cell = MakeButtonCell(0, 0, width, height, u"", 0);
    cell.state = state;
    return cell;
}

struct PixelCase {
    std::int32_t x;
    std::int32_t y;
    std::uint32_t expected;
    const char* why;
};

void ExpectPixels(const PanelCell& cell, const std::vector<PixelCase>& cases)
{
    OwnedBuffer buffer(static_cast<std::int32_t>(cell.width()),
        static_cast<std::int32_t>(cell.height()), static_cast<std::int32_t>(cell.width()));
    ASSERT_TRUE(PaintPanelCell(buffer.view, cell));
    for (const PixelCase& c : cases)
        EXPECT_EQ(buffer.view.at(c.x, c.y), c.expected)
            << "pixel (" << c.x << ", " << c.y << "): " << c.why;
}

} // namespace

TEST(PanelPaint, BlendWeighsEachChannelAndTruncates)
{
    struct Case {
        std::uint32_t w1, pixel1, pixel2, w2, expected;
    };
    const Case cases[] = {
        { 256, 0xFF123456, 0xFFABCDEF, 0, 0xFF123456 },
        { 0, 0xFF123456, 0xFFABCDEF, 256, 0xFFABCDEF },
        // 255 x 128 / 256 = 127.5
        { 128, 0xFFFFFFFF, 0xFF000000, 128, 0xFF7F7F7F },
        // (192 x 192 + 64 x 255) / 256 = 207.75
        { 192, 0xFFC0C0C0, 0xFFFFFFFF, 64, 0xFFCFCFCF },
        // red 255 x 1 / 256 = 0; blue 255 x 255 / 256 = 254.0
        { 1, 0xFFFF0000, 0xFF0000FF, 255, 0xFF0000FE },
        // red (1600 + 37440) / 256 = 152.5, green 38144 / 256 = 149,
        // blue (4800 + 32448) / 256 = 145.5
        { 100, 0xFF102030, 0xFFF0E0D0, 156, 0xFF989591 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(Blend(c.w1, c.pixel1, c.pixel2, c.w2), c.expected)
            << std::hex << c.pixel1 << " " << c.pixel2 << " w1 " << std::dec << c.w1;
}

TEST(PanelPaint, ColourNumbersAreRedGreenBlueFromTheLowByte)
{
    const Colour lightBlue = ColourFromNumber(0xFF8080);
    EXPECT_EQ(lightBlue, (Colour { 0x80, 0x80, 0xFF }));
    EXPECT_EQ(PixelOf(lightBlue), 0xFF8080FFu);
    EXPECT_EQ(ColourOfPixel(0xFF8080FFu), lightBlue);
}

TEST(PanelPaint, EdgeWidthIsEightOrHalfTheShorterSide)
{
    struct Case {
        std::int32_t width, height, expected;
    };
    const Case cases[] = { { 120, 20, 8 }, { 16, 16, 8 }, { 15, 40, 7 }, { 10, 40, 5 },
        { 40, 6, 3 }, { 1, 1, 0 }, { 1000, 1000, 8 } };
    for (const Case& c : cases)
        EXPECT_EQ(EdgeWidth(c.width, c.height), c.expected) << c.width << " x " << c.height;
}

// A 120 x 20 silver button, up: h = 20, half = 10, edge width 8; rows count
// from the bottom (r = 19 - y) with q = r x 128 / 20.
TEST(PanelPaint, RaisedButtonSheenEdgesAndCorners)
{
    ExpectPixels(Button(120, 20, ButtonState::kUp),
        {
            { 60, 11, Grey(182), "r 8, q 51: 243 x 192 / 256 toward black" },
            { 60, 10, Grey(186), "r 9, q 57: 249 x 192 / 256 toward black" },
            { 60, 9, Grey(192), "r 10, q 64: the plain face" },
            { 60, 8, Grey(193), "r 11, q 70: (250 x 192 + 6 x 255) / 256 toward white" },
            { 60, 0, Grey(255), "top row: fully the white top edge" },
            { 60, 1, Grey(229), "r 18 sheen 204, then half white" },
            { 60, 2, Grey(215), "r 17 sheen 202, then a quarter white" },
            { 60, 19, Grey(0), "bottom row: fully the black bottom edge" },
            { 60, 18, Grey(74), "r 1 sheen 148, then half black" },
            { 60, 17, Grey(114), "r 2 sheen 153, then a quarter black" },
            { 0, 10, Grey(255), "left column white" },
            { 1, 10, Grey(220), "186 half toward white" },
            { 7, 10, Grey(186), "186 with 2/256 white still truncates to 186" },
            { 119, 10, Grey(0), "right column black" },
            { 118, 10, Grey(93), "186 half toward black" },
            { 1, 19, Grey(0), "bottom edge lies over the left edge" },
            { 118, 0, Grey(255), "top edge lies over the right edge" },
            { 0, 0, Grey(255), "corner" },
            { 119, 0, Grey(255), "corner" },
            { 0, 19, Grey(255), "corner, black before the corners are set" },
            { 119, 19, Grey(255), "corner, black before the corners are set" },
        });
}

TEST(PanelPaint, HeldButtonIsSunkenAndInvertsTheSheenOnlyUnderThePointer)
{
    // Pressed with the pointer outside: the raised sheen, sunken edges.
    ExpectPixels(Button(120, 20, ButtonState::kPressedOutside),
        {
            { 60, 10, Grey(186), "sheen as when up" },
            { 0, 10, Grey(0), "left edge black" },
            { 119, 10, Grey(255), "right edge white" },
            { 60, 0, Grey(0), "top edge black" },
            { 60, 19, Grey(255), "bottom edge white" },
            { 0, 0, Grey(255), "corner" },
        });
    // Pressed with the pointer inside: the sheen turns over.
    ExpectPixels(Button(120, 20, ButtonState::kPressedInside),
        {
            { 60, 10, Grey(193), "r 9: (249 x 192 + 7 x 255) / 256 toward white below" },
            { 60, 8, Grey(187), "r 11: 250 x 192 / 256 toward black above" },
            { 0, 10, Grey(0), "left edge black" },
            { 119, 10, Grey(255), "right edge white" },
            { 119, 19, Grey(255), "corner" },
        });
}

TEST(PanelPaint, TextCellHasWhiteEdgesOnItsFaceColour)
{
    // 420 x 40: half = 20, q = r x 128 / 40.
    PanelCell cell = MakeTextCell(180, 60, 600, 100, u"x");
    ExpectPixels(cell,
        {
            { 300, 20, Grey(251), "r 19, q 60: 252 x 255 / 256" },
            { 300, 19, Grey(255), "r 20, q 64: the plain face" },
            { 300, 39, Grey(255), "bottom edge is white on text cells" },
            { 300, 38, Grey(224), "r 1 sheen 194, then half white" },
            { 0, 20, Grey(255), "left edge white" },
            { 419, 20, Grey(255), "right edge white" },
        });
    // Colour 2 is the face, colour 1 only colours the text.
    cell.colour1 = ColourFromNumber(0x0000FF);
    cell.colour2 = ColourFromNumber(0xFF8080);
    ExpectPixels(cell, { { 300, 19, 0xFF8080FF, "light blue face, red and blue in place" } });
}

TEST(PanelPaint, NarrowCellFadesOverHalfItsWidth)
{
    // 10 x 40 button: edge width 5, so columns 0-4 fade toward white and 5-9
    // toward black, each pixel once. Row 20 (r 19, q 60) has sheen 189.
    ExpectPixels(Button(10, 40, ButtonState::kUp),
        {
            { 4, 20, Grey(193), "j 4 from the left: (240 x 189 + 16 x 255) / 256" },
            { 5, 20, Grey(177), "j 4 from the right: 240 x 189 / 256" },
        });
}

TEST(PanelPaint, PaintsOnlyTheFaceAndRefusesWhatDoesNotFit)
{
    OwnedBuffer buffer(130, 25, 140);
    ASSERT_TRUE(PaintPanelCell(buffer.view, Button(120, 20, ButtonState::kUp)));
    EXPECT_EQ(buffer.view.at(0, 0), Grey(255));
    EXPECT_EQ(buffer.view.at(120, 0), kSentinel) << "right of the face";
    EXPECT_EQ(buffer.view.at(0, 20), kSentinel) << "below the face";
    EXPECT_EQ(buffer.view.at(60, 10), Grey(186)) << "rows are stride pixels apart";

    OwnedBuffer small(20, 20, 20);
    PanelCell empty;
    empty.right = 10;
    empty.bottom = 10;
    const PanelCell refused[] = {
        Button(21, 10, ButtonState::kUp), // wider than the buffer
        Button(10, 21, ButtonState::kUp), // taller than the buffer
        Button(0, 10, ButtonState::kUp), Button(10, -5, ButtonState::kUp),
        empty, // kind: nothing
    };
    for (const PanelCell& cell : refused)
        EXPECT_FALSE(PaintPanelCell(small.view, cell)) << cell.width() << " x " << cell.height();
    for (std::uint32_t pixel : small.storage)
        ASSERT_EQ(pixel, kSentinel);
}

TEST(PanelBitmap, GrowsToTheLargestSidesAndFallsBackToTheExactSize)
{
    PanelBitmap bitmap;
    EXPECT_FALSE(bitmap.reserve(0, 5));
    EXPECT_FALSE(bitmap.reserve(5, -1));

    ASSERT_TRUE(bitmap.reserve(100, 10));
    ASSERT_TRUE(bitmap.reserve(10, 50));
    EXPECT_EQ(bitmap.width(), 100);
    EXPECT_EQ(bitmap.height(), 50);
    const std::uint32_t* pixels = bitmap.buffer().pixels;
    ASSERT_TRUE(bitmap.reserve(100, 50));
    ASSERT_TRUE(bitmap.reserve(3, 3));
    EXPECT_EQ(bitmap.buffer().pixels, pixels) << "no new memory for a size it already holds";

    // 20000 x 20000 is past the limit; 1 x 20000 alone is not.
    ASSERT_GT(std::int64_t { 20000 } * 20000, kMaxPanelBitmapPixels);
    ASSERT_TRUE(bitmap.reserve(20000, 1));
    ASSERT_TRUE(bitmap.reserve(1, 20000));
    EXPECT_EQ(bitmap.width(), 1);
    EXPECT_EQ(bitmap.height(), 20000);

    // Past the limit even at the exact size: refused, the bitmap kept.
    EXPECT_FALSE(bitmap.reserve(70000, 70000));
    EXPECT_EQ(bitmap.width(), 1);
    EXPECT_EQ(bitmap.height(), 20000);
    EXPECT_EQ(bitmap.buffer().stride, 1);
}
