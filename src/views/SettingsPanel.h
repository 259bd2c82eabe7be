// SPDX-License-Identifier: MIT
#pragma once

// What the settings view computes: three buttons and twelve text lines, one
// per project setting. Clicking a line edits its setting: switches and
// choices step to their next value, numbers and texts open the "Input"
// dialog, the output format opens the "Compatibility and Format" dialog
// (format only), and "Refer to Base Path" chooses a folder. The view holds
// no copy of the settings: every update reads them from the project.
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
struct ProjectSettings;
} // namespace vellisto

namespace vellisto::views {

// The cells, numbered as their identifiers.
enum class SettingsItem : std::uint32_t {
    kClose = 0,
    kDefault = 1,
    kOutputFormat = 2,
    kBufferLength = 3,
    kMixingInterpolation = 4,
    kLoadingInterpolation = 5,
    kSoundCountPerTrack = 6,
    kPlayingPriority = 7,
    kStoppingRules = 8,
    kChangingStress = 9,
    kChangingPitch = 10,
    kMasterVolume = 11,
    kMasterBalance = 12,
    kReferToBasePath = 13,
    kBasePath = 14,
};

inline constexpr std::size_t kSettingsCellCount = 15;
inline constexpr std::int32_t kSettingsViewWidth = 640;
inline constexpr std::int32_t kSettingsViewHeight = 320;

// The pop-up menu's one command.
inline constexpr std::uint32_t kShowNormalizedCommand = 32780;

// "Settings [%s]" with the document's title.
std::u16string SettingsTitle(std::u16string_view documentTitle);

// The text of each line cell (items 2..12 and 14) for the given settings;
// empty for the buttons. An interpolation outside 0..3 (only a damaged file
// holds one) shows its number.
std::string SettingsLineText(SettingsItem item, const ProjectSettings& settings);

// What the front end does after an item's action.
enum class SettingsOutcome { kNone, kClose };

// The action of an item, with its dialogs; normalized chooses how master
// volume and balance are written into their "Input" dialogs. Changes go
// through the document's settings edits (SettingsEdits.h), which record the
// undo step and update every view.
SettingsOutcome RunSettingsItem(SettingsItem item, Ctest122Doc& document, Messages& messages,
    ValueDialogs& dialogs, FileChooser& files, bool normalized);

class SettingsPanel {
public:
    SettingsPanel();

    std::array<PanelCell, kSettingsCellCount>& cells() { return m_cells; }
    const std::array<PanelCell, kSettingsCellCount>& cells() const { return m_cells; }
    // Every cell, line or button, is pressed and released like a button.
    PanelPress& press() { return m_press; }

    // Rewrites the lines from the settings (no settings: the lines are empty).
    void update(const ProjectSettings* settings);

    bool normalized() const { return m_normalized; }
    void toggleNormalized() { m_normalized = !m_normalized; }

    std::optional<SettingsItem> itemOfCell(std::size_t index) const;

private:
    std::array<PanelCell, kSettingsCellCount> m_cells;
    PanelPress m_press;
    bool m_normalized = true;
};

} // namespace vellisto::views
