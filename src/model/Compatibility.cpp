// SPDX-License-Identifier: MIT
#include "model/Compatibility.h"

#include <cerrno>
#include <cstdlib>
#include <optional>

namespace vellisto {

namespace {

    // The text read as a C integer with base prefixes, as "%i" reads it; nullopt
    // when no number starts the text.
    std::optional<long long> ReadCInteger(const std::string& text)
    {
        const char* begin = text.c_str();
        char* end = nullptr;
        errno = 0;
        const long long value = std::strtoll(begin, &end, 0);
        if (end == begin)
            return std::nullopt;
        return value;
    }

} // namespace

CompatibilityChoice DefaultCompatibilityChoice() { return {}; }

void ApplyCompatibilityChoice(Project& project, const CompatibilityChoice& choice)
{
    ProjectSettings& settings = project.settings;
    settings = ProjectSettings {};
    project.conversionMode = static_cast<std::uint32_t>(ConversionMode::kNormal);
    switch (choice.compatibility) {
    case Compatibility::kNormal:
    case Compatibility::kDrum:
    case Compatibility::kAuto:
    case Compatibility::kAutoTrack:
        project.conversionMode = static_cast<std::uint32_t>(choice.compatibility);
        break;
    case Compatibility::kVer12:
        settings.playingPriority = 0;
        [[fallthrough]];
    case Compatibility::kVer13:
        settings.stoppingRules = 0;
        settings.changingStress = 0;
        settings.changingPitch = 0;
        break;
    }

    OutputFormat& format = settings.outputFormat;
    if (const auto rate = ReadCInteger(choice.rateText);
        rate && *rate > 0 && *rate < kMaxSampleRate)
        format.samplesPerSecond = static_cast<std::uint32_t>(*rate);
    // Bits and channels are 16-bit fields taken without a range check.
    if (const auto bits = ReadCInteger(choice.bitsText))
        format.bitsPerSample = static_cast<std::uint16_t>(*bits);
    if (const auto channels = ReadCInteger(choice.channelsText))
        format.channels = static_cast<std::uint16_t>(*channels);
    CompleteOutputFormat(format);
}

} // namespace vellisto
