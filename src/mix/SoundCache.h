// SPDX-License-Identifier: MIT
#pragma once

// The cache of converted samples held in the sound slots. Used on the
// user-interface thread, never while a mix or preview reads the project.

#include "model/Project.h"

namespace vellisto::mix {

// Releases the samples of all 1024 slots (samples null, sampleBytes 0), so
// that the next mix or preview reads and converts every sound again.
void ClearCache(Project& project);

} // namespace vellisto::mix
