// SPDX-License-Identifier: MIT
// vellisto-cli resample IN.wav -o OUT.wav [--rate R] [--channels C] [--interp ...]
//                         [--threads N] [--reference]
// Runs the loading conversion and writes 16-bit PCM with the 44-byte header,
// through a temporary file so that a failed write keeps any existing OUT.

#include "audio/WaveHeader.h"
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/ComputeOptions.h"
#include "cli/Input.h"
#include "cli/SoundOptions.h"
#include "model/TextTable.h"
#include "platform/File.h"

#include <string>

namespace vellisto::cli {

namespace {

    bool WriteWave(const std::string& path, const SoundSlot& sound)
    {
        const auto header = audio::MakeWaveHeader(sound.dataFormat, sound.sampleBytes);
        platform::AtomicFileWriter writer(path);
        return writer.open() && writer.file().write(header.data(), header.size())
            && writer.file().write(sound.samples, sound.sampleBytes) && writer.commit();
    }

} // namespace

int RunResample(CommandArgs args)
{
    const auto parsed = ParseOneInput(kResampleCommand, args);
    if (!parsed)
        return kExitUsage;
    const auto output = parsed->value(kOutputOption);
    if (!output || output->empty())
        return UsageError(kResampleCommand, "-o needs a file name");
    std::string error;
    const auto options = ReadSoundOptions(*parsed, error);
    if (!options || !ApplyComputeOptions(*parsed, error))
        return UsageError(kResampleCommand, error);

    const std::string outPath(*output);
    if (ReplacesAnInput(outPath, { parsed->positional[0] }))
        return UsageError(kResampleCommand, "the output would replace the input");
    if (!CheckOutputPath(outPath))
        return kExitFailure;
    SoundSlot sound;
    if (!LoadSoundFor(std::string(parsed->positional[0]), *options, sound))
        return kExitFailure;
    if (!WriteWave(outPath, sound))
        return Failure(Text(TextId::kFailedSaving), outPath + ": writing the file failed");
    return kExitOk;
}

} // namespace vellisto::cli
