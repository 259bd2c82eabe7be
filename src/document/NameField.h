// SPDX-License-Identifier: MIT
#pragma once

// Text going into and out of the fixed 260-unit name fields of the project
// (a sound's file name, the base path): what the user types or chooses can be
// longer than a field holds, and is cut to 259 units, never at the middle of
// a character, so that the terminating zero always fits.

#include "model/ProjectSettings.h"

#include <string_view>

namespace vellisto {

// The most units a name field holds before its terminating zero.
inline constexpr std::size_t kNameTextUnits = kNameUnits - 1;

// The name up to its terminating zero (or all 260 units when it has none).
std::u16string_view NameText(const Name& name);

// Replaces the field with text, cut to kNameTextUnits units (one fewer when
// the cut would split a surrogate pair, or at an embedded zero) and
// zero-filled after it.
void StoreNameText(Name& name, std::u16string_view text);

} // namespace vellisto
