// SPDX-License-Identifier: MIT
#include "cli/ComputeOptions.h"

#include "audio/Acceleration.h"
#include "cli/SoundOptions.h"

namespace vellisto::cli {

namespace {
    constexpr std::uint32_t kMaxThreads = 256;
}

bool ApplyComputeOptions(const ParsedArgs& parsed, std::string& error)
{
    if (const auto text = parsed.value(kThreadsOption)) {
        const auto threads = ParseU32(*text);
        if (!threads || *threads == 0 || *threads > kMaxThreads) {
            error = "--threads must be a whole number from 1 to 256";
            return false;
        }
        audio::SetWorkerThreads(*threads);
    }
    if (parsed.has(kReferenceOption))
        audio::SetKernelPath(audio::KernelPath::kReference);
    return true;
}

} // namespace vellisto::cli
