// SPDX-License-Identifier: MIT
#include "cli/SoundOptions.h"

#include "cli/Input.h"
#include "mix/SoundCache.h"
#include "model/TextTable.h"

#include <array>
#include <charconv>

namespace vellisto::cli {

namespace {

    // The loading interpolations by their option names, in their stored order.
    constexpr std::array<std::string_view, 4> kInterpolationNames { "none", "linear", "sinc-low",
        "sinc" };

} // namespace

std::optional<std::uint32_t> ParseU32(std::string_view text)
{
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc {} || ptr != end)
        return std::nullopt;
    return value;
}

std::optional<SoundOptions> ReadSoundOptions(const ParsedArgs& parsed, std::string& error)
{
    SoundOptions options;
    if (const auto text = parsed.value(kRateOption)) {
        const auto rate = ParseU32(*text);
        if (!rate || *rate == 0 || *rate >= kMaxSampleRate) {
            error = "--rate must be a whole number from 1 to 16777215";
            return std::nullopt;
        }
        options.format.samplesPerSecond = *rate;
    }
    if (const auto text = parsed.value(kChannelsOption)) {
        const auto channels = ParseU32(*text);
        if (!channels || (*channels != 1 && *channels != 2)) {
            error = "--channels must be 1 or 2";
            return std::nullopt;
        }
        options.format.channels = static_cast<std::uint16_t>(*channels);
    }
    CompleteOutputFormat(options.format);
    if (const auto text = parsed.value(kInterpOption)) {
        std::uint32_t i = 0;
        while (i < kInterpolationNames.size() && kInterpolationNames[i] != *text)
            ++i;
        if (i == kInterpolationNames.size()) {
            error = "--interp must be none, linear, sinc-low or sinc";
            return std::nullopt;
        }
        options.loadingInterpolation = i;
    }
    return options;
}

bool LoadSoundFor(const std::string& path, const SoundOptions& options, SoundSlot& sound)
{
    if (!CheckInputPath(path))
        return false;
    mix::SoundFailure failure;
    if (mix::LoadSoundFile(path, options.format, options.loadingInterpolation, sound, &failure))
        return true;
    Failure(Text(TextId::kFailedLoadingWave), path + ": " + mix::DescribeSoundFailure(failure));
    return false;
}

} // namespace vellisto::cli
