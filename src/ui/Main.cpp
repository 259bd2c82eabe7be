// SPDX-License-Identifier: MIT
// The desktop program: an empty main window into which projects are opened.

#include "model/TextTable.h"
#include "ui/MainFrame.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const std::string_view title = vellisto::Text(vellisto::TextId::kApplicationTitle);
    QApplication::setApplicationName(
        QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
    vellisto::ui::MainFrame frame;
    frame.show();
    return QApplication::exec();
}
