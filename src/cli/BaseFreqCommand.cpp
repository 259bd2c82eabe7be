// SPDX-License-Identifier: MIT
// vellisto-cli basefreq IN.wav [--rate R] [--channels C] [--interp ...] [--loop BEGIN END]
// Prepares the sound for the output format, measures its fundamental and
// prints the pitch word and the base frequency it stands for.

#include "audio/BaseFrequency.h"
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/SoundOptions.h"
#include "model/TextTable.h"

#include <cstdio>
#include <string>
#include <vector>

namespace vellisto::cli {

namespace {

    constexpr OptionSpec kOptions[] = { kRateOption, kChannelsOption, kInterpOption };

    struct LoopRange {
        std::uint32_t begin = kNoLoop; // both markers: the whole sound
        std::uint32_t end = kNoLoop;
    };

} // namespace

int RunBaseFreq(CommandArgs args)
{
    // --loop takes two values: take it out before the one-value options are read.
    std::vector<std::string_view> rest;
    std::optional<LoopRange> loop;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--") { // the options end here
            rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
            break;
        }
        if (args[i] != "--loop") {
            rest.push_back(args[i]);
            continue;
        }
        const auto begin = i + 1 < args.size() ? ParseU32(args[i + 1]) : std::nullopt;
        const auto end = i + 2 < args.size() ? ParseU32(args[i + 2]) : std::nullopt;
        if (loop || !begin || !end)
            return UsageError("basefreq", kBaseFreqUsage,
                loop ? "option '--loop' given twice" : "--loop needs two frame numbers");
        loop = LoopRange { *begin, *end };
        i += 2;
    }
    const auto parsed = ParseOneInput("basefreq", kBaseFreqUsage, rest, kOptions);
    if (!parsed)
        return kExitUsage;
    std::string error;
    const auto options = ReadSoundOptions(*parsed, error);
    if (!options)
        return UsageError("basefreq", kBaseFreqUsage, error);

    SoundSlot sound;
    if (!LoadSoundFor(std::string(parsed->positional[0]), *options, sound))
        return kExitFailure;
    const LoopRange range = loop.value_or(LoopRange {});
    const std::uint32_t pitch = audio::DetermineBaseFrequency(sound, range.begin, range.end);
    if (pitch == 0)
        return Failure(Text(TextId::kFailedBaseFrequency));
    std::printf("pitch: %u\nbase frequency: %.4f\n", pitch,
        audio::kBaseFrequencyScale / static_cast<double>(pitch));
    return kExitOk;
}

} // namespace vellisto::cli
