// SPDX-License-Identifier: MIT
#pragma once

// The main window: a multiple-document area with one child window per view,
// the menus (one set without a document window, one with), the toolbar and
// the status bar with each command's prompt. It owns the open documents and
// the services every view is given, opens files (from the menu, the recent
// list, the command line or dropped on it), saves them, runs the mix, and
// asks before a modified document closes.

#include "document/Document.h"
#include "ui/ChildFrame.h"
#include "ui/DesktopEditor.h"
#include "ui/DesktopInterface.h"
#include "ui/DocumentCommands.h"
#include "ui/QtClipboard.h"
#include "ui/QtEventEditDialogs.h"
#include "ui/ViewServices.h"
#include "views/AppCommands.h"
#include "views/RecentFiles.h"

#include <QMainWindow>
#include <QString>
#include <map>
#include <memory>
#include <vector>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace vellisto::ui {

class MainFrame : public QMainWindow,
                  public ViewOpener,
                  public DocumentCommands,
                  public ChildFrameHost {
    Q_OBJECT

public:
    // settingsPath: the INI file holding the recent-file list; empty keeps
    // the list in memory only.
    explicit MainFrame(const QString& settingsPath = {}, QWidget* parent = nullptr);
    ~MainFrame() override;

    // File New: a new project after the "Compatibility and Format" choice.
    Ctest122Doc* newDocument();
    // Opens a file as a document with its project view; a file already open
    // activates its window instead. nullptr after a message or a cancel.
    Ctest122Doc* openFile(const QString& path);
    // File Open: the file dialog, then openFile.
    Ctest122Doc* openFileFromDialog();
    bool saveDocumentAs(Ctest122Doc& document);
    // File Close: every window of the document, after asking to save it.
    bool closeDocument(Ctest122Doc& document);

    // The document of the active child window.
    Ctest122Doc* activeDocument() const;
    std::size_t documentCount() const { return m_documents.size(); }
    // The child windows of document, in creation order.
    std::vector<ChildFrame*> windowsOf(const Ctest122Doc& document) const;
    QMdiSubWindow* openViewWindow(Ctest122Doc& document, ViewKind kind, std::uint32_t number = 0);

    QMdiArea* mdiArea() const { return m_mdiArea; }
    QToolBar* toolBar() const { return m_toolBar; }
    QAction* commandAction(views::CommandId id) const;
    const views::RecentFileList& recentFiles() const { return m_recent; }
    // How charts opened from now on are read; remembered in the settings.
    const ImportOptions& importOptions() const { return m_importOptions; }
    void setStandardChartRules(bool standard);
    ViewServices& services() { return m_services; }
    bool mixRunning() const { return m_mixRunning; }

    // Brings every action's enabled and checked state up to date.
    void updateCommandStates();

    // ViewOpener
    void openView(Ctest122Doc& document, ViewKind kind, std::uint32_t number = 0) override;
    void openPreview(Ctest122Doc& document, PreviewMode mode, std::uint32_t number = 0) override;

    // DocumentCommands
    bool saveDocument(Ctest122Doc& document) override;
    bool mixDocument(Ctest122Doc& document) override;
    bool refuseWhileMixing() override;

    // ChildFrameHost
    bool mayCloseChild(ChildFrame& child) override;
    void childClosed(ChildFrame& child, Ctest122Doc& document) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Follows one document's updates and state changes for the caption and
    // the command states.
    class DocumentWatcher;
    // The watcher leaves its document's view list before the document goes,
    // whether the entry is destroyed or replaced (as erasing from the vector does).
    struct OpenDocument {
        std::unique_ptr<Ctest122Doc> document;
        std::unique_ptr<DocumentWatcher> watcher;

        OpenDocument();
        OpenDocument(OpenDocument&&) noexcept;
        OpenDocument& operator=(OpenDocument&& other) noexcept;
        ~OpenDocument();
    };

    void createActions();
    void createMenus();
    void fillMenu(QMenu* menu, std::span<const views::MenuEntry> entries);
    void fillWindowMenu(QMenu* menu);
    void createToolBar();
    void createStatusBar();
    void runCommand(views::CommandId id);
    void activeWindowChanged();
    void documentChanged(Ctest122Doc& document);
    void addRecentFile(const std::string& nativePath);
    void removeRecentFile(const std::string& nativePath);
    void storeRecentFiles();
    void rebuildRecentActions();
    Ctest122Doc& adopt(std::unique_ptr<Ctest122Doc> document);
    Ctest122Doc* findOpenFile(const QString& absolutePath) const;
    // Asks to save a modified document; false when the user cancelled or
    // the save failed.
    bool askToSave(Ctest122Doc& document);
    void arrangeIcons();

    QMdiArea* m_mdiArea;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_ready = nullptr;
    std::map<views::CommandId, QAction*> m_actions;
    std::vector<QMenu*> m_plainMenus;
    std::vector<QMenu*> m_documentMenus;
    std::vector<QAction*> m_recentActions;
    bool m_documentMenusShown = false;

    QString m_settingsPath;
    views::RecentFileList m_recent;
    ImportOptions m_importOptions;

    MessageBoxes m_messages;
    FileDialogs m_files;
    DesktopValueDialogs m_dialogs;
    DesktopProgress m_progress;
    QtClipboard m_clipboard;
    QtEventEditDialogs m_editDialogs;
    DesktopEditor m_editor;
    ViewServices m_services;

    std::vector<OpenDocument> m_documents;
    bool m_mixRunning = false;
    // Set while windows close after their documents were asked about (File
    // Close, Exit), and while the frame goes away.
    bool m_closingWithoutAsking = false;
};

} // namespace vellisto::ui
