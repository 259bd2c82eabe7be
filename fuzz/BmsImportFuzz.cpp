// SPDX-License-Identifier: MIT
// Any bytes read as a chart must import (malformed lines are ignored) into
// tracks of sorted, existing events with times within the edit ceiling, and
// sound names that fit their field. Tracks hold notes of defined sounds and
// one All Stop each, and the master volume follows the number of tracks. The
// offset a failure on a line would report points at the start of that line.

#include "ImportChecks.h"
#include "import/BmsImport.h"
#include "import/BmsText.h"
#include "model/Compatibility.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

using namespace vellisto;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto project = CreateProject();
    ApplyCompatibilityChoice(*project, DefaultCompatibilityChoice());
    if (!import::ImportBmsFile(*project, { data, size }, u"/charts/song/chart.bms"))
        std::abort(); // nothing but memory can fail
    // The offset a failure on a line would report lies in the input, at the
    // start of that line: right after the mark or a line end.
    const std::span<const std::uint8_t> bytes(data, size);
    const bool utf16 = size >= 2
        && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF));
    const std::uint64_t first = utf16 ? 2 : 0;
    const std::u16string text = import::DecodeBmsText(bytes);
    import::ForEachBmsLine(text, [&](std::u16string_view, std::size_t start) {
        const std::uint64_t offset = import::BmsLineOffset(bytes, text, start);
    if (offset < first || offset > size)
        std::abort();
    if (offset == first)
        return;
    const std::uint32_t before = !utf16 ? data[offset - 1]
        : data[0] == 0xFF               ? data[offset - 2] | data[offset - 1] << 8
                                        : data[offset - 2] << 8 | data[offset - 1];
    if (before != '\r' && before != '\n')
        std::abort();
});
CheckImportedTracks(*project, kTrackCount);
// Every track that received notes ends the chart with one All Stop, and
// the master volume shares the full scale among those tracks.
std::uint32_t filled = 0;
for (const Track& track : project->tracks) {
    std::uint32_t allStops = 0;
    for (std::uint32_t i = 0; i < track.count; ++i) {
        const Event& e = track.events[i];
        if (e.type == EventTypeWord(EventType::kAllStop))
            ++allStops;
        else if (e.type != EventTypeWord(EventType::kPlay) || project->sounds[e.data1].volume == 0)
            std::abort(); // only notes of defined sounds
    }
    if (allStops != (track.count > 0 ? 1u : 0u))
        std::abort();
    filled += track.count > 0 ? 1 : 0;
}
if (filled > 0
    && project->settings.masterVolume
        != static_cast<std::uint32_t>(1024.0 / std::sqrt(static_cast<double>(filled))))
    std::abort();
for (const SoundSlot& sound : project->sounds) {
    if (sound.fileName[kNameUnits - 1] != 0)
        std::abort();
}
return 0;
}
