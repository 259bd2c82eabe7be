// SPDX-License-Identifier: MIT
#pragma once

// An entry of the text table (UTF-8) as a QString.

#include "model/TextTable.h"

#include <QString>

namespace vellisto::ui {

inline QString TableText(TextId id)
{
    const std::string_view text = Text(id);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace vellisto::ui
