// SPDX-License-Identifier: MIT
#pragma once

// The engine's run-time state held inside every Project. Filled in by the
// engine; nothing outside the engine reads it.

namespace vellisto {

struct MixState { };

} // namespace vellisto
