// SPDX-License-Identifier: MIT
#include "ui/ViewWindow.h"

#include "document/Document.h"
#include "platform/TextCodec.h"

#include <QMdiSubWindow>
#include <QWidget>

namespace vellisto::ui {

std::u16string DocumentTitle(const Ctest122Doc& document)
{
    return platform::Utf8ToUtf16(document.title());
}

void CloseViewWindow(QWidget& view)
{
    for (QWidget* widget = view.parentWidget(); widget != nullptr;
         widget = widget->parentWidget()) {
        if (auto* window = qobject_cast<QMdiSubWindow*>(widget)) {
            window->close();
            return;
        }
    }
    view.window()->close();
}

} // namespace vellisto::ui
