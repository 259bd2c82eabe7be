// SPDX-License-Identifier: MIT
#pragma once

// What the track list computes: one row per track (64), each with the track
// number button (opens the track's event list), a "G" button (opens its event
// graph), the state indicator (normal, muted "M", solo "S") and a line with
// the track's length and event count, or "Unused". The current track is the
// target of Copy, Paste and Erase, which work on whole tracks. The front end
// paints the cells, forwards the pointer and keys, and carries out the
// window openings it is handed. User-interface thread only.
//
// The mute and solo states are not edits: changing them records no undo
// step, does not mark the document changed, tells no other view, and is not
// saved with the project.

#include "editing/EditOperations.h"
#include "model/Project.h"
#include "views/EventViewCommand.h"
#include "views/PanelCell.h"
#include "views/PanelPress.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vellisto {
class Clipboard;
}

namespace vellisto::views {

inline constexpr std::int32_t kTrackListRowHeight = 20;
inline constexpr std::size_t kTrackListColumns = 4;
inline constexpr std::size_t kTrackListCellCount = kTrackCount * kTrackListColumns;
// The scroll range (64 rows of 20 pixels), and the client size a new window opens with.
inline constexpr std::int32_t kTrackListWidth = 640;
inline constexpr std::int32_t kTrackListHeight = 1280;
inline constexpr std::int32_t kTrackListClientHeight = 320;

inline constexpr Colour kMutedFace = ColourFromNumber(0xFF8080); // light blue (128, 128, 255)
inline constexpr Colour kSoloFace = ColourFromNumber(0x80FF80); // light green (128, 255, 128)
inline constexpr Colour kGreyText = ColourFromNumber(0x808080);

// "Track List [%s]" with the document's title.
std::u16string TrackListTitle(std::u16string_view documentTitle);

// "Length          mm:ss.mmm   Events      n" with the time of the track's
// last event at the output rate, or "Unused" for a track without events.
std::string TrackSummary(const Track& track, std::uint32_t samplesPerSecond);

// The next state of a track with events: normal -> muted -> solo -> normal.
// A track without events keeps its state; false then.
bool CycleTrackState(Track& track);

// What the front end does after a press, a release or a key.
enum class TrackListAction {
    kNone,
    kRepaint, // this view only
    kOpenTrackEdit, // a new track edit window on track()
    kOpenEventGraph, // a new event graph window on track()
    kContextMenu, // the right button was released: show the menu
};
struct TrackListOutcome {
    TrackListAction action = TrackListAction::kNone;
    std::uint32_t track = 0; // for the two openings
    std::optional<std::size_t> redraw; // a button cell whose look changed
    std::optional<std::int64_t> scrollTop; // document y wanted at the top (then clamped)
};

enum class TrackListKey { kEnter, kGraph, kSpace, kUp, kDown };

class TrackListPanel {
public:
    TrackListPanel();

    std::uint32_t currentTrack() const { return m_current; }

    // Sets every row's texts and colours from the project (all rows unused
    // when there is none).
    void refresh(const Project* project);

    std::array<PanelCell, kTrackListCellCount>& cells() { return m_cells; }
    const std::array<PanelCell, kTrackListCellCount>& cells() const { return m_cells; }
    PanelPress& press() { return m_press; }
    bool buttonDown() const { return m_press.tracking(); }

    // The pointer, in document coordinates. A left press on a button holds
    // it; on an information cell it makes that row current. The release over
    // the held button opens a window (columns 0 and 1) or cycles the state
    // (column 2; project is then changed). The right press on an information
    // cell makes its row current; its release asks for the context menu.
    TrackListOutcome leftDown(PanelPoint point);
    TrackListOutcome move(PanelPoint point);
    TrackListOutcome leftUp(Project* project, PanelPoint point);
    TrackListOutcome rightDown(PanelPoint point);
    TrackListOutcome rightUp();
    // Drops a press the window can no longer complete.
    TrackListOutcome cancel();

    // Keys; nothing while a button is down.
    TrackListOutcome key(Project* project, TrackListKey key);

    // Copy, Paste and Erase of the current track; the others are disabled.
    CommandState commandState(EventViewCommand command) const;
    // False, doing nothing, for a command this view does not handle.
    bool runCommand(EventViewCommand command, Ctest122Doc& document, EditorUserInterface& ui,
        Clipboard& clipboard);

private:
    void setCurrent(std::uint32_t track);

    std::array<PanelCell, kTrackListCellCount> m_cells;
    PanelPress m_press;
    std::uint32_t m_current = 0;
};

} // namespace vellisto::views
