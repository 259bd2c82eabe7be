// SPDX-License-Identifier: MIT
#pragma once

// Memory for large lookup tables that are read at random for the whole life
// of the program: aligned to 2 MiB and, where the system offers it, backed by
// huge pages, which take fewer page faults to fill and fewer address
// translations to read. Any thread may allocate and release.

#include <cstddef>

namespace vellisto::platform {

// `bytes` of uninitialised memory, or null when there is not enough.
void* AllocateTable(std::size_t bytes) noexcept;
void ReleaseTable(void* table) noexcept;

} // namespace vellisto::platform
