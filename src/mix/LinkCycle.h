// SPDX-License-Identifier: MIT
#pragma once

// The check for circular sound links, run before every mix and project
// preview: the engine follows a Play or Stop along the links at once, so a
// cycle would make it follow them for ever.

#include "model/Project.h"

#include <cstdint>
#include <optional>

namespace vellisto::mix {

// The ID of the sound at which a cycle of followed links closes, or nullopt.
// A link is followed from a sound with a linking mode other than "Disabled"
// to its linkedId when that sound exists (ID below 1024, non-empty name) and
// passes the same kind of event on: the same mode, or "All events" at either
// end (an "All events" start narrows to the "Play" or "Stop" it meets).
std::optional<std::uint32_t> FindLinkCycle(const Project& project);

} // namespace vellisto::mix
