// SPDX-License-Identifier: MIT
#include "ui/CSoundEditView.h"

#include "ui/QtText.h"
#include "ui/ViewWindow.h"

#include <QMenu>
#include <QMouseEvent>

namespace vellisto::ui {

CSoundEditView::CSoundEditView(
    Ctest122Doc& document, ViewServices& services, std::uint32_t number, QWidget* parent)
    : LinePanelWidget(parent)
    , m_document(document)
    , m_services(services)
    , m_soundId(number)
{
    setDocumentSize(QSize(views::kSoundEditViewWidth, views::kSoundEditViewHeight));
    setInitialClientSize(QSize(views::kSoundEditViewWidth, views::kSoundEditViewHeight));
    m_document.addView(*this);
    OnUpdate({});
}

CSoundEditView::~CSoundEditView() { m_document.removeView(*this); }

void CSoundEditView::OnUpdate(UpdateHint)
{
    const Project* project = m_document.project();
    const SoundSlot* slot = project != nullptr ? project->findSound(m_soundId) : nullptr;
    m_panel.update(slot, project != nullptr ? project->settings.outputFormat.samplesPerSecond : 0);
    updateTitle();
    viewport()->update();
}

void CSoundEditView::OnDocumentStateChanged() { updateTitle(); }

void CSoundEditView::updateTitle()
{
    setWindowTitle(FromUtf16(views::SoundEditTitle(m_soundId, DocumentTitle(m_document))));
}

void CSoundEditView::runMenuCommand(std::uint32_t command)
{
    if (m_panel.runMenuCommand(command))
        OnUpdate({});
}

void CSoundEditView::performCell(std::size_t index, bool)
{
    const auto item = m_panel.itemOfCell(index);
    if (!item)
        return;
    const views::SoundEditOutcome outcome = views::RunSoundEditItem(*item, m_document, m_soundId,
        m_services.messages(), m_services.files, m_services.dialogs, m_panel.modes());
    switch (outcome) {
    case views::SoundEditOutcome::kNone:
        break;
    case views::SoundEditOutcome::kClose:
        CloseViewWindow(*this);
        break;
    case views::SoundEditOutcome::kOpenWaveform:
        m_services.opener.openView(m_document, ViewKind::kWaveform, m_soundId);
        break;
    case views::SoundEditOutcome::kOpenPreview:
        m_services.opener.openPreview(m_document, PreviewMode::kSound, m_soundId);
        break;
    }
}

void CSoundEditView::showPopupMenu(const QPoint& globalPosition)
{
    QMenu menu(this);
    const std::pair<const char*, std::uint32_t> items[] = {
        { "Show by the &Sample", views::kShowBySampleCommand },
        { "Show &Normalized Values", views::kShowNormalizedValuesCommand },
    };
    const bool checked[] = { m_panel.modes().bySample, m_panel.modes().normalized };
    for (std::size_t i = 0; i < 2; ++i) {
        QAction* action = menu.addAction(QString::fromLatin1(items[i].first));
        action->setCheckable(true);
        action->setChecked(checked[i]);
        action->setData(items[i].second);
    }
    if (QAction* chosen = menu.exec(globalPosition))
        runMenuCommand(chosen->data().toUInt());
}

} // namespace vellisto::ui
