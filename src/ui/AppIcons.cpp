// SPDX-License-Identifier: MIT
#include "ui/AppIcons.h"

// The pictures are compiled into this static library, whose resources are
// registered by hand before their first use.
static void RegisterResources() { Q_INIT_RESOURCE(resources); }

namespace vellisto::ui {

namespace {

    QIcon Resource(const QString& path)
    {
        static const bool registered = (RegisterResources(), true);
        (void)registered;
        return QIcon(path);
    }

} // namespace

QIcon AppIcon() { return Resource(QStringLiteral(":/vellisto/vellisto.svg")); }

QIcon CommandIcon(views::CommandId id)
{
    using views::CommandId;
    const char* name = nullptr;
    switch (id) {
    case CommandId::kFileNew:
        name = "new";
        break;
    case CommandId::kFileOpen:
        name = "open";
        break;
    case CommandId::kFileSave:
        name = "save";
        break;
    case CommandId::kEditCut:
        name = "cut";
        break;
    case CommandId::kEditCopy:
        name = "copy";
        break;
    case CommandId::kEditPaste:
        name = "paste";
        break;
    case CommandId::kFilePrint:
        name = "print";
        break;
    case CommandId::kAppAbout:
        name = "about";
        break;
    default:
        return {};
    }
    return Resource(QStringLiteral(":/vellisto/toolbar/%1.svg").arg(QLatin1String(name)));
}

} // namespace vellisto::ui
