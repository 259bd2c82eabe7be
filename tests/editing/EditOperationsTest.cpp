// SPDX-License-Identifier: MIT
#include "editing/EditOperations.h"

#include "EditingFixture.h"

using namespace vellisto;
using namespace vellisto::editing;
using vellisto::testing::EditingTest;

namespace {

using U = std::vector<std::uint32_t>;
using B = std::vector<bool>;

std::function<bool(RangeEditValues&)> RangeAnswer(
    std::uint32_t begin, std::uint32_t end, std::array<std::string, 4> texts)
{
    return [=](RangeEditValues& values) {
        values.rangeBegin = begin;
        values.rangeEnd = end;
        values.dataTexts = texts;
        return true;
    };
}

std::function<bool(TimeStretchValues&)> StretchAnswer(
    std::string fb, std::string fe, std::string tb, std::string te, bool all = false)
{
    return [=](TimeStretchValues& values) {
        values = { fb, fe, tb, te, all };
        return true;
    };
}

std::function<bool(FilterEditValues&)> FilterAnswer(FilterEditValues answer)
{
    return [=](FilterEditValues& values) {
        values = answer;
        return true;
    };
}

} // namespace

using EraseCommand = EditingTest;

TEST_F(EraseCommand, RemovesSelectedEventsAndRecordsAStep)
{
    Fill(0, { { 10, 1, true }, { 20, 2 }, { 30, 3, true }, { 40, 4 } });
    Erase(Context(0));
    EXPECT_EQ(Data1(0), (U { 2, 4 }));
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Data1(0), (U { 1, 2, 3, 4 }));
}

TEST_F(EraseCommand, WithNothingSelectedStillRecordsAStep)
{
    Fill(0, { { 10, 1 }, { 20, 2 } });
    Erase(Context(0));
    EXPECT_EQ(Data1(0), (U { 1, 2 }));
    EXPECT_EQ(UndoSteps(), 1u);
    EXPECT_TRUE(doc.isModified());
}

using SetRangeCommand = EditingTest;

TEST_F(SetRangeCommand, RangeIsClampedToTheList)
{
    Fill(0, { { 10, 0 }, { 20, 1 }, { 30, 2 }, { 40, 3 } });
    ui.rangeEditScripts.push_back(RangeAnswer(2, 5, { "", "7", "", "" }));
    SetRangeAndData(Context(0, 1));

    ASSERT_EQ(ui.rangeEditRequests.size(), 1u);
    const RangeEditValues& opened = ui.rangeEditRequests[0];
    EXPECT_EQ(opened.lowerBound, 0u);
    EXPECT_EQ(opened.upperBound, 3u);
    EXPECT_EQ(opened.rangeBegin, 1u);
    EXPECT_EQ(opened.rangeEnd, 1u);
    EXPECT_EQ(opened.enabledDataFields, 4u);
    EXPECT_EQ(Selected(0), (B { false, false, true, true }));
    EXPECT_EQ(Data1(0), (U { 0, 1, 7, 7 }));
    EXPECT_EQ(UndoSteps(), 1u);
}

TEST_F(SetRangeCommand, CursorPastTheListPresetsTheLastEvent)
{
    Fill(0, { { 10 }, { 20 }, { 30 } });
    ui.rangeEditScripts.push_back([](RangeEditValues&) { return false; });
    SetRangeAndData(Context(0, 3));
    ASSERT_EQ(ui.rangeEditRequests.size(), 1u);
    EXPECT_EQ(ui.rangeEditRequests[0].rangeBegin, 2u);
    EXPECT_EQ(ui.rangeEditRequests[0].rangeEnd, 2u);
    // Cancel records nothing.
    EXPECT_EQ(UndoSteps(), 0u);
}

TEST_F(SetRangeCommand, ExistingSelectionDisablesTheRangeAndTimeTextResorts)
{
    Fill(0, { { 0, 0, true }, { 30000, 1 }, { 50000, 2, true } });
    ui.rangeEditScripts.push_back(RangeAnswer(0, 0, { "+44100", "", "", "" }));
    SetRangeAndData(Context(0, 1));

    const RangeEditValues& opened = ui.rangeEditRequests.at(0);
    EXPECT_GT(opened.lowerBound, opened.upperBound);
    EXPECT_EQ(Times(0), (U { 30000, 44100, 94100 }));
    EXPECT_EQ(Data1(0), (U { 1, 0, 2 }));
    EXPECT_EQ(Selected(0), (B { false, true, true })); // the selection stays
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Times(0), (U { 0, 30000, 50000 }));
}

TEST_F(SetRangeCommand, BlankTimeTextDoesNotResort)
{
    // Out of order on purpose: only a non-empty Time text sorts the list.
    Fill(0, { { 500, 1, true }, { 100, 2, true } });
    TrackAt(0).events[0].data2 = 9;
    ui.rangeEditScripts.push_back(RangeAnswer(0, 0, { "", "", "*0.5", "" }));
    SetRangeAndData(Context(0));
    EXPECT_EQ(Times(0), (U { 500, 100 }));
    EXPECT_EQ(TrackAt(0).events[0].data2, 4u);
    EXPECT_EQ(TrackAt(0).events[1].data2, 512u);
}

TEST_F(SetRangeCommand, TimeCeilingCoversTheWholeTrack)
{
    Fill(0, { { 100, 0, true }, { 0x90000000u, 1 } });
    ui.rangeEditScripts.push_back(RangeAnswer(0, 0, { "+0x7FFFFFF0", "", "", "" }));
    SetRangeAndData(Context(0));
    EXPECT_EQ(Times(0), (U { 0x7FFFFFFFu, 0x7FFFFFFFu }));
}

TEST_F(SetRangeCommand, EmptyTrackOpensNoDialog)
{
    SetRangeAndData(Context(0));
    EXPECT_TRUE(ui.rangeEditRequests.empty());
}

using FilterCommand = EditingTest;

TEST_F(FilterCommand, BlankFieldsSelectAllOrKeepTheSelection)
{
    Fill(0, { { 10 }, { 20 }, { 30 } });
    ui.filterScripts.push_back(FilterAnswer({}));
    FilterEvents(Context(0));
    EXPECT_EQ(Selected(0), (B { true, true, true }));

    Fill(1, { { 10 }, { 20, 0, true }, { 30 } });
    ui.filterScripts.push_back(FilterAnswer({}));
    FilterEvents(Context(1));
    EXPECT_EQ(Selected(1), (B { false, true, false }));
    EXPECT_EQ(UndoSteps(), 0u);
}

TEST_F(FilterCommand, TimeLimitsReadTimeTexts)
{
    SetRate(48000);
    Fill(0, { { 71999 }, { 72000 }, { 96000 }, { 96001 } });
    FilterEditValues seconds;
    seconds.lowerTexts[0] = "1.5";
    seconds.upperTexts[0] = "0:02";
    ui.filterScripts.push_back(FilterAnswer(seconds));
    FilterEvents(Context(0));
    EXPECT_EQ(Selected(0), (B { false, true, true, false }));

    Fill(1, { { 71999 }, { 72000 } });
    FilterEditValues frames;
    frames.lowerTexts[0] = "72000";
    frames.upperTexts[0] = "not a time"; // keeps the default upper limit
    ui.filterScripts.push_back(FilterAnswer(frames));
    FilterEvents(Context(1));
    EXPECT_EQ(Selected(1), (B { false, true }));
}

TEST_F(FilterCommand, NarrowsASelectionByTypeAndData)
{
    Fill(0,
        { { 10, 5, true, 0 }, { 20, 16, true, 0 }, { 30, 16, false, 0 }, { 40, 16, true, 1 },
            { 50, 21, true, 0 } });
    FilterEditValues values;
    values.lowerTexts[1] = "0x10";
    values.upperTexts[1] = "20";
    values.typeIndex = 1; // "0 Play"
    ui.filterScripts.push_back(FilterAnswer(values));
    FilterEvents(Context(0));
    EXPECT_EQ(Selected(0), (B { false, true, false, false, false }));
}

using StretchCommand = EditingTest;

TEST_F(StretchCommand, HalvesTheIntervalAndLeavesItsEnd)
{
    SetRate(1000);
    Fill(0, { { 0 }, { 4000 }, { 9999 }, { 10000 }, { 12000 } });
    ui.stretchScripts.push_back(StretchAnswer("0", "10.0", "0", "5.0"));
    StretchTimelines(Context(0));
    EXPECT_EQ(Times(0), (U { 0, 2000, 4999, 10000, 12000 }));
    EXPECT_EQ(UndoSteps(), 1u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StretchCommand, MovedEventsAreSortedAgain)
{
    SetRate(1000);
    Fill(0, { { 6000, 1 }, { 15000, 2 } });
    ui.stretchScripts.push_back(StretchAnswer("5.0", "10.0", "20.0", "25.0"));
    StretchTimelines(Context(0));
    EXPECT_EQ(Times(0), (U { 15000, 21000 }));
    EXPECT_EQ(Data1(0), (U { 2, 1 }));
}

TEST_F(StretchCommand, ReversedTargetMirrorsTimes)
{
    SetRate(1000);
    Fill(0, { { 4000, 1 }, { 7000, 2 } });
    ui.stretchScripts.push_back(StretchAnswer("0", "10000", "10000", "0"));
    StretchTimelines(Context(0));
    // 4000: (4000 x -10000) / 10000 + 10000 = 6000; 7000 -> 3000.
    EXPECT_EQ(Times(0), (U { 3000, 6000 }));
    EXPECT_EQ(Data1(0), (U { 2, 1 }));
}

TEST_F(StretchCommand, BlankToFieldsDefaultToFrom)
{
    Fill(0, { { 100 }, { 250 } });
    ui.stretchScripts.push_back(StretchAnswer("100", "300", "", "500"));
    StretchTimelines(Context(0));
    // 250: (150 x 400) / 200 + 100 = 400.
    EXPECT_EQ(Times(0), (U { 100, 400 }));
}

TEST_F(StretchCommand, AllTracksOrOnlyThisOne)
{
    Fill(0, { { 100 } });
    Fill(63, { { 100 } });
    ui.stretchScripts.push_back(StretchAnswer("0", "1000", "0", "2000", true));
    StretchTimelines(Context(0));
    EXPECT_EQ(Times(0), (U { 200 }));
    EXPECT_EQ(Times(63), (U { 200 }));

    ui.stretchScripts.push_back(StretchAnswer("0", "1000", "0", "2000", false));
    StretchTimelines(Context(63));
    EXPECT_EQ(Times(0), (U { 200 }));
    EXPECT_EQ(Times(63), (U { 400 }));
}

TEST_F(StretchCommand, InvalidBoundsAreRefusedWithoutAStep)
{
    Fill(0, { { 100 } });
    ui.stretchScripts.push_back(StretchAnswer("", "10", "", ""));
    ui.stretchScripts.push_back(StretchAnswer("0", "2147483648", "", ""));
    ui.stretchScripts.push_back(StretchAnswer("0", "10", "0", "3000000000"));
    for (int i = 0; i < 3; ++i)
        StretchTimelines(Context(0));
    ASSERT_EQ(ui.messages.size(), 3u);
    for (const auto& message : ui.messages) {
        EXPECT_EQ(message.text, "Detected an invalid value.");
        EXPECT_EQ(message.caption, TextId::kError);
    }
    EXPECT_EQ(UndoSteps(), 0u);
    EXPECT_EQ(Times(0), (U { 100 }));
}

TEST_F(StretchCommand, EmptyFromIntervalMovesNothingButRecords)
{
    Fill(0, { { 100 }, { 200 } });
    ui.stretchScripts.push_back(StretchAnswer("200", "100", "0", "0"));
    StretchTimelines(Context(0));
    EXPECT_EQ(Times(0), (U { 100, 200 }));
    EXPECT_EQ(UndoSteps(), 1u);
}

using SelectionCommands = EditingTest;

TEST_F(SelectionCommands, DeselectAndInvertNeedNoStep)
{
    Fill(0, { { 10, 0, true }, { 20 }, { 30, 0, true } });
    InvertSelection(Context(0));
    EXPECT_EQ(Selected(0), (B { false, true, false }));
    Deselect(Context(0));
    EXPECT_EQ(Selected(0), (B { false, false, false }));
    EXPECT_EQ(UndoSteps(), 0u);
    // The other flag bits are kept.
    EXPECT_EQ(TrackAt(0).events[1].flags, kEventExists);
}

TEST_F(SelectionCommands, SoundWindowOpensOnlyForPlayOrStopNamingASound)
{
    Fill(0,
        { { 10, 5, false, 0 }, { 20, 6, false, 1 }, { 30, 7, false, 3 }, { 40, 1024, false, 0 } });
    for (std::uint32_t cursor = 0; cursor <= 5; ++cursor)
        OpenWindowAboutThisSound(Context(0, cursor));
    EXPECT_EQ(ui.openedSoundWindows, (U { 5, 6 }));
}
