// SPDX-License-Identifier: MIT
#pragma once

// Fills the text table's printf-style formats ("Buffer length %-10u",
// "Ch %u %f\n", "%02u:%02u.%03u") with values, the same way on every machine:
// decimal points stay points whatever locale the desktop set, and a value
// can never be read as a format. Stateless and thread-safe.
//
// Understood: "%%", the flags '-' (left-justify) and '0' (pad numbers with
// zeros), a width, a precision after '.', and the conversions u (unsigned),
// d and i (signed), f (fixed, 6 decimals unless a precision is given) and s
// (text). A conversion with no value left, or of an unknown kind, is kept
// as written; values left over are ignored.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace vellisto::views {

using FormatArgument = std::variant<std::uint32_t, std::int32_t, double, std::string_view>;

std::string FormatText(std::string_view format, std::initializer_list<FormatArgument> arguments);

} // namespace vellisto::views
