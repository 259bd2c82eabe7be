// SPDX-License-Identifier: MIT
#pragma once

// The font every panel view draws its texts with: a fixed-pitch font whose
// lines are at most kViewLineHeight (16) pixels high, with a CJK-capable
// fallback for Japanese file names.

#include <QFont>

namespace vellisto::ui {

// Needs a running QGuiApplication; built once, then shared.
const QFont& ViewFont();

} // namespace vellisto::ui
