// SPDX-License-Identifier: MIT
#pragma once

// The program's icon and the toolbar's pictures, drawn as scalable images
// held in the program's resources.

#include "views/AppCommands.h"

#include <QIcon>

namespace vellisto::ui {

QIcon AppIcon();
// The toolbar picture of a command; a null icon for one without.
QIcon CommandIcon(views::CommandId id);

} // namespace vellisto::ui
