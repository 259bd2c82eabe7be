// SPDX-License-Identifier: MIT
// Any bytes read as a MIDI file must fail cleanly, with a reason, or give
// tracks 0-15 of sorted, existing events with times within the edit ceiling,
// each array ended by the sentinel.

#include "FuzzSupport.h"
#include "ImportChecks.h"
#include "import/ImportTables.h"
#include "import/MidiImport.h"
#include "model/Compatibility.h"

#include <cstdint>
#include <cstdlib>

using namespace vellisto;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    import::BuildImportTables();
    static const auto project = CreateProject();
    CompatibilityChoice choice;
    // The first byte picks the conversion compatibility and the rate.
    const std::uint8_t pick = size > 0 ? data[0] : 0;
    choice.compatibility = static_cast<Compatibility>(pick % 6);
    choice.rateText = (pick & 0x80) != 0 ? "192000" : "44100";
    ApplyCompatibilityChoice(*project, choice);
    platform::ReadError reason;
    if (!import::ImportMidiFile(*project, { data, size }, &reason)) {
        fuzz::CheckReason(reason, size);
        return 0;
    }
    CheckImportedTracks(*project, 16);
    return 0;
}
