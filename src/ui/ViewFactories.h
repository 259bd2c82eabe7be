// SPDX-License-Identifier: MIT
#pragma once

// Which widget each window kind is: the one place that maps a ViewKind to
// the constructor of its view.

#include "ui/ViewServices.h"

#include <cstdint>

class QWidget;

namespace vellisto::ui {

class DocumentCommands;

// What every view is made from.
struct ViewRequest {
    Ctest122Doc& document;
    ViewServices& services;
    DocumentCommands& commands; // saving and mixing (the project view)
    std::uint32_t number = 0; // sound ID or track index, as ViewKind says
    QWidget* parent = nullptr;
};

// A new view of kind; nullptr for a kind this build cannot open yet.
QWidget* CreateView(ViewKind kind, const ViewRequest& request);

} // namespace vellisto::ui
