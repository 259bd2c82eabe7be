// SPDX-License-Identifier: MIT
#include "views/WaveformPanel.h"

#include "audio/AudioTestUtil.h"
#include "audio/WaveReader.h"
#include "document/Document.h"
#include "support/NewDocument.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace vellisto;
using namespace vellisto::views;
using vellisto::test::PcmFormat;
using vellisto::test::SetSamples;

namespace {

// A slot holding the given interleaved samples.
struct Sound {
    SoundSlot slot;
    Sound(std::uint16_t channels, std::uint32_t rate, const std::vector<int>& values,
        std::uint16_t bits = 16)
    {
        SetSamples(slot, PcmFormat(channels, rate, bits), values);
        slot.loopBegin = kNoLoop;
        slot.loopEnd = kNoLoop;
    }
};

std::vector<WaveformDraw> LinesOf(const WaveformScene& scene, Colour colour)
{
    std::vector<WaveformDraw> lines;
    for (const WaveformDraw& draw : scene.draws)
        if (draw.kind == WaveformDraw::Kind::kLine && draw.colour == colour)
            lines.push_back(draw);
    return lines;
}

// The draw that puts a text at (x, y), if any.
const WaveformDraw* TextAt(const WaveformScene& scene, std::int32_t x, std::int32_t y)
{
    for (const WaveformDraw& draw : scene.draws)
        if (draw.kind == WaveformDraw::Kind::kText && draw.x0 == x && draw.y0 == y)
            return &draw;
    return nullptr;
}

} // namespace

TEST(Waveform, ContentSizeFollowsFramesZoomAndChannels)
{
    struct Case {
        std::uint16_t channels;
        std::uint32_t frames;
        std::uint32_t zoomOuts; // from 256
        std::uint32_t zoomIns;
        std::int32_t width, height;
    };
    const Case cases[] = {
        { 1, 44100, 0, 0, 812, 316 }, // 172 + 640, 256 + 60
        { 2, 44100, 0, 0, 812, 572 },
        { 1, 44100, 0, 8, 44100 + 640, 316 }, // zoom 1
        { 1, 44100, 8, 0, 640, 316 }, // zoom 65536: no whole column
        { 1, 255, 0, 0, 640, 316 },
        { 1, 256, 0, 0, 641, 316 },
    };
    for (const Case& c : cases) {
        Sound sound(c.channels, 44100, std::vector<int>(std::size_t { c.frames } * c.channels, 0));
        WaveformPanel panel(0);
        for (std::uint32_t i = 0; i < c.zoomOuts; ++i)
            panel.runCommand(WaveformCommand::kZoomOut);
        for (std::uint32_t i = 0; i < c.zoomIns; ++i)
            panel.runCommand(WaveformCommand::kZoomIn);
        panel.take(&sound.slot);
        EXPECT_EQ(panel.contentWidth(), c.width) << c.frames << " " << panel.zoom();
        EXPECT_EQ(panel.contentHeight(), c.height) << c.channels;
    }
}

TEST(Waveform, ASoundWithoutSamplesIs640Wide320HighWhenFirstShownThen640High)
{
    ::vellisto::testing::ScriptedUserInterface ui;
    Ctest122Doc doc;
    ASSERT_TRUE(::vellisto::testing::MakeNewDocument(doc, ui));
    WaveformPanel panel(3);
    panel.update(doc.project(), doc.pathName()); // no file: preparing fails quietly
    EXPECT_EQ(panel.contentWidth(), 640);
    EXPECT_EQ(panel.contentHeight(), 320);
    panel.update(doc.project(), doc.pathName());
    EXPECT_EQ(panel.contentHeight(), 640);
    WaveformScene scene;
    panel.buildScene(0, 0, 640, 320, scene);
    EXPECT_TRUE(scene.draws.empty());
    EXPECT_FALSE(scene.infoBox);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(WaveformTitle(3, u"x.spj"), u"Waveform Sound 3 [x.spj]");
}

TEST(Waveform, UpdateTakesThePreparedSoundAndKeepsItsOwnCopy)
{
    ::vellisto::testing::ScriptedUserInterface ui;
    Ctest122Doc doc;
    ASSERT_TRUE(::vellisto::testing::MakeNewDocument(doc, ui, 44100, 1));
    SoundSlot& slot = doc.project()->sounds[5];
    std::vector<int> values(1024, 0);
    values[512] = 16384;
    SetSamples(slot, doc.project()->settings.outputFormat, values);
    slot.loopBegin = 100;
    slot.loopEnd = 700;
    WaveformPanel panel(5);
    panel.update(doc.project(), doc.pathName());
    ASSERT_EQ(panel.sound().frames, 1024u);
    EXPECT_EQ(panel.sound().loopEnd, 700u);
    // The project's samples go away (a cleared cache, an undo): the view
    // still paints from what it took.
    audio::FreeSampleData(slot);
    panel.leftDown(2, 100);
    WaveformScene scene;
    panel.buildScene(0, 0, 640, 316, scene);
    ASSERT_TRUE(scene.infoBox);
    EXPECT_EQ(scene.infoBox->text, u"512\nCh 0 0.500000\n");
}

TEST(Waveform, ZoomStepsByTwoWithinItsLimits)
{
    WaveformPanel panel(0);
    const auto enabled = [&](WaveformCommand command) {
        const auto menu = panel.menu();
        return std::find_if(menu.begin(), menu.end(), [&](const WaveformMenuItem& item) {
            return item.command == command;
        })->enabled;
    };
    EXPECT_EQ(panel.zoom(), 256u);
    for (std::uint32_t expected : { 128u, 64u, 32u, 16u, 8u, 4u, 2u, 1u }) {
        EXPECT_TRUE(enabled(WaveformCommand::kZoomIn));
        EXPECT_TRUE(panel.runCommand(WaveformCommand::kZoomIn).refresh);
        EXPECT_EQ(panel.zoom(), expected);
    }
    EXPECT_FALSE(enabled(WaveformCommand::kZoomIn));
    EXPECT_FALSE(panel.runCommand(WaveformCommand::kZoomIn).refresh);
    EXPECT_EQ(panel.zoom(), 1u);
    for (int i = 0; i < 16; ++i)
        panel.runCommand(WaveformCommand::kZoomOut);
    EXPECT_EQ(panel.zoom(), 65536u);
    EXPECT_FALSE(enabled(WaveformCommand::kZoomOut));
    EXPECT_TRUE(enabled(WaveformCommand::kZoomIn));
    EXPECT_FALSE(panel.runCommand(WaveformCommand::kZoomOut).refresh);
    EXPECT_EQ(panel.zoom(), 65536u);
}

TEST(Waveform, MenuTextsAndChecks)
{
    WaveformPanel panel(0);
    auto menu = panel.menu();
    const std::vector<std::pair<std::uint32_t, std::string_view>> expected {
        { 32779, "Show by the &Sample" }, { 32780, "Show &Normalized Values" },
        { 32781, "Zoom &In" }, { 32782, "Zoom &Out" }, { 32783, "Show &Beginning of the Loop" },
        { 32784, "Show &End of the Loop" }
    };
    for (std::size_t i = 0; i < menu.size(); ++i) {
        EXPECT_EQ(static_cast<std::uint32_t>(menu[i].command), expected[i].first);
        EXPECT_EQ(menu[i].text, expected[i].second);
    }
    EXPECT_TRUE(menu[0].checked);
    EXPECT_TRUE(menu[1].checked);
    EXPECT_TRUE(panel.runCommand(WaveformCommand::kShowBySample).refresh);
    EXPECT_TRUE(panel.runCommand(WaveformCommand::kShowNormalized).refresh);
    menu = panel.menu();
    EXPECT_FALSE(menu[0].checked);
    EXPECT_FALSE(menu[1].checked);
    EXPECT_FALSE(menu[2].checked);
}

TEST(Waveform, GridLabelsLengthAndLoopMarkers)
{
    Sound sound(1, 44100, std::vector<int>(44100, 0));
    sound.slot.loopBegin = 25600; // column 100
    sound.slot.loopEnd = 44100; // the end itself still counts
    WaveformPanel panel(0);
    panel.take(&sound.slot);
    WaveformScene scene;
    panel.buildScene(0, 0, 640, 316, scene);

    const auto grid = LinesOf(scene, kWaveGridColour);
    ASSERT_EQ(grid.size(), 2u); // x 0 and 128; the sound ends at 172
    EXPECT_EQ(grid[1].x0, 128);
    EXPECT_EQ(grid[1].y0, 0);
    EXPECT_EQ(grid[1].y1, 316);
    ASSERT_TRUE(TextAt(scene, 130, 0));
    EXPECT_EQ(TextAt(scene, 130, 0)->text, "32768");
    ASSERT_TRUE(TextAt(scene, 258, 0)); // after the next grid position, 256
    EXPECT_EQ(TextAt(scene, 258, 0)->text, "Length 44100");
    const auto loops = LinesOf(scene, kWaveLoopColour);
    ASSERT_EQ(loops.size(), 2u);
    EXPECT_EQ(loops[0].x0, 100);
    EXPECT_EQ(loops[0].y0, 20);
    EXPECT_EQ(loops[1].x0, 172);
    EXPECT_EQ(loops[1].y0, 40);
    EXPECT_EQ(TextAt(scene, 102, 20)->text, "25600");
    EXPECT_EQ(TextAt(scene, 174, 40)->text, "44100");

    // By time: the label at x 256 at zoom 256 of a longer sound.
    Sound longer(1, 44100, std::vector<int>(441000, 0));
    WaveformPanel timed(0);
    timed.runCommand(WaveformCommand::kShowBySample);
    timed.take(&longer.slot);
    timed.buildScene(0, 0, 640, 316, scene);
    ASSERT_TRUE(TextAt(scene, 258, 0));
    EXPECT_EQ(TextAt(scene, 258, 0)->text, "00:01.486");
    // The window ends at 640 before the sound does: the length follows the last grid line.
    ASSERT_TRUE(TextAt(scene, 642, 0));
    EXPECT_EQ(TextAt(scene, 642, 0)->text, "Length 00:10.000");
    // No loop (both at 0xFFFFFFFF): no markers.
    EXPECT_TRUE(LinesOf(scene, kWaveLoopColour).empty());
}

TEST(Waveform, StripsAndSampleLinesOfAStereoSound)
{
    // Channel 0 rises, channel 1 is the negative of it; zoom 1.
    std::vector<int> values;
    for (int i = 0; i < 1000; ++i)
        values.insert(values.end(), { i * 32, -i * 32 });
    Sound sound(2, 44100, values);
    WaveformPanel panel(0);
    for (int i = 0; i < 8; ++i)
        panel.runCommand(WaveformCommand::kZoomIn);
    panel.take(&sound.slot);
    WaveformScene scene;
    panel.buildScene(100, 0, 200, 572, scene);

    const auto zero = LinesOf(scene, kWaveZeroColour);
    ASSERT_EQ(zero.size(), 2u);
    EXPECT_EQ(zero[0].y0, 188);
    EXPECT_EQ(zero[1].y0, 444);
    EXPECT_EQ(zero[0].x0, 100);
    EXPECT_EQ(zero[0].x1, 300);
    const auto samples = LinesOf(scene, kWaveSampleColour);
    // Columns 100..299, both channels; a sample below 256 draws nothing (none here).
    ASSERT_EQ(samples.size(), 400u);
    EXPECT_EQ(samples[0].x0, 100);
    EXPECT_EQ(samples[0].y0, 188);
    EXPECT_EQ(samples[0].y1, 188 - 3200 / 256);
    EXPECT_EQ(samples[1].y0, 444);
    EXPECT_EQ(samples[1].y1, 444 + 12); // -3200 / 256 truncates toward zero
    EXPECT_EQ(samples.back().x0, 299);
}

TEST(Waveform, PaintingVisitsOnlyTheVisibleColumns)
{
    // An hour of mono at 8 bits and zoom 1 would be 158760000 columns: the
    // scene for one window is the same size as for a second-long sound.
    const std::uint32_t frames = 3600u * 44100u;
    SoundSlot hour;
    hour.dataFormat = PcmFormat(1, 44100, 8);
    hour.sampleBytes = frames;
    hour.samples = AllocateSampleBlock(frames);
    ASSERT_NE(hour.samples, nullptr);
    for (std::uint32_t i = 0; i < frames; ++i)
        hour.samples[i] = static_cast<std::uint8_t>(i % 2 == 0 ? 100 : 0x80); // 100, -128
    WaveformPanel panel(0);
    panel.take(&hour);
    EXPECT_EQ(panel.contentWidth(), static_cast<std::int32_t>(frames / 256 + 640));
    WaveformScene scene;
    panel.buildScene(300000, 0, 640, 316, scene);
    const auto samples = LinesOf(scene, kWaveSampleColour);
    EXPECT_EQ(samples.size(), 640u);
    EXPECT_LE(scene.draws.size(), 700u);
    // 8-bit samples show on the 16-bit scale: 100 x 256 / 256 = 100 pixels up.
    EXPECT_EQ(samples[0].y1, 188 - 100);
}

TEST(Waveform, ScrolledPastTheEndTheLengthStaysAtTheLeftGridLine)
{
    Sound sound(1, 44100, std::vector<int>(44100, 0));
    WaveformPanel panel(0);
    panel.take(&sound.slot);
    WaveformScene scene;
    panel.buildScene(300, 0, 512, 316, scene);
    EXPECT_TRUE(LinesOf(scene, kWaveGridColour).empty());
    EXPECT_TRUE(LinesOf(scene, kWaveSampleColour).empty());
    ASSERT_TRUE(TextAt(scene, 258, 0));
    EXPECT_EQ(TextAt(scene, 258, 0)->text, "Length 44100");
}

TEST(Waveform, CursorBoxListsTheFrameAndEveryChannel)
{
    std::vector<int> values(2 * 44100, 0);
    values[2 * 16384] = 16384; // channel 0 at frame 16384 (column 64)
    values[2 * 16384 + 1] = -32768;
    Sound sound(2, 44100, values);
    WaveformPanel panel(0);
    panel.take(&sound.slot);
    WaveformScene scene;

    EXPECT_TRUE(panel.leftDown(64, 300));
    panel.leftUp();
    panel.buildScene(0, 0, 640, 572, scene);
    ASSERT_TRUE(scene.infoBox);
    const PanelCell& box = *scene.infoBox;
    EXPECT_EQ(box.text, u"16384\nCh 0 0.500000\nCh 1 -1.000000\n");
    EXPECT_EQ(box.left, 64);
    EXPECT_EQ(box.top, 300);
    EXPECT_EQ(box.right, 224);
    EXPECT_EQ(box.bottom, 360); // 2 channels x 20 + 20
    EXPECT_EQ(box.kind, CellKind::kText);
    EXPECT_EQ(box.colour1, kBlack);
    EXPECT_EQ(box.colour2, ColourFromNumber(0xC0C0C0));

    panel.runCommand(WaveformCommand::kShowNormalized);
    panel.runCommand(WaveformCommand::kShowBySample);
    EXPECT_EQ(panel.cursorText(), "00:00.371\nCh 0 16384\nCh 1 -32768\n");

    // The last column shows; one further, and before the start, nothing.
    panel.leftDown(171, 0);
    EXPECT_FALSE(panel.cursorText().empty());
    panel.leftUp();
    EXPECT_TRUE(panel.moveCursor(1, 0));
    EXPECT_TRUE(panel.cursorText().empty());
    panel.buildScene(0, 0, 640, 572, scene);
    EXPECT_FALSE(scene.infoBox);
    panel.leftDown(-1, 0);
    panel.leftUp();
    EXPECT_TRUE(panel.cursorText().empty());
}

TEST(Waveform, ButtonsAndArrowKeys)
{
    WaveformPanel panel(0);
    EXPECT_EQ(panel.cursorX(), -1);
    EXPECT_EQ(panel.cursorY(), -1);
    EXPECT_TRUE(panel.leftDown(10, 20));
    // While a button is held, the other button and the keys do nothing.
    panel.rightDown();
    EXPECT_FALSE(panel.rightUp());
    EXPECT_FALSE(panel.moveCursor(1, 0));
    EXPECT_FALSE(panel.leftDown(50, 50));
    panel.leftUp();
    EXPECT_EQ(panel.cursorX(), 10);
    EXPECT_TRUE(panel.moveCursor(-1, 0));
    EXPECT_TRUE(panel.moveCursor(0, 1));
    EXPECT_EQ(panel.cursorX(), 9);
    EXPECT_EQ(panel.cursorY(), 21);
    panel.rightDown();
    EXPECT_FALSE(panel.leftDown(0, 0));
    EXPECT_TRUE(panel.rightUp()); // opens the menu
    EXPECT_FALSE(panel.rightUp());
    // The cursor never wraps around the coordinate range.
    panel.leftDown(std::numeric_limits<std::int32_t>::max(), 0);
    panel.leftUp();
    panel.moveCursor(1, 0);
    EXPECT_EQ(panel.cursorX(), std::numeric_limits<std::int32_t>::max());
}

TEST(Waveform, LoopCommandsScrollToTheMarker)
{
    Sound sound(1, 44100, std::vector<int>(44100, 0));
    sound.slot.loopBegin = 5120;
    sound.slot.loopEnd = 40000;
    WaveformPanel panel(0);
    panel.take(&sound.slot);
    EXPECT_EQ(panel.runCommand(WaveformCommand::kShowLoopBegin).scrollX, 20);
    EXPECT_EQ(panel.runCommand(WaveformCommand::kShowLoopEnd).scrollX, 156);
    EXPECT_FALSE(panel.runCommand(WaveformCommand::kShowLoopEnd).refresh);
}

TEST(Waveform, LayoutsTheViewCannotReadShowNothing)
{
    for (const OutputFormat format : { PcmFormat(1, 44100, 24), PcmFormat(0, 44100, 16),
             OutputFormat { 1, 2, 44100, 0, 3, 16, 0 } }) {
        SoundSlot slot;
        slot.dataFormat = format;
        slot.sampleBytes = 600;
        slot.samples = AllocateSampleBlock(600);
        const WaveformSound taken = TakeWaveformSound(slot, 1);
        EXPECT_EQ(taken.frames, 0u);
        EXPECT_TRUE(taken.samples.empty());
    }
}
