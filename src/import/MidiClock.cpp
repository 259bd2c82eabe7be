// SPDX-License-Identifier: MIT
#include "import/MidiClock.h"

namespace vellisto::import {

std::uint64_t TickDurationFx24(
    std::uint32_t tempoMicros, std::uint32_t rate, std::uint32_t division)
{
    // Divide by the division first, then by a million: do not fold the two.
    const Uint128 scaled = static_cast<Uint128>(tempoMicros) * rate * (std::uint64_t { 1 } << 24);
    const Uint128 perTick = scaled / division / 1000000u;
    return static_cast<std::uint64_t>(perTick); // the low 64 bits
}

} // namespace vellisto::import
