// SPDX-License-Identifier: MIT
#pragma once

// The data expression typed into the event edit dialogs and cells: a number
// that replaces a 32-bit word, or an operator and a number that change it.
//
//   "N"    (starting with a digit) value := N
//   "+N"   value := value + N        "-N"  value := value - N   (modulo 2^32)
//   "*N"   value := value x N (modulo 2^32)
//   "*X.Y" value := value x X.Y, truncated toward zero, low 32 bits kept
//   "/N"   value := value / N (unsigned)
//   "/X.Y" value := value / X.Y, truncated toward zero, low 32 bits kept
//
// Integers are C integers (decimal, 0x hexadecimal, leading-0 octal) and
// reading stops at the first character that does not fit, so "5*2" is 5.
// An operator form with a real operand is recognised by a '.' anywhere after
// the operator. A real result that does not fit a signed 64-bit integer
// gives 0. Stateless.

#include <cstdint>
#include <string_view>

namespace vellisto::editing {

// Applies text to value. Returns false, leaving value unchanged, for an empty
// text, an unknown first character, an operator without a number, and a
// division by zero.
bool ApplyDataExpression(std::string_view text, std::uint32_t& value);

} // namespace vellisto::editing
