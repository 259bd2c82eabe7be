// SPDX-License-Identifier: MIT
#include "mix/SoundCache.h"

namespace vellisto::mix {

void ClearCache(Project& project)
{
    for (SoundSlot& slot : project.sounds) {
        ReleaseSampleBlock(slot.samples);
        slot.samples = nullptr;
        slot.sampleBytes = 0;
    }
}

} // namespace vellisto::mix
