// SPDX-License-Identifier: MIT
#include "ui/CSettingsView.h"

#include "ui/QtText.h"
#include "ui/ViewWindow.h"

#include <QMenu>
#include <QMouseEvent>

namespace vellisto::ui {

CSettingsView::CSettingsView(
    Ctest122Doc& document, ViewServices& services, std::uint32_t, QWidget* parent)
    : LinePanelWidget(parent)
    , m_document(document)
    , m_services(services)
{
    setDocumentSize(QSize(views::kSettingsViewWidth, views::kSettingsViewHeight));
    setInitialClientSize(QSize(views::kSettingsViewWidth, views::kSettingsViewHeight));
    m_document.addView(*this);
    OnUpdate({});
}

CSettingsView::~CSettingsView() { m_document.removeView(*this); }

void CSettingsView::OnUpdate(UpdateHint)
{
    const Project* project = m_document.project();
    m_panel.update(project != nullptr ? &project->settings : nullptr);
    updateTitle();
    viewport()->update();
}

void CSettingsView::OnDocumentStateChanged() { updateTitle(); }

void CSettingsView::updateTitle()
{
    setWindowTitle(FromUtf16(views::SettingsTitle(DocumentTitle(m_document))));
}

void CSettingsView::toggleNormalizedValues()
{
    m_panel.toggleNormalized();
    OnUpdate({});
}

void CSettingsView::performCell(std::size_t index, bool)
{
    const auto item = m_panel.itemOfCell(index);
    if (!item)
        return;
    const views::SettingsOutcome outcome = views::RunSettingsItem(*item, m_document,
        m_services.messages(), m_services.dialogs, m_services.files, m_panel.normalized());
    if (outcome == views::SettingsOutcome::kClose)
        CloseViewWindow(*this);
}

void CSettingsView::showPopupMenu(const QPoint& globalPosition)
{
    QMenu menu(this);
    QAction* normalized = menu.addAction(QStringLiteral("Show &Normalized Values"));
    normalized->setCheckable(true);
    normalized->setChecked(m_panel.normalized());
    normalized->setData(views::kShowNormalizedCommand);
    if (menu.exec(globalPosition) == normalized)
        toggleNormalizedValues();
}

} // namespace vellisto::ui
