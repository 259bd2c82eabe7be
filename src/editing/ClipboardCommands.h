// SPDX-License-Identifier: MIT
#pragma once

// Copy, Paste and Erase for the three things the clipboard carries: the
// selected events of an event view (track edit view, event graph view), a
// whole track (track list view) and one sound slot (sound list view). Blocks
// are those of ClipboardBlocks.h. A paste of a block of another kind, or of
// a block too short for what it claims, does nothing and records no undo
// step. Used on the user-interface thread only.

#include "editing/EditOperations.h"

#include <cstdint>

namespace vellisto {
class Clipboard;
class Messages;
}

namespace vellisto::editing {

// Event views. Copy takes the events that exist and are selected, with times
// relative to the first of them; nothing to copy shows "No data to copy
// exists.". Paste shifts the block's times by the base time (the cursor
// event's time, else the last event's, 0 on an empty track), clears their
// selected flag and merges them in after existing events of equal time; then
// the time ceiling. Erase in event views is editing::Erase.
void CopySelectedEvents(const EditContext& context, Clipboard& clipboard);
void PasteEvents(const EditContext& context, Clipboard& clipboard);

// Track list view: every event of the track with absolute times; paste merges
// them unshifted (selected flag cleared, no ceiling); clear empties the track.
void CopyTrack(const EditContext& context, Clipboard& clipboard);
void PasteIntoTrack(const EditContext& context, Clipboard& clipboard);
void ClearTrack(const EditContext& context);

// Sound list view, on sound soundId: copy always writes the block (an empty
// slot too) and shows nothing; paste replaces the slot's name and settings
// and releases its samples; clear empties the slot.
void CopySound(Ctest122Doc& document, Clipboard& clipboard, std::uint32_t soundId);
void PasteSound(Ctest122Doc& document, Messages& ui, Clipboard& clipboard, std::uint32_t soundId);
void ClearSound(Ctest122Doc& document, Messages& ui, std::uint32_t soundId);

} // namespace vellisto::editing
