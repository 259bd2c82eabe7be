// SPDX-License-Identifier: MIT
#pragma once

// What the sound list view computes: one row per sound slot, 1024 rows of a
// button with the sound ID (opening that sound's settings window) and a text
// cell with the slot's file name, or "(No file)" in grey. One row is the
// current sound, shown on a light blue face; the keys move it and Copy,
// Paste and Erase act on it. The front end paints the rows that show,
// forwards the pointer and keys, and carries out what the calls return.
// User-interface thread only.

#include "views/PanelCell.h"
#include "views/PanelPress.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vellisto {
class Clipboard;
class Ctest122Doc;
class Messages;
struct Project;
} // namespace vellisto

namespace vellisto::views {

inline constexpr std::size_t kSoundListRows = 1024;
inline constexpr std::size_t kSoundListCellCount = 2 * kSoundListRows;
inline constexpr std::int32_t kSoundRowHeight = 20;
// The scroll range, and the client size the window opens with.
inline constexpr std::int32_t kSoundListWidth = 640;
inline constexpr std::int32_t kSoundListHeight = kSoundRowHeight * kSoundListRows;
inline constexpr std::int32_t kSoundListClientHeight = 320;
// Up and Down bring the current row this far below the window's top.
inline constexpr std::int32_t kSoundListKeyMargin = 100;

inline constexpr Colour kNoFileColour = ColourFromNumber(0x808080);

// The commands of the pop-up menu and of the Edit menu, on the current sound.
enum class SoundListCommand { kCopy, kPaste, kErase };

enum class SoundListKey { kEnter, kUp, kDown };

// The rows first..last-1 that overlap the window's rows scrollY..scrollY+height-1.
struct RowRange {
    std::size_t first = 0;
    std::size_t last = 0;
};
RowRange VisibleSoundRows(std::int32_t scrollY, std::int32_t clientHeight);

// The vertical scroll position that shows row kSoundListKeyMargin pixels
// below the window's top, as far as the scroll range allows.
std::int32_t ScrollForSoundRow(std::uint32_t row, std::int32_t clientHeight);

// "Sound List [%s]" with the document's title.
std::u16string SoundListTitle(std::u16string_view documentTitle);

// Copy always copies the current slot (an empty one too); Paste replaces it
// from a sound block on the clipboard; Erase empties it. Each ends by
// updating every view.
void RunSoundListCommand(SoundListCommand command, Ctest122Doc& document, Messages& messages,
    Clipboard& clipboard, std::uint32_t soundId);
// Paste is enabled while the clipboard holds a complete sound block; Copy
// and Erase always are.
bool SoundListCommandEnabled(SoundListCommand command, Clipboard& clipboard);

class SoundListPanel {
public:
    SoundListPanel();

    std::array<PanelCell, kSoundListCellCount>& cells() { return m_cells; }
    const std::array<PanelCell, kSoundListCellCount>& cells() const { return m_cells; }
    PanelPress& press() { return m_press; }
    const PanelPress& press() const { return m_press; }

    // Rewrites every row's text and colours from the project (no project:
    // every row "(No file)").
    void update(const Project* project);

    std::uint32_t currentSound() const { return m_current; }
    // Moves the current row (clamped to 0..1023); true when it changed.
    bool setCurrentSound(std::uint32_t soundId);

    // A left press at a document point: presses a sound ID button, or makes
    // a file-name row current (currentChanged). Ignored while tracking.
    PressChange leftDown(PanelPoint point, bool ctrl, bool& currentChanged);
    // A right press: blocks the left button until the right release, and
    // makes a file-name row under the point current. True when the current
    // row changed.
    bool rightDown(PanelPoint point);

    // The sound whose settings window a completed press on cell `index` opens.
    std::optional<std::uint32_t> soundOfCell(std::size_t index) const;

    struct KeyResult {
        std::optional<std::uint32_t> openSound; // Enter: open this sound's settings
        std::optional<std::int32_t> scrollY; // Up, Down: scroll here and repaint
    };
    // Nothing while a press is tracked.
    KeyResult key(SoundListKey key, std::int32_t clientHeight);

private:
    void colourRow(std::size_t row, bool empty);

    std::array<PanelCell, kSoundListCellCount> m_cells;
    std::array<bool, kSoundListRows> m_empty {};
    PanelPress m_press;
    std::uint32_t m_current = 0;
};

} // namespace vellisto::views
