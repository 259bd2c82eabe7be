// SPDX-License-Identifier: MIT
// Any bytes read as a chart by the standard rules, with a seed from the first
// four bytes, must import (only memory can fail) into tracks of sorted,
// existing events within the edit ceiling: Plays of defined sounds of the
// table, and on every track that received notes one All Stop that no note
// follows. The master volume follows the number of tracks, the report keeps
// to its size, and a second import with the same seed gives the same tracks.

#include "FuzzSupport.h"
#include "ImportChecks.h"
#include "import/BmsImport.h"
#include "model/Compatibility.h"

#include <cmath>
#include <cstdint>
#include <cstring>

using namespace vellisto;
using fuzz::Check;

namespace {

void CheckStandardImport(const Project& project)
{
    CheckImportedTracks(project, kTrackCount, kSoundCount);
    std::uint32_t filled = 0;
    for (const Track& track : project.tracks) {
        if (track.count == 0)
            continue;
        ++filled;
        const Event& last = track.events[track.count - 1];
        Check(last.type == EventTypeWord(EventType::kAllStop));
        for (std::uint32_t i = 0; i + 1 < track.count; ++i) {
            const Event& e = track.events[i];
            Check(e.type == EventTypeWord(EventType::kPlay) && project.sounds[e.data1].volume != 0);
            Check(e.time <= last.time);
        }
    }
    if (filled > 0)
        Check(project.settings.masterVolume
            == static_cast<std::uint32_t>(1024.0 / std::sqrt(static_cast<double>(filled))));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::InputSplitter input(data, size);
    const import::BmsImportOptions options { import::BmsRules::kStandard, input.word() };
    Project& first = fuzz::ReusedProject<0>();
    ApplyCompatibilityChoice(first, DefaultCompatibilityChoice());
    import::BmsImportReport report;
    Check(import::ImportBmsFile(
        first, input.rest(), u"/charts/song/chart.bms", options, nullptr, &report));
    Check(report.warnings.size() <= import::kMaxListedBmsWarnings);
    Check(report.unlisted == 0 || report.warnings.size() == import::kMaxListedBmsWarnings);
    for (const import::BmsWarning& warning : report.warnings)
        Check(warning.offset <= size && !import::DescribeBmsWarning(warning).empty());
    CheckStandardImport(first);

    // The same seed, the same branches and times.
    Project& second = fuzz::ReusedProject<1>();
    ApplyCompatibilityChoice(second, DefaultCompatibilityChoice());
    Check(import::ImportBmsFile(second, input.rest(), u"/charts/song/chart.bms", options));
    for (std::size_t t = 0; t < kTrackCount; ++t) {
        const Track& a = first.tracks[t];
        const Track& b = second.tracks[t];
        Check(a.count == b.count
            && (a.count == 0
                || std::memcmp(a.events.get(), b.events.get(), a.count * sizeof(Event)) == 0));
    }
    return 0;
}
