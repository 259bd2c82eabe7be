// SPDX-License-Identifier: MIT
#include "ui/Ctest122View.h"

#include "mix/SoundCache.h"
#include "ui/DocumentCommands.h"
#include "ui/QtText.h"

#include <QKeyEvent>

namespace vellisto::ui {

Ctest122View::Ctest122View(
    Ctest122Doc& document, ViewServices& services, DocumentCommands& commands, QWidget* parent)
    : PanelWidget(parent)
    , m_document(document)
    , m_services(services)
    , m_commands(commands)
{
    setDocumentSize(QSize(views::kProjectViewWidth, views::kProjectViewHeight));
    setInitialClientSize(QSize(views::kProjectViewWidth, views::kProjectViewHeight));
    m_document.addView(*this);
    updateTitle();
}

Ctest122View::~Ctest122View() { m_document.removeView(*this); }

void Ctest122View::OnUpdate(UpdateHint)
{
    updateTitle();
    viewport()->update();
}

void Ctest122View::OnDocumentStateChanged() { updateTitle(); }

void Ctest122View::updateTitle()
{
    setWindowTitle(
        FromUtf16(views::ProjectViewTitle(FromNative(m_document.title()).toStdU16String())));
}

void Ctest122View::runCommand(views::ProjectCommand command)
{
    using views::ProjectCommand;
    Messages& messages = m_services.messages();
    bool changed = false;
    switch (command) {
    case ProjectCommand::kSave:
        m_commands.saveDocument(m_document);
        return;
    case ProjectCommand::kMix:
        m_commands.mixDocument(m_document);
        break;
    case ProjectCommand::kPreview:
        if (m_commands.refuseWhileMixing())
            return;
        m_services.opener.openPreview(m_document, PreviewMode::kProject);
        break;
    case ProjectCommand::kClearCache:
        if (m_commands.refuseWhileMixing() || m_document.project() == nullptr)
            return;
        mix::ClearCache(*m_document.project());
        ShowInformation(messages, TextId::kClearedCache);
        break;
    case ProjectCommand::kImportSoundList:
        if (m_commands.refuseWhileMixing() || m_document.project() == nullptr)
            return;
        changed = m_document.ImportSoundList(messages, m_services.files);
        break;
    case ProjectCommand::kImportTrackList:
        if (m_commands.refuseWhileMixing() || m_document.project() == nullptr)
            return;
        changed = m_document.ImportTrackList(messages, m_services.files);
        break;
    case ProjectCommand::kOpenSettings:
        m_services.opener.openView(m_document, ViewKind::kSettings);
        return;
    case ProjectCommand::kOpenSoundList:
        m_services.opener.openView(m_document, ViewKind::kSoundList);
        return;
    case ProjectCommand::kOpenTrackList:
        m_services.opener.openView(m_document, ViewKind::kTrackList);
        return;
    }
    if (views::RefreshesAllViews(command, changed))
        m_document.UpdateAllViews();
}

void Ctest122View::performCell(std::size_t index, bool)
{
    if (const auto command = m_panel.commandOfCell(index))
        runCommand(*command);
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
    runCommand(*command);
    return true;
}

} // namespace vellisto::ui
