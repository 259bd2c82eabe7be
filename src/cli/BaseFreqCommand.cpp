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

namespace vellisto::cli {

int RunBaseFreq(CommandArgs args)
{
    const auto parsed = ParseOneInput(kBaseFreqCommand, args);
    if (!parsed)
        return kExitUsage;
    // Both markers kNoLoop: the whole sound.
    std::uint32_t loopBegin = kNoLoop;
    std::uint32_t loopEnd = kNoLoop;
    if (const auto loop = parsed->values(kLoopOption); !loop.empty()) {
        const auto begin = ParseU32(loop[0]);
        const auto end = loop.size() > 1 ? ParseU32(loop[1]) : std::nullopt;
        if (!begin || !end)
            return UsageError(kBaseFreqCommand, "--loop needs two frame numbers");
        loopBegin = *begin;
        loopEnd = *end;
    }
    std::string error;
    const auto options = ReadSoundOptions(*parsed, error);
    if (!options)
        return UsageError(kBaseFreqCommand, error);

    SoundSlot sound;
    if (!LoadSoundFor(std::string(parsed->positional[0]), *options, sound))
        return kExitFailure;
    const std::uint32_t pitch = audio::DetermineBaseFrequency(sound, loopBegin, loopEnd);
    if (pitch == 0)
        return Failure(Text(TextId::kFailedBaseFrequency));
    std::printf("pitch: %u\nbase frequency: %.4f\n", pitch,
        audio::kBaseFrequencyScale / static_cast<double>(pitch));
    return kExitOk;
}

} // namespace vellisto::cli
