// SPDX-License-Identifier: MIT
#include "model/TextTable.h"

#include <array>

namespace vellisto {

namespace {

    constexpr std::array<std::string_view, 256> BuildTable()
    {
        std::array<std::string_view, 256> table {};
#define VEL_TEXT_ENTRY(name, number, text) table[number] = text;
        VEL_TEXTS(VEL_TEXT_ENTRY)
#undef VEL_TEXT_ENTRY
        return table;
    }

    constexpr std::array<std::string_view, 256> kTable = BuildTable();

    // Every number names one text: a second entry with the same number would
    // silently replace the first.
    constexpr bool NumbersAreUnique()
    {
        std::array<int, 256> uses {};
#define VEL_TEXT_USE(name, number, text) ++uses[number];
        VEL_TEXTS(VEL_TEXT_USE)
#undef VEL_TEXT_USE
        for (int count : uses)
            if (count > 1)
                return false;
        return true;
    }
    static_assert(NumbersAreUnique());

} // namespace

std::string_view Text(TextId id) { return kTable[static_cast<std::uint8_t>(id)]; }

std::string_view TextByNumber(std::uint8_t number) { return kTable[number]; }

} // namespace vellisto
