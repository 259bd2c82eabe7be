// SPDX-License-Identifier: MIT
#include "ui/Ctest122View.h"

#include <QKeyEvent>

namespace vellisto::ui {

Ctest122View::Ctest122View(QWidget* parent)
    : PanelWidget(parent)
{
    setDocumentSize(QSize(views::kProjectViewWidth, views::kProjectViewHeight));
    setInitialClientSize(QSize(views::kProjectViewWidth, views::kProjectViewHeight));
}

void Ctest122View::setDocumentTitle(const QString& documentTitle)
{
    const std::u16string title = views::ProjectViewTitle(documentTitle.toStdU16String());
    setWindowTitle(QString::fromUtf16(title.data(), static_cast<qsizetype>(title.size())));
}

void Ctest122View::performCell(std::size_t index, bool)
{
    if (const auto command = m_panel.commandOfCell(index))
        emit commandRequested(*command);
}

bool Ctest122View::panelKey(QKeyEvent* event)
{
    // Letters alone: with Ctrl or Alt they belong to the menus' shortcuts.
    const Qt::KeyboardModifiers chord = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (event->modifiers() & chord)
        return false;
    const int key = event->key();
    if (key < Qt::Key_A || key > Qt::Key_Z)
        return false;
    const auto command = m_panel.key(static_cast<char32_t>(key));
    if (!command)
        return false;
    emit commandRequested(*command);
    return true;
}

} // namespace vellisto::ui
