// SPDX-License-Identifier: MIT
#pragma once

// The texts a mix shows while it runs and when it has finished, shared by
// the desktop progress dialog and the command line so that both show the
// same figures. Pure functions; safe from any thread.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vellisto::mix {

// The progress display's fixed remaining-time format (minutes, seconds,
// milliseconds). It is not part of the text table.
inline constexpr std::string_view kRemainingTimeFormat = "推定残り時間 %02u:%02u.%03u";

// The remaining-time line after elapsedMs with current of total frames done:
// remaining = elapsed x (total - current) / current in 64-bit milliseconds.
// nullopt while nothing has been rendered (current 0), as no estimate exists yet.
std::optional<std::string> RemainingTimeText(
    std::uint64_t elapsedMs, std::uint32_t currentFrames, std::uint32_t totalFrames);

// "Finished mixing.\nTime to mix: %.3f seconds\nMixing speed: %.4f times"
// for a mix of lengthFrames at samplesPerSecond that took elapsedMs. The
// speed is the result's length in milliseconds divided by the time taken.
// A mix faster than the clock's 1 ms resolution counts as 1 ms for the
// speed (the time still reads 0.000), so the figure stays finite.
std::string FormatMixReport(
    std::uint32_t lengthFrames, std::uint32_t samplesPerSecond, std::uint64_t elapsedMs);
// The speed that report shows.
double MixingSpeed(
    std::uint32_t lengthFrames, std::uint32_t samplesPerSecond, std::uint64_t elapsedMs);

// A millisecond clock; the mix takes one so that tests can set the time.
using MillisecondClock = std::function<std::uint64_t()>;
// Milliseconds of the monotonic system clock.
std::uint64_t SteadyMilliseconds();

} // namespace vellisto::mix
