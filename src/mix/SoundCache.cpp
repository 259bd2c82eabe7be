// SPDX-License-Identifier: MIT
#include "mix/SoundCache.h"

#include "audio/WaveReader.h"

namespace vellisto::mix {

void ClearCache(Project& project)
{
    for (SoundSlot& slot : project.sounds)
        audio::FreeSampleData(slot);
}

} // namespace vellisto::mix
