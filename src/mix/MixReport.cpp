// SPDX-License-Identifier: MIT
#include "mix/MixReport.h"

#include "model/TextTable.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>

namespace vellisto::mix {

std::optional<std::string> RemainingTimeText(
    std::uint64_t elapsedMs, std::uint32_t currentFrames, std::uint32_t totalFrames)
{
    if (currentFrames == 0)
        return std::nullopt;
    const std::uint64_t left = totalFrames > currentFrames ? totalFrames - currentFrames : 0;
    // Saturate instead of wrapping: an absurd elapsed time must not show a tiny estimate.
    const std::uint64_t limit = std::numeric_limits<std::uint64_t>::max();
    const std::uint64_t remaining
        = left != 0 && elapsedMs > limit / left ? limit : elapsedMs * left / currentFrames;
    const std::uint64_t minutes = std::min<std::uint64_t>(remaining / 60000, 0xFFFFFFFFu);
    char text[64];
    std::snprintf(text, sizeof text, kRemainingTimeFormat.data(), static_cast<unsigned>(minutes),
        static_cast<unsigned>(remaining / 1000 % 60), static_cast<unsigned>(remaining % 1000));
    return std::string(text);
}

std::string FormatMixReport(
    std::uint32_t lengthFrames, std::uint32_t samplesPerSecond, std::uint64_t elapsedMs)
{
    const double seconds = static_cast<double>(elapsedMs) * 0.001;
    const double speed = MixingSpeed(lengthFrames, samplesPerSecond, elapsedMs);
    char text[160];
    std::snprintf(text, sizeof text, Text(TextId::kMixReport).data(), seconds, speed);
    return text;
}

double MixingSpeed(
    std::uint32_t lengthFrames, std::uint32_t samplesPerSecond, std::uint64_t elapsedMs)
{
    const double lengthMs = samplesPerSecond == 0
        ? 0.0
        : static_cast<double>(lengthFrames) * 1000.0 / static_cast<double>(samplesPerSecond);
    return lengthMs / static_cast<double>(std::max<std::uint64_t>(elapsedMs, 1));
}

std::uint64_t SteadyMilliseconds()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

} // namespace vellisto::mix
