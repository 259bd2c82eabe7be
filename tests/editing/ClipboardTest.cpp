// SPDX-License-Identifier: MIT
#include "EditingFixture.h"
#include "editing/ClipboardBlocks.h"
#include "editing/ClipboardCommands.h"

using namespace vellisto;
using namespace vellisto::editing;
using vellisto::testing::EditingTest;

namespace {

using U = std::vector<std::uint32_t>;
using Bytes = std::vector<std::uint8_t>;

std::uint32_t WordAt(const Bytes& bytes, std::size_t offset)
{
    return std::uint32_t { bytes.at(offset) } | std::uint32_t { bytes.at(offset + 1) } << 8
        | std::uint32_t { bytes.at(offset + 2) } << 16
        | std::uint32_t { bytes.at(offset + 3) } << 24;
}

void PutWord(Bytes& bytes, std::uint32_t word)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(word >> shift));
}

// An events block built by hand from (time, data1) records.
Bytes HandEventsBlock(
    std::uint32_t claimed, const std::vector<std::pair<std::uint32_t, std::uint32_t>>& records)
{
    Bytes bytes;
    PutWord(bytes, 2);
    PutWord(bytes, claimed);
    for (const auto& [time, data1] : records) {
        for (std::uint32_t word : { kEventExists | kEventSelected, time, 0u, data1, 0u, 0u })
            PutWord(bytes, word);
    }
    return bytes;
}

} // namespace

using EventClipboard = EditingTest;

TEST_F(EventClipboard, CopiedBlockHoldsSelectedEventsWithRelativeTimes)
{
    Fill(0, { { 500, 9 }, { 1000, 1, true }, { 1500, 2, true }, { 1500, 3, true } });
    TrackAt(0).events[0].flags |= kEventSelected;
    TrackAt(0).events[0].flags &= ~kEventExists; // selected but not existing: not copied
    CopySelectedEvents(Context(0), clipboard);

    ASSERT_TRUE(clipboard.content);
    const Bytes& block = *clipboard.content;
    ASSERT_EQ(block.size(), 24u * 3 + 16);
    EXPECT_EQ(WordAt(block, 0), 2u);
    EXPECT_EQ(WordAt(block, 4), 3u);
    // flags, time, type, data1, data2, data3 of the first record
    EXPECT_EQ(WordAt(block, 8), kEventExists | kEventSelected);
    EXPECT_EQ(WordAt(block, 12), 0u);
    EXPECT_EQ(WordAt(block, 20), 1u);
    EXPECT_EQ(WordAt(block, 24), 1024u);
    EXPECT_EQ(WordAt(block, 28), 1u << 24);
    EXPECT_EQ(WordAt(block, 8 + 24 + 4), 500u);
    EXPECT_EQ(WordAt(block, 8 + 48 + 4), 500u);
    EXPECT_EQ(WordAt(block, 8 + 72), 0u);
    EXPECT_EQ(WordAt(block, 8 + 76), 0u);
}

TEST_F(EventClipboard, PasteAtCursorFollowsEventsOfEqualTime)
{
    Fill(0, { { 1000, 1, true }, { 1500, 2, true }, { 1500, 3, true } });
    CopySelectedEvents(Context(0), clipboard);

    Fill(1, { { 100, 10 }, { 8000, 11 }, { 8500, 12 }, { 9000, 13 } });
    PasteEvents(Context(1, 1), clipboard);
    EXPECT_EQ(Times(1), (U { 100, 8000, 8000, 8500, 8500, 8500, 9000 }));
    EXPECT_EQ(Data1(1), (U { 10, 11, 1, 12, 2, 3, 13 }));
    for (bool selected : Selected(1))
        EXPECT_FALSE(selected);
    EXPECT_EQ(UndoSteps(), 1u);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Data1(1), (U { 10, 11, 12, 13 }));
}

TEST_F(EventClipboard, BaseTimeOnEmptyTrackAndPastTheLastRow)
{
    Fill(0, { { 1000, 1, true }, { 1200, 2, true } });
    CopySelectedEvents(Context(0), clipboard);

    PasteEvents(Context(5, 0), clipboard); // track 5 never held events
    EXPECT_EQ(Times(5), (U { 0, 200 }));

    Fill(6, { { 300 }, { 700 } });
    PasteEvents(Context(6, 2), clipboard); // the empty row after the last event
    EXPECT_EQ(Times(6), (U { 300, 700, 700, 900 }));
}

TEST_F(EventClipboard, PastedTimesStopAtTheCeiling)
{
    clipboard.content = HandEventsBlock(2, { { 0, 1 }, { 0x7FFFFFF0u, 2 } });
    Fill(0, { { 0x100 } });
    PasteEvents(Context(0, 0), clipboard);
    EXPECT_EQ(Times(0), (U { 0x100, 0x100, 0x7FFFFFFFu }));
}

TEST_F(EventClipboard, NothingSelectedShowsAMessageAndKeepsTheClipboard)
{
    clipboard.content = Bytes { 1, 2, 3 };
    Fill(0, { { 10 } });
    CopySelectedEvents(Context(0), clipboard);
    CopySelectedEvents(Context(1), clipboard); // an empty track
    EXPECT_EQ(ui.messageTexts(), (std::vector<std::string>(2, "No data to copy exists.")));
    EXPECT_EQ(ui.lastMessage().caption, TextId::kError);
    EXPECT_EQ(clipboard.writes, 0);
    EXPECT_EQ(*clipboard.content, (Bytes { 1, 2, 3 }));
}

TEST_F(EventClipboard, ForeignTruncatedOrMissingBlocksAreIgnored)
{
    Fill(0, { { 10, 1 } });
    doc.project()->sounds[0].fileName[0] = u'x';
    CopySound(doc, clipboard, 0);
    PasteEvents(Context(0), clipboard); // a sound block

    Bytes truncated = HandEventsBlock(3, { { 0, 1 }, { 5, 2 } });
    clipboard.content = truncated;
    PasteEvents(Context(0), clipboard);
    clipboard.content = Bytes { 2, 0, 0 };
    PasteIntoTrack(Context(0), clipboard);
    clipboard.content.reset();
    PasteEvents(Context(0), clipboard);
    clipboard.available = false;
    PasteEvents(Context(0), clipboard);

    EXPECT_EQ(Data1(0), (U { 1 }));
    EXPECT_EQ(UndoSteps(), 0u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(EventClipboard, BlockWithoutTrailingZerosStillPastes)
{
    clipboard.content = HandEventsBlock(2, { { 0, 1 }, { 5, 2 } });
    PasteEvents(Context(0), clipboard);
    EXPECT_EQ(Data1(0), (U { 1, 2 }));
}

TEST_F(EventClipboard, UnsortedForeignBlockLeavesASortedTrack)
{
    clipboard.content = HandEventsBlock(3, { { 50, 1 }, { 10, 2 }, { 50, 3 } });
    Fill(0, { { 20, 9 } });
    PasteIntoTrack(Context(0), clipboard);
    EXPECT_EQ(Times(0), (U { 10, 20, 50, 50 }));
    EXPECT_EQ(Data1(0), (U { 2, 9, 1, 3 }));
}

using TrackClipboard = EditingTest;

TEST_F(TrackClipboard, CopiesAndPastesAbsoluteTimesWithoutCeiling)
{
    Fill(2, { { 100, 1, true }, { 0x80000000u, 2 } });
    CopyTrack(Context(2), clipboard);
    ASSERT_TRUE(clipboard.content);
    EXPECT_EQ(WordAt(*clipboard.content, 8 + 4), 100u);

    Fill(3, { { 100, 7 }, { 200, 8 } });
    PasteIntoTrack(Context(3, 1), clipboard);
    EXPECT_EQ(Times(3), (U { 100, 100, 200, 0x80000000u }));
    EXPECT_EQ(Data1(3), (U { 7, 1, 8, 2 }));
    EXPECT_EQ(Selected(3), (std::vector<bool>(4, false)));
}

TEST_F(TrackClipboard, TrackBlockPastedIntoAnEventViewShiftsAsAWhole)
{
    Fill(2, { { 100, 1 }, { 300, 2 } });
    CopyTrack(Context(2), clipboard);
    Fill(3, { { 1000, 7 } });
    PasteEvents(Context(3, 0), clipboard);
    EXPECT_EQ(Times(3), (U { 1000, 1100, 1300 }));
}

TEST_F(TrackClipboard, EmptyTrackHasNothingToCopy)
{
    CopyTrack(Context(4), clipboard);
    EXPECT_EQ(ui.messageTexts(), (std::vector<std::string> { "No data to copy exists." }));
    EXPECT_FALSE(clipboard.content);
}

TEST_F(TrackClipboard, ClearEmptiesTheTrackWithAStep)
{
    Fill(2, { { 100 }, { 200 } });
    TrackAt(2).flags = kTrackMuted;
    ClearTrack(Context(2));
    EXPECT_EQ(TrackAt(2).count, 0u);
    EXPECT_EQ(TrackAt(2).flags, kTrackMuted);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Times(2), (U { 100, 200 }));
}

using SoundClipboard = EditingTest;

TEST_F(SoundClipboard, BlockCarriesTheWholeNameFieldAndTwelveWords)
{
    SoundSlot& slot = doc.project()->sounds[7];
    slot.fileName[0] = u'k';
    slot.fileName[1] = u'\u30AD';
    slot.fileName[5] = u'z'; // a tail after the terminator travels too
    slot.setWords({ 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 });
    CopySound(doc, clipboard, 7);

    ASSERT_TRUE(clipboard.content);
    const Bytes& block = *clipboard.content;
    ASSERT_EQ(block.size(), 580u);
    EXPECT_EQ(WordAt(block, 0), 1u);
    EXPECT_EQ(block[4], 'k');
    EXPECT_EQ(block[6], 0xAD);
    EXPECT_EQ(block[7], 0x30);
    EXPECT_EQ(block[14], 'z');
    EXPECT_EQ(WordAt(block, 524), 1u);
    EXPECT_EQ(WordAt(block, 524 + 44), 12u);
    EXPECT_EQ(WordAt(block, 572), 0u);
    EXPECT_EQ(WordAt(block, 576), 0u);
}

TEST_F(SoundClipboard, PasteReplacesSettingsAndReleasesSamples)
{
    SoundSlot& source = doc.project()->sounds[1];
    source.fileName[0] = u'a';
    source.setWords({ 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 });
    CopySound(doc, clipboard, 1);

    SoundSlot& target = doc.project()->sounds[2];
    target.fileName[0] = u'b';
    target.samples = AllocateSampleBlock(64);
    target.sampleBytes = 64;
    PasteSound(doc, ui, clipboard, 2);
    EXPECT_EQ(target.fileName[0], u'a');
    EXPECT_EQ(target.words(), source.words());
    EXPECT_EQ(target.samples, nullptr);
    EXPECT_EQ(target.sampleBytes, 0u);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.project()->sounds[2].fileName[0], u'b');
}

TEST_F(SoundClipboard, EventsAndShortBlocksAreIgnored)
{
    doc.project()->sounds[2].fileName[0] = u'b';
    Fill(0, { { 10, 1, true } });
    CopySelectedEvents(Context(0), clipboard);
    PasteSound(doc, ui, clipboard, 2);

    Bytes shortBlock(571, 0);
    shortBlock[0] = 1;
    clipboard.content = shortBlock;
    PasteSound(doc, ui, clipboard, 2);
    EXPECT_EQ(doc.project()->sounds[2].fileName[0], u'b');
    EXPECT_EQ(UndoSteps(), 0u);

    // 572 bytes are enough: the trailing zero words are not needed.
    shortBlock.push_back(0);
    clipboard.content = shortBlock;
    PasteSound(doc, ui, clipboard, 2);
    EXPECT_TRUE(doc.project()->sounds[2].empty());
    EXPECT_EQ(UndoSteps(), 1u);
}

TEST_F(SoundClipboard, NameWithoutTerminatorEndsInsideItsField)
{
    Bytes block;
    PutWord(block, 1);
    for (int i = 0; i < 260; ++i) {
        block.push_back('A');
        block.push_back(0);
    }
    block.resize(580, 0);
    clipboard.content = block;
    PasteSound(doc, ui, clipboard, 3);
    EXPECT_EQ(NameLength(doc.project()->sounds[3].fileName), 259u);
}

TEST_F(SoundClipboard, ClearEmptiesNameAndWords)
{
    SoundSlot& slot = doc.project()->sounds[9];
    slot.fileName[0] = u'a';
    slot.fileName[3] = u'b';
    slot.setWords({ 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 });
    ClearSound(doc, ui, 9);
    EXPECT_EQ(slot.fileName, Name {});
    EXPECT_EQ(slot.words(), SoundWords {});
    EXPECT_EQ(UndoSteps(), 1u);
}
