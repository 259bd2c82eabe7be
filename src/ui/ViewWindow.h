// SPDX-License-Identifier: MIT
#pragma once

// Small things every document view window needs: texts between the core's
// UTF-16 and UTF-8 and Qt, the window title from a view's title text, and
// closing the child window a view sits in.

#include <QString>
#include <string>
#include <string_view>

class QWidget;

namespace vellisto {
class Ctest122Doc;
} // namespace vellisto

namespace vellisto::ui {

QString ToQString(std::u16string_view text);
QString Utf8ToQString(std::string_view text);
// The document's title ("New Project1", "demo.spj") as the view titles take it.
std::u16string DocumentTitle(const Ctest122Doc& document);

// Closes the child window holding view (its multiple-document sub-window),
// or the view's own top-level window when it stands alone. A window that
// deletes itself on close does so once control returns to the event loop.
void CloseViewWindow(QWidget& view);

} // namespace vellisto::ui
