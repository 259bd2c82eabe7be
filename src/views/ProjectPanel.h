// SPDX-License-Identifier: MIT
#pragma once

// What the project view computes: the launch pad every project opens with.
// Six command buttons along the top (save, mix, preview, clear the cache,
// import a sound list, import a track list) and three buttons, each beside a
// text cell that explains it, opening the settings view, the sound list and
// the track list. It shows no project data. The front end paints the cells,
// forwards the pointer and keys, and carries out the commands it is handed.
// User-interface thread only.

#include "views/PanelCell.h"
#include "views/PanelPress.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vellisto::views {

// The button commands, numbered as the buttons' command words.
enum class ProjectCommand : std::uint32_t {
    kSave = 0, // the standard File Save (Save As for a project without a path)
    kMix = 1,
    kPreview = 2,
    kClearCache = 3,
    kImportSoundList = 4,
    kImportTrackList = 5,
    kOpenSettings = 6, // a new settings window on this document
    kOpenSoundList = 7, // a new sound list window
    kOpenTrackList = 8, // a new track list window
};

inline constexpr std::size_t kProjectCellCount = 12;
// The scroll range, and the client size the view's window opens with.
inline constexpr std::int32_t kProjectViewWidth = 640;
inline constexpr std::int32_t kProjectViewHeight = 320;

// The command a button's command word names; none for other words.
std::optional<ProjectCommand> ProjectCommandOf(std::uint32_t commandWord);
// Keys M, P, C, S and T (either case) give Mix, Preview, Clear Cache, Sound
// List and Track List; saving, the settings and the imports have no key.
std::optional<ProjectCommand> ProjectCommandForKey(char32_t key);
// Every view of the document is updated after Mix, Preview and Clear Cache,
// and after the imports when they report a change.
bool RefreshesAllViews(ProjectCommand command, bool reportedChange);
// "Project [%s]" with the document's title.
std::u16string ProjectViewTitle(std::u16string_view documentTitle);

class ProjectPanel {
public:
    ProjectPanel();

    std::array<PanelCell, kProjectCellCount>& cells() { return m_cells; }
    const std::array<PanelCell, kProjectCellCount>& cells() const { return m_cells; }

    // The press-and-release tracking over the cells; the front end feeds it
    // the pointer in document coordinates (scroll position added).
    PanelPress& press() { return m_press; }
    const PanelPress& press() const { return m_press; }

    // The command of a cell whose press completed; none for text cells.
    std::optional<ProjectCommand> commandOfCell(std::size_t index) const;
    // A key's command; none while a press is tracked.
    std::optional<ProjectCommand> key(char32_t key) const;

private:
    std::array<PanelCell, kProjectCellCount> m_cells;
    PanelPress m_press;
};

} // namespace vellisto::views
