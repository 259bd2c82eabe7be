// SPDX-License-Identifier: MIT
#include "platform/Memory.h"

#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace vellisto::platform {

namespace {
    constexpr std::align_val_t kHugePage { std::size_t { 1 } << 21 };
}

void* AllocateTable(std::size_t bytes) noexcept
{
    void* table = ::operator new[](bytes, kHugePage, std::nothrow);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (table != nullptr)
        ::madvise(table, bytes, MADV_HUGEPAGE); // a hint: refused, the table still works
#endif
    return table;
}

void ReleaseTable(void* table) noexcept { ::operator delete[](table, kHugePage); }

} // namespace vellisto::platform
