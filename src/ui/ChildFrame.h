// SPDX-License-Identifier: MIT
#pragma once

// A child window of the main frame: one view of one document. Before it
// closes it asks its host, which asks to save a modified document whose
// last window this is; once its view is gone it tells the host, which then
// closes a document left without windows.

#include <QMdiSubWindow>

namespace vellisto {
class Ctest122Doc;
}

namespace vellisto::ui {

class ChildFrame;

class ChildFrameHost {
public:
    virtual ~ChildFrameHost() = default;
    virtual bool mayCloseChild(ChildFrame& child) = 0;
    // The child's view has been destroyed; the child itself is going.
    virtual void childClosed(ChildFrame& child, Ctest122Doc& document) = 0;
};

class ChildFrame : public QMdiSubWindow {
    Q_OBJECT

public:
    ChildFrame(Ctest122Doc& document, ChildFrameHost& host, QWidget* view);
    ~ChildFrame() override;

    Ctest122Doc& document() const { return m_document; }

    // Sizes the window so that its view gets the view's opening size; done
    // again when the window is first shown, as the frame's measures are
    // known only then.
    void fitToView();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool m_fitted = false;
    Ctest122Doc& m_document;
    ChildFrameHost& m_host;
};

} // namespace vellisto::ui
