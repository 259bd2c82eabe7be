// SPDX-License-Identifier: MIT
// Any bytes must read as a project or fail cleanly; a project that was read
// must write out and read back to the very same bytes.

#include "model/ProjectFile.h"

#include <cstdint>
#include <cstdlib>

using namespace vellisto;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto project = CreateProject();
    if (!project || !ParseProjectFile({ data, size }, *project))
        return 0;
    const auto written = SerializeProjectFile(*project);
    auto again = CreateProject();
    if (!again || !ParseProjectFile(written, *again))
        std::abort();
    if (SerializeProjectFile(*again) != written)
        std::abort();
    return 0;
}
