// SPDX-License-Identifier: MIT
#include "ui/ChildFrame.h"

#include <QCloseEvent>
#include <QLayout>

namespace vellisto::ui {

ChildFrame::ChildFrame(Ctest122Doc& document, ChildFrameHost& host, QWidget* view)
    : m_document(document)
    , m_host(host)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(view);
}

ChildFrame::~ChildFrame()
{
    // The view leaves its document before the host may close the document.
    delete widget();
    m_host.childClosed(*this, m_document);
}

void ChildFrame::fitToView()
{
    QWidget* view = widget();
    if (view == nullptr)
        return;
    if (layout() != nullptr)
        layout()->activate();
    resize(view->sizeHint() + (size() - view->size()));
}

void ChildFrame::showEvent(QShowEvent* event)
{
    QMdiSubWindow::showEvent(event);
    if (!m_fitted && isVisible()) {
        m_fitted = true;
        fitToView();
    }
}

void ChildFrame::closeEvent(QCloseEvent* event)
{
    if (!m_host.mayCloseChild(*this)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

} // namespace vellisto::ui
