// SPDX-License-Identifier: MIT
// Any bytes must read as a project or fail cleanly, with a reason; a project that was read
// must write out and read back to the very same bytes.

#include "FuzzSupport.h"
#include "model/ProjectFile.h"

#include <cstdint>
#include <cstdlib>

using namespace vellisto;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Project& project = fuzz::ReusedProject<0>();
    platform::ReadError reason;
    if (!ParseProjectFile({ data, size }, project, &reason)) {
        fuzz::CheckReason(reason, size);
        return 0;
    }
    fuzz::Check(reason.code == platform::ReadErrorCode::kNone); // cleared on success
    const auto written = SerializeProjectFile(project);
    Project& again = fuzz::ReusedProject<1>();
    fuzz::Check(ParseProjectFile(written, again));
    fuzz::Check(SerializeProjectFile(again) == written);
    return 0;
}
