// SPDX-License-Identifier: MIT
#pragma once

// The level of a finished mix: its largest sample magnitude and how many
// samples sit at either end of the 16-bit range (where the engine's final
// clipping put them). Measured from the written file, so the figures are
// those of the samples as stored, and the engine's output stays untouched.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace vellisto::platform {
class File;
}

namespace vellisto::mix {

struct MixLevels {
    std::uint32_t peak = 0; // 0 to 32768
    std::uint64_t clippedSamples = 0;

    void add(std::span<const std::int16_t> samples);
    // Relative to the full scale of 32768; -infinity for silence.
    double peakDbfs() const;
};

// "-6.0" (one decimal); "-inf" for silence.
std::string FormatDbfs(double dbfs);
// "Peak level: -6.0 dBFS\nClipped samples: 12", the lines added to the end of
// a mix's report.
std::string FormatLevelReport(const MixLevels& levels);

// The levels of the 16-bit PCM WAVE file in file (its 44-byte header, then
// the frames the header counts), read from its start through the open
// descriptor. nullopt when it cannot be read whole.
std::optional<MixLevels> MeasureWaveFile(platform::File& file);

} // namespace vellisto::mix
