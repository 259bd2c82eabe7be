// SPDX-License-Identifier: MIT
// Any bytes read as a chart must import (malformed lines are ignored) into
// tracks of sorted, existing events with times within the edit ceiling, and
// sound names that fit their field.

#include "ImportChecks.h"
#include "import/BmsImport.h"
#include "model/Compatibility.h"

#include <cstdint>
#include <cstdlib>

using namespace vellisto;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto project = CreateProject();
    ApplyCompatibilityChoice(*project, DefaultCompatibilityChoice());
    if (!import::ImportBmsFile(*project, { data, size }, u"/charts/song/chart.bms"))
        std::abort(); // nothing but memory can fail
    CheckImportedTracks(*project, kTrackCount);
    for (const SoundSlot& sound : project->sounds) {
        if (sound.fileName[kNameUnits - 1] != 0)
            std::abort();
    }
    return 0;
}
