// SPDX-License-Identifier: MIT
#pragma once

// What the sound settings view computes for one sound slot: a row of
// buttons (Load, Waveform, Preview, Clear, Close), "Determine Base
// Frequency", and one text line per setting. Clicking a line edits its
// setting through the "Input" dialog, or steps a mode to its next value.
// Loop points and envelope times show as frame counts or, with the
// by-sample mode off, as mm:ss.mmm at the output rate. The view keeps only
// its sound number and modes: every update reads the slot from the project.
// User-interface thread only.

#include "views/PanelCell.h"
#include "views/PanelPress.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vellisto {
class Ctest122Doc;
class FileChooser;
class Messages;
class ValueDialogs;
struct SoundSlot;
} // namespace vellisto

namespace vellisto::views {

// The items, numbered as the cells.
enum class SoundEditItem : std::uint32_t {
    kLoad = 0,
    kWaveform = 1,
    kPreview = 2,
    kClear = 3,
    kClose = 4,
    kFileName = 5,
    kLoopBegin = 6,
    kLoopEnd = 7,
    kVolume = 8,
    kPitch = 9,
    kDetermineBaseFrequency = 10,
    kBaseFrequency = 11,
    kStopEventMode = 12,
    kLinkedId = 13,
    kLinkingMode = 14,
    kAttackTime = 15,
    kSustainTime = 16,
    kReleaseTime = 17,
};

inline constexpr std::size_t kSoundEditCellCount = 18;
inline constexpr std::int32_t kSoundEditViewWidth = 640;
inline constexpr std::int32_t kSoundEditViewHeight = 320;

// The pop-up menu's commands; each toggles its mode.
inline constexpr std::uint32_t kShowBySampleCommand = 32779;
inline constexpr std::uint32_t kShowNormalizedValuesCommand = 32780;

struct SoundEditModes {
    bool bySample = true; // frame counts rather than mm:ss.mmm
    bool normalized = true; // volume and pitch as fractions in the "Input" dialog
};

// "Sound Settings Sound %u [%s]".
std::u16string SoundEditTitle(std::uint32_t soundId, std::u16string_view documentTitle);

// The text of a line cell (items 5..9 and 11..17) for the slot at the given
// output rate; empty for the buttons. A mode outside 0..3 (only a damaged
// file holds one) shows its number.
std::string SoundEditLineText(
    SoundEditItem item, const SoundSlot& slot, std::uint32_t samplesPerSecond, bool bySample);

// What the front end does after an item's action: nothing more, close the
// window, or open the waveform or the preview of the sound (prepared by then).
enum class SoundEditOutcome { kNone, kClose, kOpenWaveform, kOpenPreview };

// The action of an item on sound soundId, with its dialogs and messages.
// Changes go through the document's sound edits (SoundEdits.h), which record
// the undo step and update every view.
SoundEditOutcome RunSoundEditItem(SoundEditItem item, Ctest122Doc& document, std::uint32_t soundId,
    Messages& messages, FileChooser& files, ValueDialogs& dialogs, SoundEditModes modes);

class SoundEditPanel {
public:
    SoundEditPanel();

    std::array<PanelCell, kSoundEditCellCount>& cells() { return m_cells; }
    const std::array<PanelCell, kSoundEditCellCount>& cells() const { return m_cells; }
    // Every cell, line or button, is pressed and released like a button.
    PanelPress& press() { return m_press; }

    // Rewrites the lines from the slot (no slot: the lines are empty).
    void update(const SoundSlot* slot, std::uint32_t samplesPerSecond);

    SoundEditModes& modes() { return m_modes; }
    const SoundEditModes& modes() const { return m_modes; }
    // Toggles the mode a pop-up command names; false for other commands.
    bool runMenuCommand(std::uint32_t command);

    std::optional<SoundEditItem> itemOfCell(std::size_t index) const;

private:
    std::array<PanelCell, kSoundEditCellCount> m_cells;
    PanelPress m_press;
    SoundEditModes m_modes;
};

} // namespace vellisto::views
