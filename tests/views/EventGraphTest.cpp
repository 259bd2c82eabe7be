// SPDX-License-Identifier: MIT
#include "editing/EditingFixture.h"
#include "views/EventGraphPanel.h"

#include <limits>
#include <random>

using namespace vellisto;
using namespace vellisto::views;
using vellisto::testing::EditingTest;

namespace {

using U = std::vector<std::uint32_t>;
using B = std::vector<bool>;

constexpr std::uint32_t kS = 1u << 21;
constexpr std::uint32_t kPitch1 = 1u << 24;

// The whole default plane, 640 pixels of it, scrolled to the left end.
constexpr GraphRect kWindow { 0, 0, 640, 1024 };

} // namespace

TEST(GraphAxes, ValuesMapToRowsAsTheAxesAreScaled)
{
    struct Case {
        GraphAxis axis;
        std::uint32_t value;
        std::int32_t y;
    };
    const Case cases[] = {
        { GraphAxis::kVolume, 1024, 383 }, // volume 1.0
        { GraphAxis::kVolume, 2048, 319 }, // an octave is 64 pixels
        { GraphAxis::kVolume, 512, 447 },
        { GraphAxis::kVolume, 32768, 63 },
        { GraphAxis::kVolume, 1, 1023 },
        { GraphAxis::kVolume, 0, 1024 }, // log2(0): the bottom
        { GraphAxis::kVolume, 65536, 0 }, // past the top: the top edge
        { GraphAxis::kVolume, 0xFFFFFFFFu, 0 },
        { GraphAxis::kPitch, kPitch1, 255 }, // pitch 1.0
        { GraphAxis::kPitch, kPitch1 * 2, 223 }, // an octave is 32 pixels
        { GraphAxis::kPitch, 1u << 31, 31 },
        { GraphAxis::kPitch, 0, 1024 },
        { GraphAxis::kPitch, 0xFFFFFFFFu, 0 },
        { GraphAxis::kBalance, 512, 512 },
        { GraphAxis::kBalance, 0, 1024 },
        { GraphAxis::kBalance, 1024, 0 },
        { GraphAxis::kBalance, 256, 768 },
        { GraphAxis::kBalance, 1025, 0 }, // a damaged balance stays on the plane
        { GraphAxis::kBalance, 0x80000000u, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            ::testing::Message() << "axis " << static_cast<int>(c.axis) << " value " << c.value);
        EXPECT_EQ(ValueToY(c.axis, c.value, kS), c.y);
    }
    EXPECT_EQ(GraphHeight(kS), 1024);
    EXPECT_EQ(TimeToX(25600, 256), 100);
    EXPECT_EQ(TimeToX(0xFFFFFFFFu, 1), 0xFFFFFFFFll);
}

TEST(GraphAxes, ClickedRowsGiveValuesThatMapBackToTheSameRow)
{
    // Rounding to whole words blurs only the smallest values.
    for (std::int32_t y = 0; y <= 500; ++y)
        ASSERT_EQ(ValueToY(GraphAxis::kVolume, ValueAtY(GraphAxis::kVolume, y, kS), kS), y) << y;
    for (std::int32_t y = 0; y <= 700; ++y)
        ASSERT_EQ(ValueToY(GraphAxis::kPitch, ValueAtY(GraphAxis::kPitch, y, kS), kS), y) << y;
    for (std::int32_t y = 0; y <= 1024; ++y)
        ASSERT_EQ(ValueToY(GraphAxis::kBalance, ValueAtY(GraphAxis::kBalance, y, kS), kS), y) << y;
    EXPECT_EQ(ValueAtY(GraphAxis::kVolume, 383, kS), 1024u);
    EXPECT_EQ(ValueAtY(GraphAxis::kPitch, 255, kS), kPitch1);
    EXPECT_EQ(ValueAtY(GraphAxis::kVolume, 1023, kS), 1u);
}

TEST(GraphAxes, DragsMoveTimesAndValuesWithinTheirLimits)
{
    EXPECT_EQ(DragTime(25600, 10, 256), 28160u);
    EXPECT_EQ(DragTime(25600, 0, 256), 25600u);
    EXPECT_EQ(DragTime(100, -10, 256), 0u); // stops at 0
    EXPECT_EQ(DragTime(2147483000u, 10, 256), 2147483647u);
    EXPECT_EQ(DragTime(4000000000u, 0, 256), 2147483647u);
    EXPECT_EQ(DragTime(1000, 1, 65536), 66536u);

    struct Case {
        GraphAxis axis;
        std::uint32_t value;
        std::int32_t dy;
        std::uint32_t after;
    };
    const Case cases[] = {
        { GraphAxis::kVolume, 1024, -64, 2048 }, // 64 pixels up: an octave
        { GraphAxis::kVolume, 1024, 64, 512 },
        { GraphAxis::kVolume, 1024, 0, 1024 },
        { GraphAxis::kVolume, 1024, -32, 1448 }, // 1024 x sqrt(2) = 1448.15
        { GraphAxis::kVolume, 60000, -64, 65536 }, // never above 65536
        { GraphAxis::kVolume, 0xFFFFFFFFu, 0, 65536 },
        { GraphAxis::kVolume, 0, -640, 0 },
        { GraphAxis::kPitch, kPitch1, 0, kPitch1 + 1 }, // the + 1, even without moving
        { GraphAxis::kPitch, kPitch1, -32, kPitch1 * 2 + 1 },
        { GraphAxis::kPitch, 0, 0, 1 },
        { GraphAxis::kPitch, 0xFFFFFFFFu, -32, 0xFFFFFFFFu },
        { GraphAxis::kPitch, 3, 1000, 1 },
        { GraphAxis::kBalance, 512, -100, 612 },
        { GraphAxis::kBalance, 512, 0, 512 },
        { GraphAxis::kBalance, 512, -1000, 1024 }, // never leaves 0 to 1024
        { GraphAxis::kBalance, 512, 1000, 0 },
        { GraphAxis::kBalance, 5000, 0, 1024 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
            << "axis " << static_cast<int>(c.axis) << " value " << c.value << " dy " << c.dy);
        EXPECT_EQ(DragValue(c.axis, c.value, c.dy, kS), c.after);
    }
}

TEST(GraphAxes, ClicksAddTheKindsEventAtTheClickedTimeAndValue)
{
    struct Case {
        GraphKind kind;
        std::int32_t x;
        std::int32_t y;
        Event event;
    };
    constexpr std::uint32_t kX = kEventExists;
    const Case cases[] = {
        { GraphKind::kPlayPitch, 100, 255, { kX, 25600, 0, 0, 1024, kPitch1 } }, // the blue line
        { GraphKind::kPlayVolume, 1, 383, { kX, 256, 0, 0, 1024, kPitch1 } },
        { GraphKind::kStop, 0, 223, { kX, 0, 1, 0, kPitch1 * 2, 0 } },
        { GraphKind::kVolume, 0, 319, { kX, 0, 3, 2048, 0, 0 } },
        { GraphKind::kStress, 0, 1023, { kX, 0, 5, 1, 0, 0 } },
        { GraphKind::kPitch, 0, 255, { kX, 0, 6, kPitch1, 0, 0 } },
        { GraphKind::kBalance, 0, 512, { kX, 0, 4, 512, 0, 0 } },
        { GraphKind::kBalance, 0, 0, { kX, 0, 4, 1024, 0, 0 } },
        // Below the plane: its bottom row, not a wrapped huge value.
        { GraphKind::kVolume, 0, 5000, { kX, 0, 3, 1, 0, 0 } },
        { GraphKind::kBalance, 0, 5000, { kX, 0, 4, 1, 0, 0 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "kind " << static_cast<int>(c.kind) << " y " << c.y);
        const auto event = NewGraphEvent(c.kind, c.x, c.y, 256, kS);
        ASSERT_TRUE(event.has_value());
        EXPECT_EQ((U { event->flags, event->time, event->type, event->data1, event->data2,
                      event->data3 }),
            (U { c.event.flags, c.event.time, c.event.type, c.event.data1, c.event.data2,
                c.event.data3 }));
    }
    EXPECT_FALSE(NewGraphEvent(GraphKind::kAutomatic, 10, 10, 256, kS).has_value());
    // Far right at the widest zoom: held at the largest edit time.
    EXPECT_EQ(NewGraphEvent(GraphKind::kPitch, 40000, 0, 65536, kS)->time, 0x7FFFFFFFu);
}

TEST(GraphAxes, KindsShowTheirTypesByTheirWords)
{
    struct Case {
        GraphKind kind;
        GraphKindCode code;
        std::vector<std::uint32_t> shown;
        std::uint32_t greyLines;
        std::uint32_t reference;
    };
    const Case cases[] = {
        { GraphKind::kAutomatic, { -1, 0 }, { 0, 1 }, 32, kPitch1 },
        { GraphKind::kPlayVolume, { 0, 1 }, { 0 }, 16, 1024 },
        { GraphKind::kPlayPitch, { 0, 2 }, { 0 }, 32, kPitch1 },
        { GraphKind::kStop, { 1, 1 }, { 1 }, 32, kPitch1 },
        { GraphKind::kVolume, { 3, 0 }, { 3 }, 16, 1024 },
        { GraphKind::kBalance, { 4, 0 }, { 4 }, 0, 512 },
        { GraphKind::kStress, { 5, 0 }, { 5 }, 16, 1024 },
        { GraphKind::kPitch, { 6, 0 }, { 6 }, 32, kPitch1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        EXPECT_EQ(CodeOf(c.kind), c.code);
        std::vector<std::uint32_t> shown;
        for (std::uint32_t type = 0; type < 9; ++type) {
            if (ShowsType(c.kind, type))
                shown.push_back(type);
        }
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(GreyLineCount(c.kind), c.greyLines);
        EXPECT_EQ(ReferenceValue(c.kind), c.reference);
    }
    EXPECT_EQ(ValueWordOf(GraphKind::kAutomatic, 0), &Event::data3);
    EXPECT_EQ(ValueWordOf(GraphKind::kAutomatic, 1), &Event::data2);
    EXPECT_EQ(ValueWordOf(GraphKind::kPlayVolume, 0), &Event::data2);
    EXPECT_EQ(ValueWordOf(GraphKind::kBalance, 4), &Event::data1);
}

class EventGraph : public EditingTest {
protected:
    void SetEvents(const std::vector<Event>& events)
    {
        Track& track = TrackAt(0);
        ASSERT_TRUE(ResetEvents(track, static_cast<std::uint32_t>(events.size())));
        std::copy(events.begin(), events.end(), track.events.get());
    }
    void Click(PanelPoint point, bool ctrl = false)
    {
        panel.leftDown(doc, ui, kWindow, point, ctrl);
        panel.leftUp(doc, ui, point);
    }
    void Drag(PanelPoint from, PanelPoint to)
    {
        panel.leftDown(doc, ui, kWindow, from, false);
        panel.leftUp(doc, ui, to);
    }
    void Kind(EventViewCommand command) { panel.runCommand(command, doc, ui, clipboard); }
    const Event& EventAt(std::uint32_t index) { return TrackAt(0).events[index]; }

    EventGraphPanel panel { 0 };
    GraphScene scene;
};

TEST_F(EventGraph, VolumeGraphDragDoublesAVolumeAndMovesItInTime)
{
    SetEvents({ { kEventExists, 25600, 0, 3, 1024, kPitch1 } });
    Kind(EventViewCommand::kGraphPlayVolume);
    panel.buildScene(doc.project(), kWindow, scene);
    ASSERT_EQ(scene.markers.size(), 1u);
    EXPECT_EQ(scene.markers[0].x, 100);
    EXPECT_EQ(scene.markers[0].y, 383);

    Drag({ 102, 383 }, { 102, 319 }); // 64 pixels up
    EXPECT_EQ(EventAt(0).data2, 2048u);
    EXPECT_EQ(EventAt(0).time, 25600u);
    EXPECT_EQ(EventAt(0).data3, kPitch1); // the other words keep their values
    Drag({ 101, 319 }, { 111, 319 }); // 10 pixels right
    EXPECT_EQ(EventAt(0).time, 28160u);
    EXPECT_EQ(EventAt(0).data2, 2048u);
    EXPECT_EQ(UndoSteps(), 2u);

    // Each drag is one undo step.
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(EventAt(0).time, 25600u);
    EXPECT_EQ(EventAt(0).data2, 2048u);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(EventAt(0).data2, 1024u);
}

TEST_F(EventGraph, DragMovesEverySelectedEventTheKindShowsAndSortsTheTrack)
{
    SetEvents({
        { kEventExists | kEventSelected, 1000, 0, 1, 1024, kPitch1 },
        { kEventExists, 2560, 0, 2, 1024, kPitch1 }, // pressed: becomes the only selection
        { kEventExists | kEventSelected, 3000, 3, 1024, 0, 0 },
    });
    Kind(EventViewCommand::kGraphPlayPitch);
    Drag({ 10, 255 }, { 5, 255 }); // 5 pixels left, 0 vertically
    EXPECT_EQ(EventAt(0).data1, 1u);
    EXPECT_EQ(EventAt(1).data1, 2u);
    EXPECT_EQ(EventAt(1).time, 2560u - 5 * 256);
    EXPECT_EQ(EventAt(1).data3, kPitch1 + 1); // the + 1 of the pitch axis
    EXPECT_EQ(EventAt(0).data3, kPitch1);

    // The press without Ctrl left the pressed event the only selection.
    // Ctrl-click the first Play (x 3) into it, select the Volume event too,
    // and drag with Ctrl from the second Play (x 5): both Plays move, the
    // Volume event is not shown and stays, and the list is sorted again.
    EXPECT_EQ(Selected(0), (B { false, true, false }));
    Click({ 3, 255 }, true);
    TrackAt(0).events[2].flags |= kEventSelected;
    panel.leftDown(doc, ui, kWindow, { 5, 255 }, true);
    panel.leftUp(doc, ui, { 25, 255 });
    EXPECT_EQ(Times(0), (U { 3000, 1000 + 20 * 256, 1280 + 20 * 256 }));
    EXPECT_EQ(Column(0, &Event::data1), (U { 1024, 1, 2 }));
}

TEST_F(EventGraph, ClicksSelectDeselectAndToggleMarkers)
{
    SetEvents({
        { kEventExists, 2560, 0, 1, 1024, kPitch1 }, // x 10
        { kEventExists, 5120, 0, 2, 1024, kPitch1 }, // x 20
        { kEventExists, 5120, 0, 3, 1024, kPitch1 }, // x 20, drawn over the one before
    });
    Click({ 12, 255 });
    EXPECT_EQ(Selected(0), (B { true, false, false }));
    EXPECT_EQ(panel.cursorEvent(), 0u);
    // Overlapping markers: the later one in the list is hit.
    Click({ 20, 250 });
    EXPECT_EQ(Selected(0), (B { false, false, true }));
    EXPECT_EQ(panel.cursorEvent(), 2u);
    // Ctrl-click toggles the marker and leaves the others.
    Click({ 10, 255 }, true);
    EXPECT_EQ(Selected(0), (B { true, false, true }));
    Click({ 10, 255 }, true);
    EXPECT_EQ(Selected(0), (B { false, false, true }));
    // Empty space without Ctrl deselects everything.
    Click({ 300, 600 });
    EXPECT_EQ(Selected(0), (B { false, false, false }));
    EXPECT_EQ(panel.cursorEvent(), kNoCursorEvent);
    EXPECT_EQ(UndoSteps(), 0u);
}

TEST_F(EventGraph, HitTestCoversTheMarkersBoxOnly)
{
    SetEvents({ { kEventExists, 25600, 0, 1, 1024, kPitch1 } }); // (100, 255)
    struct Case {
        PanelPoint point;
        bool hit;
    };
    const Case cases[] = {
        { { 100, 255 }, true },
        { { 104, 255 }, true },
        { { 105, 255 }, false },
        { { 99, 255 }, false },
        { { 100, 250 }, true },
        { { 100, 249 }, false },
        { { 100, 260 }, true },
        { { 100, 261 }, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.point.x << "," << c.point.y);
        EXPECT_EQ(panel.hitTest(doc.project(), kWindow, c.point).has_value(), c.hit);
    }
    // Only markers of the window's time range are hit.
    EXPECT_FALSE(panel.hitTest(doc.project(), { 0, 0, 100, 1024 }, { 100, 255 }).has_value());
    EXPECT_TRUE(panel.hitTest(doc.project(), { 108, 0, 700, 1024 }, { 100, 255 }).has_value());
    EXPECT_FALSE(panel.hitTest(doc.project(), { 109, 0, 700, 1024 }, { 100, 255 }).has_value());
    // Events of types the kind does not show are never hit.
    TrackAt(0).events[0].type = 3;
    EXPECT_FALSE(panel.hitTest(doc.project(), kWindow, { 100, 255 }).has_value());
}

TEST_F(EventGraph, AddingEventsModeAddsAtTheClickedPointAndAutomaticIgnoresIt)
{
    SetEvents({ { kEventExists | kEventSelected, 0, 0, 1, 1024, kPitch1 } });
    panel.runCommand(EventViewCommand::kAddingEventsMode, doc, ui, clipboard);
    EXPECT_EQ(
        panel.commandState(EventViewCommand::kAddingEventsMode), (CommandState { true, true }));

    Click({ 40, 255 }); // Automatic: nothing is added
    EXPECT_EQ(TrackAt(0).count, 1u);
    EXPECT_EQ(Selected(0), B { false }); // the selection is cleared all the same

    Kind(EventViewCommand::kGraphPlayPitch);
    Click({ 40, 255 }); // on the blue line
    ASSERT_EQ(TrackAt(0).count, 2u);
    const Event& added = EventAt(1);
    EXPECT_EQ((U { added.flags, added.time, added.type, added.data1, added.data2, added.data3 }),
        (U { kEventExists, 40 * 256, 0, 0, 1024, kPitch1 }));
    EXPECT_EQ(panel.cursorEvent(), kNoCursorEvent);
    // Added after the events of equal time.
    Click({ 40, 223 });
    EXPECT_EQ(Column(0, &Event::data3), (U { kPitch1, kPitch1, kPitch1 * 2 }));
    EXPECT_EQ(UndoSteps(), 2u);
}

TEST_F(EventGraph, AutomaticGraphShowsPlayAndStopByPitchWithUnselectedStopsRed)
{
    SetEvents({
        { kEventExists, 0, 0, 7, 1024, kPitch1 }, { kEventExists, 256, 1, 7, kPitch1 * 2, 0 },
        { kEventExists | kEventSelected, 512, 1, 7, kPitch1, 0 },
        { kEventExists, 768, 3, 1024, 0, 0 }, // Volume: not in this graph
        { 0, 1024, 0, 12, 1024, kPitch1 / 2 }, // drawn without its exists flag too
    });
    panel.buildScene(doc.project(), kWindow, scene);
    ASSERT_EQ(scene.markers.size(), 4u);
    const GraphMarker expected[] = {
        { 0, 255, kMarkerNormal, true, 7, 0 },
        { 1, 223, kMarkerStop, true, 7, 1 },
        { 2, 255, kMarkerSelected, true, 7, 2 },
        { 4, 287, kMarkerNormal, true, 12, 4 },
    };
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(scene.markers[i].x, expected[i].x);
        EXPECT_EQ(scene.markers[i].y, expected[i].y);
        EXPECT_EQ(scene.markers[i].fill, expected[i].fill);
        EXPECT_EQ(scene.markers[i].labelled, expected[i].labelled);
        EXPECT_EQ(scene.markers[i].soundId, expected[i].soundId);
        EXPECT_EQ(scene.markers[i].event, expected[i].event);
    }
    // In the Stop graph a Stop is not red.
    Kind(EventViewCommand::kGraphStop);
    panel.buildScene(doc.project(), kWindow, scene);
    ASSERT_EQ(scene.markers.size(), 2u);
    EXPECT_EQ(scene.markers[0].fill, kMarkerNormal);
    Kind(EventViewCommand::kGraphVolume);
    panel.buildScene(doc.project(), kWindow, scene);
    ASSERT_EQ(scene.markers.size(), 1u);
    EXPECT_FALSE(scene.markers[0].labelled);
}

TEST_F(EventGraph, ScenesRulerGridAndReferenceLineFollowTheKindAndWindow)
{
    panel.buildScene(doc.project(), { 300, 100, 940, 420 }, scene);
    EXPECT_EQ(scene.area.left, 236); // 64 pixels further left
    std::vector<std::int32_t> rulerX;
    for (const RulerMark& mark : scene.ruler)
        rulerX.push_back(mark.x);
    EXPECT_EQ(rulerX, (std::vector<std::int32_t> { 128, 256, 384, 512, 640, 768, 896 }));
    EXPECT_EQ(scene.ruler[0].label, "00:00.743"); // 128 x 256 frames at 44100 Hz
    // Pitch axis: 2^0 .. 2^31; only the lines between y 100 and 420 are kept.
    EXPECT_EQ(scene.greyLines,
        (std::vector<std::int32_t> { 415, 383, 351, 319, 287, 255, 223, 191, 159, 127 }));
    EXPECT_EQ(scene.blueLine, 255);

    Kind(EventViewCommand::kGraphBalance);
    panel.runCommand(EventViewCommand::kShowBySample, doc, ui, clipboard);
    panel.buildScene(doc.project(), { 10, 0, 650, 1024 }, scene);
    EXPECT_EQ(scene.area.left, 0);
    EXPECT_TRUE(scene.greyLines.empty());
    EXPECT_EQ(scene.blueLine, 512);
    EXPECT_EQ(scene.ruler[1].label, "32768");
    EXPECT_EQ(RulerLabel(100000, 65536, false, 44100), "2476:47.709");
    EXPECT_EQ(RulerLabel(100000, 65536, true, 44100), "6553600000");
}

TEST_F(EventGraph, OnlyTheVisibleTimeRangeIsLookedAt)
{
    std::vector<Event> events;
    for (std::uint32_t i = 0; i < 10000; ++i)
        events.push_back({ kEventExists, i * 256, 0, i, 1024, kPitch1 }); // one a pixel
    SetEvents(events);
    panel.buildScene(doc.project(), { 5000, 0, 5640, 1024 }, scene);
    EXPECT_EQ(scene.firstEvent, 4936u); // 64 pixels left of the window
    EXPECT_EQ(scene.endEvent, 5640u);
    ASSERT_EQ(scene.markers.size(), 704u);
    EXPECT_EQ(scene.markers.front().x, 4936);
    EXPECT_EQ(scene.markers.back().x, 5639);
    EXPECT_EQ(panel.hitTest(doc.project(), { 5000, 0, 5640, 1024 }, { 5322, 257 }), 5322u);
    EXPECT_EQ(panel.documentWidth(doc.project(), 640), 9999 + 640);

    panel.buildScene(doc.project(), { 20000, 0, 20640, 1024 }, scene);
    EXPECT_EQ(scene.firstEvent, scene.endEvent);
    EXPECT_TRUE(scene.markers.empty());
}

TEST_F(EventGraph, CoveredMarkersAreLeftOutAndTheRestKeepTheirOrder)
{
    // Many events on few pixels: the scene must draw what drawing all of
    // them in list order would show. A marker is hidden exactly when a later
    // one has the same place and a label as wide.
    std::mt19937 random(7);
    std::vector<Event> events;
    for (std::uint32_t i = 0; i < 600; ++i) {
        const std::uint32_t time = static_cast<std::uint32_t>(random() % 2000);
        const std::uint32_t pitch = kPitch1 << (random() % 3);
        const std::uint32_t id = (random() % 2) ? 5 : 10 + random() % 3;
        events.push_back({ kEventExists | static_cast<std::uint32_t>(random() % 2) * kEventSelected,
            time, static_cast<std::uint32_t>(random() % 2), id, pitch, pitch });
    }
    std::stable_sort(events.begin(), events.end(),
        [](const Event& a, const Event& b) { return a.time < b.time; });
    SetEvents(events);
    panel.buildScene(doc.project(), kWindow, scene);

    std::vector<std::uint32_t> expected;
    for (std::uint32_t i = 0; i < events.size(); ++i) {
        const auto place = [&](std::uint32_t k) {
            const Event& e = events[k];
            const std::uint32_t value = e.type == 1 ? e.data2 : e.data3;
            return std::tuple(e.time / 256, ValueToY(GraphAxis::kPitch, value, kS), e.data1 >= 10);
        };
        bool covered = false;
        for (std::uint32_t k = i + 1; k < events.size() && !covered; ++k)
            covered = place(k) == place(i);
        if (!covered)
            expected.push_back(i);
    }
    std::vector<std::uint32_t> drawn;
    for (const GraphMarker& marker : scene.markers)
        drawn.push_back(marker.event);
    EXPECT_EQ(drawn, expected);
    EXPECT_LT(drawn.size(), events.size());
}

TEST_F(EventGraph, ZoomHasItsLimitsAndKindsTheirCheckMarks)
{
    EXPECT_EQ(panel.zoom(), 256u);
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(panel.commandState(EventViewCommand::kZoomIn).enabled);
        panel.runCommand(EventViewCommand::kZoomIn, doc, ui, clipboard);
    }
    EXPECT_EQ(panel.zoom(), 1u);
    EXPECT_FALSE(panel.commandState(EventViewCommand::kZoomIn).enabled);
    panel.runCommand(EventViewCommand::kZoomIn, doc, ui, clipboard);
    EXPECT_EQ(panel.zoom(), 1u);
    for (int i = 0; i < 16; ++i)
        panel.runCommand(EventViewCommand::kZoomOut, doc, ui, clipboard);
    EXPECT_EQ(panel.zoom(), 65536u);
    EXPECT_FALSE(panel.commandState(EventViewCommand::kZoomOut).enabled);
    EXPECT_TRUE(panel.commandState(EventViewCommand::kZoomIn).enabled);

    EXPECT_EQ(panel.commandState(EventViewCommand::kGraphAutomatic), (CommandState { true, true }));
    Kind(EventViewCommand::kGraphStress);
    EXPECT_EQ(panel.kind(), GraphKind::kStress);
    EXPECT_EQ(
        panel.commandState(EventViewCommand::kGraphAutomatic), (CommandState { true, false }));
    EXPECT_EQ(panel.commandState(EventViewCommand::kGraphStress), (CommandState { true, true }));
    EXPECT_FALSE(panel.commandState(EventViewCommand::kCut).enabled);
    EXPECT_TRUE(panel.commandState(EventViewCommand::kOpenSoundWindow).enabled);
}

TEST_F(EventGraph, KeysToggleAppendAndEditTheCursorEvent)
{
    SetEvents({ { kEventExists, 44100, 0, 1, 1024, kPitch1 } });
    panel.key(doc, ui, ui, GraphKey::kSpace); // no cursor event: appends
    EXPECT_EQ(Times(0), (U { 44100, 44100 }));
    EXPECT_TRUE(panel.key(doc, ui, ui, GraphKey::kEditData1)); // still none: cursor to the end
    EXPECT_EQ(panel.cursorEvent(), 2u);
    EXPECT_TRUE(ui.inputRequests.empty());

    Click({ 172, 255 }); // selects event 0 (the later event at the same place is hit: 1)
    ASSERT_EQ(panel.cursorEvent(), 1u);
    panel.key(doc, ui, ui, GraphKey::kSpace);
    EXPECT_EQ(Selected(0), (B { false, false }));
    ui.inputAnswers.push_back("2");
    panel.key(doc, ui, ui, GraphKey::kEditTime);
    EXPECT_EQ(ui.inputRequests.back(), "00:01.000");
    EXPECT_EQ(Times(0), (U { 2, 44100 }));

    // Keys and the left button wait while the right button is down.
    EXPECT_TRUE(panel.rightDown());
    EXPECT_FALSE(panel.key(doc, ui, ui, GraphKey::kSpace));
    EXPECT_FALSE(panel.leftDown(doc, ui, kWindow, { 0, 0 }, false));
    EXPECT_TRUE(panel.rightUp());
}

TEST_F(EventGraph, DocumentIsAsWideAsTheLastEventPlusTheWindow)
{
    EXPECT_EQ(panel.documentWidth(doc.project(), 640), 640);
    EXPECT_EQ(panel.documentHeight(), 1024);
    SetEvents({ { kEventExists, 0, 0, 0, 0, 0 }, { kEventExists, 256000, 0, 0, 0, 0 } });
    EXPECT_EQ(panel.documentWidth(doc.project(), 500), 1500);
    for (int i = 0; i < 8; ++i)
        panel.runCommand(EventViewCommand::kZoomIn, doc, ui, clipboard);
    TrackAt(0).events[1].time = 0xFFFFFFF0u; // damaged: past every edit time
    EXPECT_EQ(panel.documentWidth(doc.project(), 500), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(EventGraphTitle(3, u"x"), u"Event Graph Track 3 [x]");
}
