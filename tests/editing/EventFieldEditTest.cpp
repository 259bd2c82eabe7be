// SPDX-License-Identifier: MIT
#include "editing/EventFieldEdit.h"

#include "EditingFixture.h"
#include "support/CountingView.h"

using namespace vellisto;
using namespace vellisto::editing;
using vellisto::testing::CountingView;
using vellisto::testing::EditingTest;

namespace {

using U = std::vector<std::uint32_t>;

constexpr std::uint32_t kPitch1 = 1u << 24;

Event Make(std::uint32_t type, std::uint32_t d1, std::uint32_t d2, std::uint32_t d3,
    std::uint32_t time = 0)
{
    return Event { kEventExists, time, type, d1, d2, d3 };
}

} // namespace

TEST(ChangeEventType, PresetsTheDataWordsByOldAndNewType)
{
    struct Case {
        const char* what;
        Event before;
        std::uint32_t newType;
        U words; // data1, data2, data3 after
    };
    const Case cases[] = {
        { "Stop to Play keeps the sound and moves the pitch", Make(1, 7, 33554432, 99), 0,
            { 7, 1024, 33554432 } },
        { "Play to Play resets sound, volume and pitch", Make(0, 7, 500, 33554432), 0,
            { 0, 1024, kPitch1 } },
        { "Volume to Play", Make(3, 2048, 5, 6), 0, { 0, 1024, kPitch1 } },
        { "Play to Stop keeps the sound and moves the pitch", Make(0, 9, 500, 50331648), 1,
            { 9, 50331648, 50331648 } },
        { "Balance to Stop clears sound and pitch", Make(4, 300, 5, 6), 1, { 0, 0, 6 } },
        { "to All Stop changes nothing", Make(0, 9, 500, 600), 2, { 9, 500, 600 } },
        { "to Volume", Make(0, 9, 500, 600), 3, { 1024, 500, 600 } },
        { "to Balance", Make(0, 9, 500, 600), 4, { 512, 500, 600 } },
        { "to Stress", Make(6, 9, 500, 600), 5, { 1024, 500, 600 } },
        { "to Pitch", Make(3, 9, 500, 600), 6, { kPitch1, 500, 600 } },
        { "to an unknown type", Make(3, 9, 500, 600), 77, { 9, 500, 600 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Event event = c.before;
        ChangeEventType(event, c.newType);
        EXPECT_EQ(event.type, c.newType);
        EXPECT_EQ((U { event.data1, event.data2, event.data3 }), c.words);
        EXPECT_EQ(event.time, c.before.time);
        EXPECT_EQ(event.flags, c.before.flags);
    }
}

TEST(FieldInputText, ShowsEachFieldAsItsColumnDoes)
{
    FieldFormat shown; // normalized, minutes and seconds
    FieldFormat raw { true, false, 44100 };
    const Event play = Make(0, 12, 2048, kPitch1 * 2, 66150);
    const Event balance = Make(4, 512, 0, 0, 44100);
    const Event allStop = Make(2, 5, 6, 7);
    EXPECT_EQ(FieldInputText(play, EventField::kTime, shown), "00:01.500");
    EXPECT_EQ(FieldInputText(play, EventField::kTime, raw), "66150");
    EXPECT_EQ(FieldInputText(play, EventField::kType, shown), "0");
    EXPECT_EQ(FieldInputText(play, EventField::kData1, shown), "12");
    EXPECT_EQ(FieldInputText(play, EventField::kData2, shown), "2.000000");
    EXPECT_EQ(FieldInputText(play, EventField::kData2, raw), "2048");
    EXPECT_EQ(FieldInputText(play, EventField::kData3, shown), "2.000000");
    EXPECT_EQ(FieldInputText(balance, EventField::kData1, shown), "0.000000");
    EXPECT_EQ(FieldInputText(balance, EventField::kData1, raw), "512");
    EXPECT_EQ(FieldInputText(balance, EventField::kData2, shown), "");
    EXPECT_EQ(FieldInputText(allStop, EventField::kData1, shown), "");
}

using StoreField = EditingTest;

TEST_F(StoreField, TimeTextIsReadAtTheOutputRateAndTheTrackSortedAgain)
{
    Fill(0, { { 0, 1 }, { 44100, 2 }, { 88200, 3 } });
    EXPECT_EQ(StoreFieldText(Context(0), 0, EventField::kTime, "0:01.5"), FieldStore::kStored);
    // 66150 frames lies between the second and third event.
    EXPECT_EQ(Times(0), (U { 44100, 66150, 88200 }));
    EXPECT_EQ(Data1(0), (U { 2, 1, 3 }));
    EXPECT_EQ(UndoSteps(), 1u);

    // An equal time keeps the event where it is (stable).
    EXPECT_EQ(StoreFieldText(Context(0), 2, EventField::kTime, "66150"), FieldStore::kStored);
    EXPECT_EQ(Data1(0), (U { 2, 1, 3 }));
    // Past the largest edit time: held at 0x7FFFFFFF.
    StoreFieldText(Context(0), 0, EventField::kTime, "4000000000");
    EXPECT_EQ(Times(0), (U { 66150, 66150, 0x7FFFFFFFu }));
    EXPECT_EQ(Data1(0), (U { 1, 3, 2 }));
}

TEST_F(StoreField, UnreadableTimeOrTypeChangesNothingAndRecordsNothing)
{
    Fill(0, { { 100, 1 } });
    CountingView view;
    doc.addView(view);
    for (const char* text : { "", "abc", ":5", "-" }) {
        SCOPED_TRACE(text);
        EXPECT_EQ(StoreFieldText(Context(0), 0, EventField::kTime, text), FieldStore::kUnchanged);
        EXPECT_EQ(StoreFieldText(Context(0), 0, EventField::kType, text), FieldStore::kUnchanged);
    }
    EXPECT_EQ(Times(0), U { 100 });
    EXPECT_EQ(TrackAt(0).events[0].type, 0u);
    EXPECT_EQ(UndoSteps(), 0u);
    EXPECT_EQ(view.updates, 0);
    doc.removeView(view);
}

TEST_F(StoreField, DataTextsAreReadByWhatTheWordMeansForTheType)
{
    struct Case {
        std::uint32_t type;
        EventField field;
        const char* text;
        std::uint32_t stored;
    };
    const Case cases[] = {
        { 0, EventField::kData2, "1", 1 }, // a raw volume word
        { 0, EventField::kData2, "1.0", 1024 }, // a volume of 1.0
        { 0, EventField::kData3, "0.5", kPitch1 / 2 },
        { 0, EventField::kData1, "0x10", 16 }, // sound IDs are plain integers
        { 0, EventField::kData1, "1.5", 1 }, // ...so the fraction is ignored
        { 1, EventField::kData2, "2.0", kPitch1 * 2 },
        { 3, EventField::kData1, "0.25", 256 },
        { 5, EventField::kData1, "2.0", 2048 },
        { 4, EventField::kData1, "0.0", 512 }, // balance centre
        { 4, EventField::kData1, "-1.0", 0 },
        { 6, EventField::kData1, "3", 3 },
        { 0, EventField::kData2, "loud", 0 }, // unreadable: 0
        { 3, EventField::kData2, "77", 0 }, // no meaning for the type: 0
        { 2, EventField::kData1, "77", 0 },
        { 9, EventField::kData1, "77", 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "type " << c.type << " text " << c.text);
        Fill(0, { { 100, 5555 } });
        Event& event = TrackAt(0).events[0];
        event.type = c.type;
        event.data2 = event.data3 = 4444;
        doc.undoHistory().clear();
        EXPECT_EQ(StoreFieldText(Context(0), 0, c.field, c.text), FieldStore::kStored);
        const Event& after = TrackAt(0).events[0];
        const std::uint32_t word = c.field == EventField::kData1 ? after.data1
            : c.field == EventField::kData2                      ? after.data2
                                                                 : after.data3;
        EXPECT_EQ(word, c.stored);
        EXPECT_EQ(UndoSteps(), 1u);
    }
}

TEST_F(StoreField, TypeChangeIsUndoneInOneStepAndTellsTheViews)
{
    Fill(0, { { 100, 7 } });
    TrackAt(0).events[0].type = 1;
    TrackAt(0).events[0].data2 = 33554432;
    CountingView view;
    doc.addView(view);
    EXPECT_EQ(StoreFieldText(Context(0), 0, EventField::kType, "0"), FieldStore::kStored);
    const Event& play = TrackAt(0).events[0];
    EXPECT_EQ((U { play.type, play.data1, play.data2, play.data3 }), (U { 0, 7, 1024, 33554432 }));
    EXPECT_GE(view.updates, 1);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(TrackAt(0).events[0].type, 1u);
    doc.removeView(view);
}

TEST_F(StoreField, EditAsksTheInputDialogWithTheShownTextAndStoresTheAnswer)
{
    Fill(0, { { 44100, 3 } });
    ui.inputAnswers.push_back("2.5");
    EXPECT_EQ(
        EditEventField(Context(0), ui, 0, EventField::kTime, FieldFormat {}), FieldStore::kStored);
    ASSERT_EQ(ui.inputRequests.size(), 1u);
    EXPECT_EQ(ui.inputRequests[0], "00:01.000");
    EXPECT_EQ(Times(0), U { 110250 });

    // Cancel (the script ran dry) changes nothing; a row past the end asks nothing.
    EXPECT_EQ(EditEventField(Context(0), ui, 0, EventField::kData1, FieldFormat {}),
        FieldStore::kUnchanged);
    EXPECT_EQ(EditEventField(Context(0), ui, 1, EventField::kData1, FieldFormat {}),
        FieldStore::kUnchanged);
    EXPECT_EQ(ui.inputRequests.size(), 2u);
    EXPECT_EQ(Data1(0), U { 3 });
    EXPECT_EQ(UndoSteps(), 1u);
}

using AppendEvents = EditingTest;

TEST_F(AppendEvents, SpaceOnTheEmptyRowOfANewTrackAppendsAPlayEventAtTimeZero)
{
    ToggleOrAppend(Context(5, 0));
    ASSERT_EQ(TrackAt(5).count, 1u);
    const Event& event = TrackAt(5).events[0];
    EXPECT_EQ((U { event.flags, event.time, event.type, event.data1, event.data2, event.data3 }),
        (U { kEventExists, 0, 0, 0, 1024, kPitch1 }));
    EXPECT_EQ(TrackAt(5).events[1].time, 0xFFFFFFFFu); // the sentinel follows
}

TEST_F(AppendEvents, NewEventTakesTheLastTimeAndARunOfAppendsUndoesAtOnce)
{
    Fill(0, { { 500, 1, true } });
    ASSERT_TRUE(AppendEvent(Context(0)));
    ASSERT_TRUE(AppendEvent(Context(0)));
    EXPECT_EQ(Times(0), (U { 500, 500, 500 }));
    EXPECT_EQ(TrackAt(0).events[2].flags, kEventExists); // not selected
    EXPECT_EQ(UndoSteps(), 1u);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(TrackAt(0).count, 1u);

    // Another kind of edit ends the run.
    ASSERT_TRUE(AppendEvent(Context(0)));
    StoreFieldText(Context(0), 0, EventField::kData1, "9");
    ASSERT_TRUE(AppendEvent(Context(0)));
    EXPECT_EQ(TrackAt(0).count, 3u);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(TrackAt(0).count, 2u);
}

TEST_F(AppendEvents, SpaceOnAnEventTogglesItsSelectionWithoutAnUndoStep)
{
    Fill(0, { { 1, 1 }, { 2, 2 } });
    ToggleOrAppend(Context(0, 1));
    EXPECT_EQ(Selected(0), (std::vector<bool> { false, true }));
    ToggleOrAppend(Context(0, 1));
    EXPECT_EQ(Selected(0), (std::vector<bool> { false, false }));
    EXPECT_EQ(UndoSteps(), 0u);
    // A cursor past the end (the empty row, or none at all) appends.
    ToggleOrAppend(Context(0, 0xFFFFFFFFu));
    EXPECT_EQ(Times(0), (U { 1, 2, 2 }));
}

TEST(ReadRangeField, TakesOnlyWholeUnsignedDecimalNumbers)
{
    struct Case {
        const char* text;
        std::optional<std::uint32_t> value;
    };
    const Case cases[] = {
        { "0", 0u },
        { "17", 17u },
        { "  17\t", 17u },
        { "+5", 5u },
        { "4294967295", 4294967295u },
        { "4294967296", std::nullopt }, // does not fit: refused, not wrapped
        { "99999999999999999999", std::nullopt },
        { "-1", std::nullopt },
        { "", std::nullopt },
        { "  ", std::nullopt },
        { "+", std::nullopt },
        { "1.5", std::nullopt },
        { "12abc", std::nullopt },
        { "0x10", std::nullopt },
        { "1 2", std::nullopt },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadRangeField(c.text), c.value) << '"' << c.text << '"';
}
