// SPDX-License-Identifier: MIT
#pragma once

// What the track edit view computes: the event list of one track as a table,
// one row of 20 pixels per event and one empty row after the last, each row
// a selection marker button and five text cells (Time, Type, Data1, Data2,
// Data3). A fixed table of 256 rows of cells is laid out again on every paint
// over the rows that show, so painting costs the same for any number of
// events. The cursor row is the row the edit commands and Space work on; it
// may be the empty row. User-interface thread only.
//
// The front end paints the cells, forwards the pointer and keys in document
// coordinates, scrolls where it is told, and runs the in-place edit (the
// "Input" dialog) when a press or a key begins one.

#include "editing/EventFieldEdit.h"
#include "model/Project.h"
#include "views/EventViewCommand.h"
#include "views/PanelCell.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vellisto {
class Clipboard;
class Ctest122Doc;
class EditorUserInterface;
class ValueDialogs;
} // namespace vellisto

namespace vellisto::views {

inline constexpr std::int32_t kTrackEditRowHeight = 20;
inline constexpr std::size_t kTrackEditColumns = 6;
// Rows of cells kept: enough for any window up to 5120 pixels high.
inline constexpr std::size_t kTrackEditTableRows = 256;
inline constexpr std::size_t kTrackEditCellCount = kTrackEditTableRows * kTrackEditColumns;
inline constexpr std::int32_t kTrackEditWidth = 640;
inline constexpr std::int32_t kTrackEditClientHeight = 320;

inline constexpr Colour kSelectedMarker = ColourFromNumber(0x800000); // navy (0, 0, 128)
inline constexpr Colour kCursorRowFace = ColourFromNumber(0xFF8080); // light blue
inline constexpr Colour kCursorCellFace = ColourFromNumber(0x80FF80); // light green
inline constexpr Colour kDimText = ColourFromNumber(0x808080);

// "Track Edit Track %u [%s]".
std::u16string TrackEditTitle(std::uint32_t track, std::u16string_view documentTitle);

// The five texts of a row and whether each is grey. event is null for a row
// without an event. Rows without an event and events without the exists flag
// show only the empty time ("--:--.---" or "---------") in grey.
struct RowTexts {
    std::array<std::string, 5> texts; // Time, Type, Data1, Data2, Data3
    std::array<bool, 5> grey {};
};
RowTexts TrackEditRowTexts(const Event* event, const editing::FieldFormat& format);

// The document height: the client height plus a row per event, held within
// the 32-bit range the scroll bars take.
std::int32_t TrackEditDocumentHeight(std::uint32_t eventCount, std::int32_t clientHeight);

// The row and column (0 marker, 1 to 5 the text cells) under a document
// point; none off the table.
struct TableCell {
    std::uint32_t row = 0;
    std::uint32_t column = 0;
    friend bool operator==(const TableCell&, const TableCell&) = default;
};
std::optional<TableCell> TrackEditCellAt(PanelPoint point);

enum class TrackEditKey {
    kUp,
    kDown,
    kSpace,
    kEditTime,
    kEditType,
    kEditData1,
    kEditData2,
    kEditData3
};

// What the front end does after a press, release or key.
struct TrackEditOutcome {
    bool repaint = false;
    // An in-place edit has begun on the cursor row: repaint (the cell shows
    // light green), then call runEdit.
    std::optional<editing::EventField> edit;
    std::optional<std::int64_t> scrollTop; // document y wanted at the top (then clamped)
    bool contextMenu = false;
};

class TrackEditPanel {
public:
    explicit TrackEditPanel(std::uint32_t track);

    std::uint32_t track() const { return m_track; }
    std::uint32_t cursorRow() const { return m_cursorRow; }
    std::uint32_t cursorColumn() const { return m_cursorColumn; }
    bool showBySample() const { return m_showBySample; }
    bool showNormalized() const { return m_showNormalized; }
    bool buttonDown() const { return m_button != Button::kNone; }

    editing::EditContext context(Ctest122Doc& document, EditorUserInterface& ui) const
    {
        return editing::EditContext { document, ui, m_track, m_cursorRow };
    }
    editing::FieldFormat format(const Project* project) const;

    // Lays the table out over the document rows from top to bottom (pixels)
    // with the project's events; cells past the 256th row stay empty.
    void layout(const Project* project, std::int32_t top, std::int32_t bottom);
    std::array<PanelCell, kTrackEditCellCount>& cells() { return m_cells; }
    const std::array<PanelCell, kTrackEditCellCount>& cells() const { return m_cells; }

    // The pointer in document coordinates; eventCount is the track's.
    TrackEditOutcome leftDown(std::uint32_t eventCount, PanelPoint point);
    TrackEditOutcome move(PanelPoint point);
    // A completed marker click acts with the keys held at the release:
    // Shift toggles the rows from the cursor to it, neither toggles its row
    // (or appends on rows past the last event), Ctrl alone selects nothing.
    TrackEditOutcome leftUp(
        Ctest122Doc& document, EditorUserInterface& ui, PanelPoint point, bool shift, bool ctrl);
    TrackEditOutcome rightDown(std::uint32_t eventCount, PanelPoint point);
    TrackEditOutcome rightUp();
    // Drops a press the window can no longer complete.
    TrackEditOutcome cancel();

    // Keys; nothing while a button is down.
    TrackEditOutcome key(Ctest122Doc& document, EditorUserInterface& ui, TrackEditKey key);

    // The in-place edit begun by a press or a key: runs the "Input" dialog on
    // the cursor row's cell and stores the answer; the column is reset after.
    void runEdit(Ctest122Doc& document, EditorUserInterface& ui, ValueDialogs& dialogs);

    CommandState commandState(EventViewCommand command) const;
    // False, doing nothing, for a command this view does not handle.
    bool runCommand(EventViewCommand command, Ctest122Doc& document, EditorUserInterface& ui,
        Clipboard& clipboard);

private:
    enum class Button { kNone, kLeft, kRight };

    TrackEditOutcome beginEdit(std::uint32_t eventCount, std::uint32_t row, std::uint32_t column);

    std::array<PanelCell, kTrackEditCellCount> m_cells;
    std::uint32_t m_track;
    std::uint32_t m_cursorRow = 0;
    std::uint32_t m_cursorColumn = 0;
    bool m_showBySample = false;
    bool m_showNormalized = true;
    Button m_button = Button::kNone;
    // The marker held by the left button: its row, and whether the pointer is over it.
    std::optional<std::uint32_t> m_markerRow;
    bool m_markerInside = false;
};

} // namespace vellisto::views
