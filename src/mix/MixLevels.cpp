// SPDX-License-Identifier: MIT
#include "mix/MixLevels.h"

#include "platform/File.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

namespace vellisto::mix {

void MixLevels::add(std::span<const std::int16_t> samples)
{
    for (const std::int16_t sample : samples) {
        peak = std::max(peak, static_cast<std::uint32_t>(std::abs(int { sample })));
        if (sample == std::numeric_limits<std::int16_t>::min()
            || sample == std::numeric_limits<std::int16_t>::max())
            ++clippedSamples;
    }
}

double MixLevels::peakDbfs() const
{
    return peak == 0 ? -std::numeric_limits<double>::infinity()
                     : 20.0 * std::log10(static_cast<double>(peak) / 32768.0);
}

std::string FormatDbfs(double dbfs)
{
    if (!std::isfinite(dbfs))
        return "-inf";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", dbfs);
    return text;
}

std::string FormatLevelReport(const MixLevels& levels)
{
    return "Peak level: " + FormatDbfs(levels.peakDbfs())
        + " dBFS\nClipped samples: " + std::to_string(levels.clippedSamples);
}

std::optional<MixLevels> MeasureWaveFile(platform::File& file)
{
    constexpr std::size_t kHeaderBytes = 44;
    constexpr std::size_t kDataSizeOffset = 40;
    std::array<unsigned char, kHeaderBytes> header {};
    if (!file.seek(0) || file.read(header.data(), header.size()) != header.size())
        return std::nullopt;
    std::uint64_t remaining = 0;
    for (std::size_t i = 0; i < 4; ++i)
        remaining |= static_cast<std::uint64_t>(header[kDataSizeOffset + i]) << (8 * i);
    remaining &= ~std::uint64_t { 1 }; // whole samples only

    MixLevels levels;
    std::vector<unsigned char> bytes(1 << 16);
    std::vector<std::int16_t> samples(bytes.size() / 2);
    while (remaining != 0) {
        const auto want
            = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, bytes.size()));
        if (file.read(bytes.data(), want) != want)
            return std::nullopt;
        for (std::size_t i = 0; i < want / 2; ++i)
            samples[i] = static_cast<std::int16_t>(
                static_cast<std::uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
        levels.add(std::span(samples).first(want / 2));
        remaining -= want;
    }
    return levels;
}

} // namespace vellisto::mix
