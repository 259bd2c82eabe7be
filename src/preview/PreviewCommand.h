// SPDX-License-Identifier: MIT
#pragma once

// The checks a preview is opened after, shared by both places that open it.
// Project mode: a circular sound link is refused ("There is a circular
// reference link at sound %u."), and so is an output format the engine cannot
// render; every sound is prepared, asking whether to go on after each one
// that fails (Cancel gives the preview up quietly); the player's mix is
// prepared with the tracks' mute and solo flags honoured ("Failed in
// allocating memory space." when that fails). Sound mode: the one sound is
// prepared ("Failed in loading a WAVE file." when that fails).
//
// Runs on the user-interface thread, before the preview dialog opens.

#include "document/UserInterface.h"
#include "model/Project.h"
#include "preview/PreviewPlayer.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace vellisto::preview {

// The prepared player, or null after a message (or a cancelled question).
// documentPath is the project's native file path (empty when unsaved), for
// the sounds' relative names.
std::unique_ptr<PreviewPlayer> PreparePreview(Project& project, std::string_view documentPath,
    Messages& messages, PreviewKind kind, std::uint32_t soundId = 0);

} // namespace vellisto::preview
