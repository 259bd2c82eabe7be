// SPDX-License-Identifier: MIT
#pragma once

// What the event graph view computes: the events of one track as markers on
// the plane of EventGraphAxes.h, with a time ruler, the grey value grid and
// the blue reference line; which marker a point hits; left presses that
// select, Ctrl-clicks that toggle, drags that move every selected marker in
// time and value (one undo step, applied on release), clicks that add events
// in Adding Events Mode; zoom, graph kind and the commands both event views
// share. User-interface thread only.
//
// Painting and hit testing only look at the events in the visible time
// range, found with two LowerBound searches, so their cost does not grow
// with the length of the track. Markers that a later marker of the same
// shape, place and label width covers completely are left out of the scene.

#include "editing/EventFieldEdit.h"
#include "model/Project.h"
#include "views/EventGraphAxes.h"
#include "views/EventViewCommand.h"
#include "views/PanelCell.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellisto {
class Clipboard;
class Ctest122Doc;
class EditorUserInterface;
class ValueDialogs;
} // namespace vellisto

namespace vellisto::views {

inline constexpr std::uint32_t kNoCursorEvent = 0xFFFFFFFFu;
inline constexpr std::int32_t kGraphClientWidth = 640;
inline constexpr std::int32_t kGraphClientHeight = 320;
inline constexpr std::int32_t kRulerStep = 128; // pixels between ruler lines

inline constexpr Colour kRulerColour = ColourFromNumber(0x808080);
inline constexpr Colour kGridColour = ColourFromNumber(0x808080);
inline constexpr Colour kReferenceColour = ColourFromNumber(0xFF0000); // blue (0, 0, 255)
inline constexpr Colour kMarkerOutline = ColourFromNumber(0x000000);
inline constexpr Colour kMarkerSelected = ColourFromNumber(0x800000); // navy (0, 0, 128)
inline constexpr Colour kMarkerNormal = ColourFromNumber(0xC0FF80); // (128, 255, 192)
inline constexpr Colour kMarkerStop = ColourFromNumber(0x0000FF); // red, Automatic graph

// "Event Graph Track %u [%s]".
std::u16string EventGraphTitle(std::uint32_t track, std::u16string_view documentTitle);

// A rectangle of document pixels; right and bottom exclusive.
struct GraphRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// A ruler line at x with the time at x (x x Z frames) beside it at (x + 2, 0).
struct RulerMark {
    std::int32_t x = 0;
    std::string label;
};

// A right-pointing triangle at (x, y): outlined through (x, y - 5), (x, y +
// 5), (x + 5, y), filled in fill; Play and Stop markers carry their sound ID
// as a label at (x + 8, y - 8).
struct GraphMarker {
    std::int32_t x = 0;
    std::int32_t y = 0;
    Colour fill;
    bool labelled = false;
    std::uint32_t soundId = 0;
    std::uint32_t event = 0; // index in the track
};

// What one paint draws, in this order: ruler lines with their labels, the
// grey lines, the blue line, the markers in list order.
struct GraphScene {
    GraphRect area; // the painted rectangle, its left edge moved 64 pixels left
    std::uint32_t firstEvent = 0; // the events looked at: [firstEvent, endEvent)
    std::uint32_t endEvent = 0;
    std::vector<RulerMark> ruler;
    std::vector<std::int32_t> greyLines; // y of each grey line across the area
    std::optional<std::int32_t> blueLine;
    std::vector<GraphMarker> markers;
};

// The ruler label of document x: x x Z frames as "%u", or minutes, seconds
// and milliseconds at the rate.
std::string RulerLabel(std::int64_t x, std::uint32_t zoom, bool showBySample, std::uint32_t rate);

enum class GraphKey { kSpace, kEditTime, kEditType, kEditData1, kEditData2, kEditData3 };

class EventGraphPanel {
public:
    explicit EventGraphPanel(std::uint32_t track);

    std::uint32_t track() const { return m_track; }
    std::uint32_t cursorEvent() const { return m_cursor; }
    GraphKind kind() const { return m_kind; }
    std::uint32_t zoom() const { return m_zoom; }
    std::uint32_t scale() const { return m_scale; }
    bool addingEvents() const { return m_adding; }
    bool showBySample() const { return m_showBySample; }
    bool showNormalized() const { return m_showNormalized; }
    bool buttonDown() const { return m_button != Button::kNone; }

    editing::EditContext context(Ctest122Doc& document, EditorUserInterface& ui) const
    {
        return editing::EditContext { document, ui, m_track, m_cursor };
    }

    // Document size for a client width: the last event's x plus the client
    // width (the client width alone for an empty track) by 2^31 / S; within
    // the 32-bit range the scroll bars take.
    std::int32_t documentWidth(const Project* project, std::int32_t clientWidth) const;
    std::int32_t documentHeight() const { return GraphHeight(m_scale); }

    // Fills scene with what the visible rectangle shows. The scene's vectors
    // are reused, so repeated paints allocate nothing once they have grown.
    void buildScene(Project* project, GraphRect visible, GraphScene& scene);

    // The topmost marker at document point (px, py) among those the visible
    // rectangle draws; none when no marker is hit.
    std::optional<std::uint32_t> hitTest(
        Project* project, GraphRect visible, PanelPoint point) const;

    // Left press: adds an event in Adding Events Mode; otherwise the marker
    // under the point becomes the cursor event and, without Ctrl, the only
    // selected one. True when the view must be repainted.
    bool leftDown(Ctest122Doc& document, EditorUserInterface& ui, GraphRect visible,
        PanelPoint point, bool ctrl);
    // Left release: a Ctrl-click toggles the cursor event; a release
    // elsewhere than the press drags every selected marker this kind shows.
    bool leftUp(Ctest122Doc& document, EditorUserInterface& ui, PanelPoint point);
    // The right button blocks the left one and the keys until released; its
    // release asks for the context menu (true).
    bool rightDown();
    bool rightUp();
    void cancel();

    // Applies a drag of (dx, dy) pixels to every selected event the kind
    // shows: one undo step, the track sorted again, the views refreshed.
    void drag(Ctest122Doc& document, EditorUserInterface& ui, std::int32_t dx, std::int32_t dy);
    // Adds the event a click at the point makes (nothing in the Automatic
    // graph): one undo step, inserted after the events of equal time.
    void addEventAt(Ctest122Doc& document, EditorUserInterface& ui, PanelPoint point);

    // Keys; nothing while a button is down. Space toggles the cursor event
    // or appends one; the letters run the in-place edit of the cursor event
    // (without one the cursor moves past the last event). True: repaint.
    bool key(Ctest122Doc& document, EditorUserInterface& ui, ValueDialogs& dialogs, GraphKey key);

    // Z halved (down to 1) or doubled (up to 65536); false at the limit.
    bool zoomIn();
    bool zoomOut();

    CommandState commandState(EventViewCommand command) const;
    // False, doing nothing, for a command this view does not handle.
    bool runCommand(EventViewCommand command, Ctest122Doc& document, EditorUserInterface& ui,
        Clipboard& clipboard);

private:
    enum class Button { kNone, kLeft, kRight };

    // The events whose x lies in [left, right): [first, end), found by two
    // LowerBound searches.
    std::pair<std::uint32_t, std::uint32_t> eventRange(
        Track& track, std::int64_t left, std::int64_t right) const;
    GraphMarker markerOf(const Event& event, std::uint32_t index) const;

    std::uint32_t m_track;
    std::uint32_t m_cursor = kNoCursorEvent;
    bool m_adding = false;
    GraphKind m_kind = GraphKind::kAutomatic;
    std::uint32_t m_zoom = kDefaultZoom;
    std::uint32_t m_scale = kDefaultScale;
    bool m_showBySample = false;
    bool m_showNormalized = true;
    Button m_button = Button::kNone;
    bool m_ctrlAtPress = false;
    PanelPoint m_pressPoint { -1, -1 };
    // Per-paint scratch for leaving out covered markers: the run of equal x
    // that last used each (y, label width) slot.
    std::vector<std::uint32_t> m_coverStamp;
    std::uint32_t m_coverRun = 0;
};

} // namespace vellisto::views
