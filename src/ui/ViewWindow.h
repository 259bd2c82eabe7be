// SPDX-License-Identifier: MIT
#pragma once

// Small things every document view window needs: the document's title for
// the view titles, and closing the child window a view sits in. (Texts
// between the core and Qt are in ui/QtText.h.)

#include <string>
#include <string_view>

class QWidget;

namespace vellisto {
class Ctest122Doc;
} // namespace vellisto

namespace vellisto::ui {

// The document's title ("New Project1", "demo.spj") as the view titles take it.
std::u16string DocumentTitle(const Ctest122Doc& document);

// Closes the child window holding view (its multiple-document sub-window),
// or the view's own top-level window when it stands alone. A window that
// deletes itself on close does so once control returns to the event loop.
void CloseViewWindow(QWidget& view);

} // namespace vellisto::ui
