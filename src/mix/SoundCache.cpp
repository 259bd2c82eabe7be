// SPDX-License-Identifier: MIT
#include "mix/SoundCache.h"

namespace vellisto::mix {

void ReleaseSamples(SoundSlot& slot)
{
    ReleaseSampleBlock(slot.samples);
    slot.samples = nullptr;
    slot.sampleBytes = 0;
}

void ClearCache(Project& project)
{
    for (SoundSlot& slot : project.sounds)
        ReleaseSamples(slot);
}

} // namespace vellisto::mix
