// SPDX-License-Identifier: MIT
#pragma once

// Window titles of the views: a text-table format such as "Project [%s]" or
// "Sound Settings Sound %u [%s]" filled with the document's title (and the
// sound or track number). Titles are UTF-16, as the frames show them.

#include "model/TextTable.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vellisto::views {

std::u16string FormatViewTitle(TextId format, std::u16string_view documentTitle);
std::u16string FormatViewTitle(
    TextId format, std::uint32_t number, std::u16string_view documentTitle);

} // namespace vellisto::views
