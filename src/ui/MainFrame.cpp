// SPDX-License-Identifier: MIT
#include "ui/MainFrame.h"

#include "document/MixCommand.h"
#include "model/TextTable.h"
#include "ui/AboutDialog.h"
#include "ui/AppIcons.h"
#include "ui/CPreviewDlg.h"
#include "ui/QtText.h"
#include "ui/ViewFactories.h"
#include "views/AppShell.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <algorithm>

namespace vellisto::ui {

namespace {

    const QString kRecentGroup = QStringLiteral("Recent File List");
    // How BMS charts are read: Rules=standard or design (the default), and
    // the seed that picks the #RANDOM branches under the standard rules.
    const QString kChartRulesKey = QStringLiteral("Charts/Rules");
    const QString kChartSeedKey = QStringLiteral("Charts/RandomSeed");
    const QString kStandardRulesName = QStringLiteral("standard");
    const QString kDesignRulesName = QStringLiteral("design");

    QString RecentKey(std::size_t index)
    {
        return QStringLiteral("File%1").arg(static_cast<qulonglong>(index + 1));
    }

    // The local files of a drag, in order.
    QStringList LocalFiles(const QMimeData* data)
    {
        QStringList files;
        if (data == nullptr || !data->hasUrls())
            return files;
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                files << url.toLocalFile();
        return files;
    }

} // namespace

class MainFrame::DocumentWatcher final : public DocumentView {
public:
    DocumentWatcher(MainFrame& frame, Ctest122Doc& document)
        : m_frame(frame)
        , m_document(document)
    {
        m_document.addView(*this);
    }
    ~DocumentWatcher() override { m_document.removeView(*this); }
    DocumentWatcher(const DocumentWatcher&) = delete;
    DocumentWatcher& operator=(const DocumentWatcher&) = delete;

    void OnUpdate(UpdateHint) override { m_frame.documentChanged(m_document); }
    void OnDocumentStateChanged() override { m_frame.documentChanged(m_document); }

private:
    MainFrame& m_frame;
    Ctest122Doc& m_document;
};

MainFrame::OpenDocument::OpenDocument() = default;

MainFrame::OpenDocument::OpenDocument(OpenDocument&&) noexcept = default;

MainFrame::OpenDocument& MainFrame::OpenDocument::operator=(OpenDocument&& other) noexcept
{
    watcher.reset();
    document = std::move(other.document);
    watcher = std::move(other.watcher);
    return *this;
}

MainFrame::OpenDocument::~OpenDocument() { watcher.reset(); }

MainFrame::MainFrame(const QString& settingsPath, QWidget* parent)
    : QMainWindow(parent)
    , m_mdiArea(new QMdiArea(this))
    , m_settingsPath(settingsPath)
    , m_messages(this)
    , m_files(this)
    , m_dialogs(this)
    , m_progress(this)
    , m_editDialogs(this)
    , m_editor(m_messages, m_editDialogs, *this)
    , m_services { m_editor, m_files, m_dialogs, m_progress, m_clipboard, *this }
{
    // The profile first: the recent-file list of the File menus.
    if (!m_settingsPath.isEmpty()) {
        QSettings settings(m_settingsPath, QSettings::IniFormat);
        settings.beginGroup(kRecentGroup);
        std::vector<std::string> paths;
        for (std::size_t i = 0; i < views::RecentFileList::kCapacity; ++i)
            paths.push_back(settings.value(RecentKey(i)).toByteArray().toStdString());
        m_recent.assign(paths);
        settings.endGroup();
        // Anything but the standard rules' name reads charts as the program always has.
        if (settings.value(kChartRulesKey).toString() == kStandardRulesName)
            m_importOptions.bms.rules = import::BmsRules::kStandard;
        bool validSeed = false;
        const qulonglong seed = settings.value(kChartSeedKey).toULongLong(&validSeed);
        m_importOptions.bms.seed = validSeed ? seed : 0;
    }

    setWindowIcon(AppIcon());
    setCentralWidget(m_mdiArea);
    setAcceptDrops(true);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &MainFrame::activeWindowChanged);

    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    activeWindowChanged();
    resize(800, 600);
}

MainFrame::~MainFrame()
{
    // Nothing may reach this frame while its parts go, and the views go
    // before the documents they show.
    m_mdiArea->disconnect(this);
    m_toolBar->disconnect(this);
    m_closingWithoutAsking = true;
    for (ChildFrame* child : m_mdiArea->findChildren<ChildFrame*>())
        delete child;
    m_documents.clear();
}

void MainFrame::createActions()
{
    for (const views::CommandInfo& info : views::AllCommands()) {
        auto* action = new QAction(this);
        action->setStatusTip(FromUtf8(info.prompt));
        action->setToolTip(FromUtf8(info.tooltip));
        QList<QKeySequence> keys;
        for (const std::string_view key : info.keys)
            keys << QKeySequence::fromString(FromUtf8(key), QKeySequence::PortableText);
        action->setShortcuts(keys);
        action->setIcon(CommandIcon(info.id));
        action->setIconVisibleInMenu(false);
        const views::CommandId id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
        // Shortcuts work in either menu set, as one accelerator table serves both.
        addAction(action);
        m_actions.emplace(id, action);
    }
    // Names for the toolbar before the menus give the texts.
    for (const views::Menu& menu : views::MainMenus(views::MenuSet::kDocument))
        for (const views::MenuEntry& entry : menu.entries)
            if (entry.kind == views::MenuEntryKind::kCommand)
                m_actions.at(entry.command)->setText(FromUtf8(entry.text));
    m_actions.at(views::CommandId::kFilePrint)->setText(QStringLiteral("&Print"));
}

void MainFrame::fillMenu(QMenu* menu, std::span<const views::MenuEntry> entries)
{
    for (const views::MenuEntry& entry : entries) {
        switch (entry.kind) {
        case views::MenuEntryKind::kCommand: {
            QAction* action = m_actions.at(entry.command);
            action->setText(FromUtf8(entry.text));
            menu->addAction(action);
            break;
        }
        case views::MenuEntryKind::kSeparator:
            menu->addSeparator();
            break;
        case views::MenuEntryKind::kRecentFiles:
            menu->addActions(QList<QAction*>(m_recentActions.begin(), m_recentActions.end()));
            break;
        case views::MenuEntryKind::kSubmenu: {
            QMenu* submenu = menu->addMenu(FromUtf8(entry.text));
            fillMenu(submenu, entry.submenu);
            break;
        }
        }
    }
}

void MainFrame::fillWindowMenu(QMenu* menu)
{
    const auto menus = views::MainMenus(views::MenuSet::kDocument);
    const auto window = std::find_if(
        menus.begin(), menus.end(), [](const views::Menu& m) { return m.title == "&Window"; });
    menu->clear();
    fillMenu(menu, window->entries);
    // The open windows, numbered, the current one checked.
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList();
    if (!windows.isEmpty())
        menu->addSeparator();
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* child = windows[i];
        QAction* action = menu->addAction(FromUtf8(views::RecentFileMenuText(
            static_cast<std::size_t>(i), child->windowTitle().toStdString())));
        action->setCheckable(true);
        action->setChecked(child == m_mdiArea->currentSubWindow());
        connect(action, &QAction::triggered, this,
            [this, child] { m_mdiArea->setActiveSubWindow(child); });
    }
}

void MainFrame::createMenus()
{
    rebuildRecentActions();
    const auto build = [this](views::MenuSet set, std::vector<QMenu*>& menus) {
        for (const views::Menu& table : views::MainMenus(set)) {
            auto* menu = new QMenu(FromUtf8(table.title), this);
            fillMenu(menu, table.entries);
            connect(menu, &QMenu::aboutToShow, this, &MainFrame::updateCommandStates);
            if (table.title == "&Window")
                connect(menu, &QMenu::aboutToShow, this, [this, menu] { fillWindowMenu(menu); });
            menus.push_back(menu);
        }
    };
    build(views::MenuSet::kNoDocument, m_plainMenus);
    build(views::MenuSet::kDocument, m_documentMenus);
    for (QMenu* menu : m_plainMenus)
        menuBar()->addMenu(menu);
}

void MainFrame::rebuildRecentActions()
{
    for (QAction* action : m_recentActions)
        action->deleteLater();
    m_recentActions.clear();
    const std::vector<std::string>& paths = m_recent.paths();
    if (paths.empty()) {
        auto* placeholder
            = new QAction(FromUtf8(views::ShellTextOf(views::ShellText::kNoRecentFiles)), this);
        placeholder->setEnabled(false);
        m_recentActions.push_back(placeholder);
        return;
    }
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string path = paths[i];
        auto* action = new QAction(
            FromUtf8(views::RecentFileMenuText(i, FromNative(path).toStdString())), this);
        action->setStatusTip(FromNative(path));
        connect(action, &QAction::triggered, this, [this, path] {
            if (openFile(FromNative(path)) == nullptr && !QFileInfo::exists(FromNative(path)))
                removeRecentFile(path);
        });
        m_recentActions.push_back(action);
    }
}

void MainFrame::createToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("toolbar"));
    m_toolBar->setMovable(true);
    m_toolBar->setIconSize(QSize(16, 16));
    for (const views::CommandId id : views::ToolbarCommands()) {
        if (id == views::CommandId::kNone)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(m_actions.at(id));
    }
    connect(m_toolBar, &QToolBar::visibilityChanged, this, &MainFrame::updateCommandStates);
}

void MainFrame::createStatusBar()
{
    // Shown whenever no command's prompt is.
    m_ready = new QLabel(FromUtf8(views::ShellTextOf(views::ShellText::kReady)), this);
    statusBar()->addWidget(m_ready, 1);
}

QAction* MainFrame::commandAction(views::CommandId id) const
{
    const auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

Ctest122Doc* MainFrame::activeDocument() const
{
    // The current window stays current while a dialog has the focus. A window
    // whose document has just closed (it is going away itself) shows none.
    auto* child = qobject_cast<ChildFrame*>(m_mdiArea->currentSubWindow());
    if (child == nullptr)
        return nullptr;
    const Ctest122Doc* document = &child->document();
    const bool open = std::any_of(m_documents.begin(), m_documents.end(),
        [document](const OpenDocument& entry) { return entry.document.get() == document; });
    return open ? &child->document() : nullptr;
}

std::vector<ChildFrame*> MainFrame::windowsOf(const Ctest122Doc& document) const
{
    std::vector<ChildFrame*> windows;
    for (QMdiSubWindow* window : m_mdiArea->subWindowList(QMdiArea::CreationOrder))
        if (auto* child = qobject_cast<ChildFrame*>(window);
            child && &child->document() == &document)
            windows.push_back(child);
    return windows;
}

void MainFrame::updateCommandStates()
{
    views::FrameState state;
    Ctest122Doc* document = activeDocument();
    state.documentWindow = document != nullptr;
    state.canUndo = document != nullptr && document->canUndo();
    state.canRedo = document != nullptr && document->canRedo();
    state.mixRunning = m_mixRunning;
    state.toolbarVisible = m_toolBar != nullptr && !m_toolBar->isHidden();
    state.statusBarVisible = !statusBar()->isHidden();
    state.standardChartRules = m_importOptions.bms.rules == import::BmsRules::kStandard;
    if (QMdiSubWindow* child = m_mdiArea->currentSubWindow())
        state.activeView = dynamic_cast<const views::CommandHandler*>(child->widget());
    for (const auto& [id, action] : m_actions) {
        const views::CommandStatus status = views::FrameCommandStatus(id, state);
        action->setEnabled(status.enabled);
        action->setCheckable(status.checked);
        action->setChecked(status.checked);
    }
    for (QAction* action : m_recentActions)
        if (!m_recent.paths().empty())
            action->setEnabled(!m_mixRunning);
}

void MainFrame::runCommand(views::CommandId id)
{
    using views::CommandId;
    // The states shown may be stale (a shortcut between two updates).
    updateCommandStates();
    if (!m_actions.at(id)->isEnabled())
        return;
    Ctest122Doc* document = activeDocument();
    switch (id) {
    case CommandId::kFileNew:
        newDocument();
        break;
    case CommandId::kFileOpen:
        openFileFromDialog();
        break;
    case CommandId::kFileClose:
        closeDocument(*document);
        break;
    case CommandId::kFileSave:
        saveDocument(*document);
        break;
    case CommandId::kFileSaveAs:
        saveDocumentAs(*document);
        break;
    case CommandId::kAppExit:
        close();
        break;
    case CommandId::kAppAbout: {
        AboutDialog about(this);
        about.exec();
        break;
    }
    case CommandId::kViewToolbar:
        m_toolBar->setVisible(m_toolBar->isHidden());
        break;
    case CommandId::kViewStatusBar:
        statusBar()->setVisible(statusBar()->isHidden());
        break;
    case CommandId::kStandardChartRules:
        setStandardChartRules(m_importOptions.bms.rules != import::BmsRules::kStandard);
        break;
    case CommandId::kEditUndo:
        document->Undo();
        break;
    case CommandId::kEditRedo:
        document->Redo();
        break;
    case CommandId::kWindowNew:
        openViewWindow(*document, ViewKind::kProject);
        break;
    case CommandId::kWindowCascade:
        m_mdiArea->cascadeSubWindows();
        break;
    case CommandId::kWindowTile:
        m_mdiArea->tileSubWindows();
        break;
    case CommandId::kWindowArrange:
        arrangeIcons();
        break;
    default:
        if (views::IsViewCommand(id)) {
            QMdiSubWindow* child = m_mdiArea->currentSubWindow();
            if (auto* handler
                = child ? dynamic_cast<views::CommandHandler*>(child->widget()) : nullptr)
                handler->runCommand(id);
        }
        break;
    }
    updateCommandStates();
}

void MainFrame::arrangeIcons()
{
    // Minimized windows in a row along the bottom of the area.
    int x = 0;
    for (QMdiSubWindow* window : m_mdiArea->subWindowList()) {
        if (!window->isMinimized())
            continue;
        window->move(x, m_mdiArea->viewport()->height() - window->height());
        x += window->width();
    }
}

void MainFrame::activeWindowChanged()
{
    Ctest122Doc* document = activeDocument();
    const bool documentMenus = document != nullptr;
    if (documentMenus != m_documentMenusShown || menuBar()->actions().isEmpty()) {
        menuBar()->clear();
        for (QMenu* menu : documentMenus ? m_documentMenus : m_plainMenus)
            menuBar()->addMenu(menu);
        m_documentMenusShown = documentMenus;
    }
    setWindowTitle(FromUtf8(views::MainWindowCaption(
        document ? FromNative(document->title()).toStdString() : std::string())));
    updateCommandStates();
}

void MainFrame::documentChanged(Ctest122Doc& document)
{
    if (activeDocument() == &document)
        setWindowTitle(
            FromUtf8(views::MainWindowCaption(FromNative(document.title()).toStdString())));
    updateCommandStates();
}

Ctest122Doc& MainFrame::adopt(std::unique_ptr<Ctest122Doc> document)
{
    Ctest122Doc& adopted = *document;
    OpenDocument entry;
    entry.document = std::move(document);
    entry.watcher = std::make_unique<DocumentWatcher>(*this, adopted);
    m_documents.push_back(std::move(entry));
    return adopted;
}

Ctest122Doc* MainFrame::findOpenFile(const QString& absolutePath) const
{
    const QString wanted = QFileInfo(absolutePath).canonicalFilePath();
    if (wanted.isEmpty())
        return nullptr;
    for (const OpenDocument& open : m_documents) {
        const std::string& path = open.document->pathName();
        if (!path.empty() && QFileInfo(FromNative(path)).canonicalFilePath() == wanted)
            return open.document.get();
    }
    return nullptr;
}

Ctest122Doc* MainFrame::newDocument()
{
    if (refuseWhileMixing())
        return nullptr;
    auto document = std::make_unique<Ctest122Doc>();
    if (!document->newDocument(m_dialogs))
        return nullptr; // cancelled: the new window is never made
    Ctest122Doc& adopted = adopt(std::move(document));
    openViewWindow(adopted, ViewKind::kProject);
    return &adopted;
}

Ctest122Doc* MainFrame::openFile(const QString& path)
{
    if (refuseWhileMixing())
        return nullptr;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (Ctest122Doc* open = findOpenFile(absolute)) {
        const std::vector<ChildFrame*> windows = windowsOf(*open);
        if (!windows.empty())
            m_mdiArea->setActiveSubWindow(windows.front());
        return open;
    }
    auto document = std::make_unique<Ctest122Doc>();
    const std::string native = ToNative(absolute);
    if (!document->openDocument(native, m_messages, m_dialogs, m_importOptions))
        return nullptr;
    Ctest122Doc& adopted = adopt(std::move(document));
    addRecentFile(native);
    openViewWindow(adopted, ViewKind::kProject);
    return &adopted;
}

Ctest122Doc* MainFrame::openFileFromDialog()
{
    if (refuseWhileMixing())
        return nullptr;
    std::string start;
    if (Ctest122Doc* document = activeDocument())
        start = document->pathName();
    const auto chosen = m_files.chooseOpenFile({ views::DocumentFileFilters(), start, {} });
    if (!chosen)
        return nullptr;
    return openFile(FromNative(*chosen));
}

bool MainFrame::saveDocument(Ctest122Doc& document)
{
    if (refuseWhileMixing())
        return false;
    if (document.pathName().empty())
        return saveDocumentAs(document);
    const std::string path = document.pathName();
    if (!document.saveDocument(path, m_messages))
        return false;
    addRecentFile(path);
    return true;
}

bool MainFrame::saveDocumentAs(Ctest122Doc& document)
{
    if (refuseWhileMixing())
        return false;
    std::string start = document.pathName();
    if (start.empty())
        start = document.title() + std::string(views::kProjectExtension);
    const auto chosen = m_files.chooseSaveFile(
        { views::DocumentFileFilters(), start, std::string(views::kProjectExtension) });
    if (!chosen)
        return false;
    if (!document.saveDocument(*chosen, m_messages))
        return false;
    addRecentFile(*chosen);
    return true;
}

bool MainFrame::mixDocument(Ctest122Doc& document)
{
    if (refuseWhileMixing())
        return false;
    m_mixRunning = true;
    updateCommandStates();
    const bool mixed = MixDocument(document, m_messages, m_files, m_progress);
    m_mixRunning = false;
    updateCommandStates();
    return mixed;
}

bool MainFrame::refuseWhileMixing()
{
    if (!m_mixRunning)
        return false;
    ShowInformation(m_messages, views::ShellTextOf(views::ShellText::kMixRunning));
    return true;
}

bool MainFrame::askToSave(Ctest122Doc& document)
{
    if (!document.isModified())
        return true;
    QMessageBox box(QMessageBox::Warning, FromUtf8(Text(TextId::kApplicationTitle)),
        FromUtf8(views::SaveChangesQuestion(FromNative(document.title()).toStdString())),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return saveDocument(document);
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

bool MainFrame::closeDocument(Ctest122Doc& document)
{
    if (refuseWhileMixing() || !askToSave(document))
        return false;
    m_closingWithoutAsking = true;
    for (ChildFrame* child : windowsOf(document))
        child->close();
    m_closingWithoutAsking = false;
    return true;
}

bool MainFrame::mayCloseChild(ChildFrame& child)
{
    if (m_closingWithoutAsking)
        return true;
    if (refuseWhileMixing())
        return false;
    if (windowsOf(child.document()).size() > 1)
        return true;
    return askToSave(child.document());
}

void MainFrame::childClosed(ChildFrame& child, Ctest122Doc& document)
{
    for (ChildFrame* other : m_mdiArea->findChildren<ChildFrame*>())
        if (other != &child && &other->document() == &document)
            return;
    std::erase_if(
        m_documents, [&](const OpenDocument& open) { return open.document.get() == &document; });
    activeWindowChanged();
}

void MainFrame::openView(Ctest122Doc& document, ViewKind kind, std::uint32_t number)
{
    openViewWindow(document, kind, number);
}

QMdiSubWindow* MainFrame::openViewWindow(Ctest122Doc& document, ViewKind kind, std::uint32_t number)
{
    QWidget* view = CreateView(kind, ViewRequest { document, m_services, *this, number, nullptr });
    if (view == nullptr) {
        ShowInformation(m_messages, views::ShellTextOf(views::ShellText::kViewNotAvailable));
        return nullptr;
    }
    auto* child = new ChildFrame(document, *this, view);
    child->setWindowIcon(AppIcon());
    m_mdiArea->addSubWindow(child);
    child->show();
    child->fitToView();
    m_mdiArea->setActiveSubWindow(child);
    activeWindowChanged();
    return child;
}

void MainFrame::openPreview(Ctest122Doc& document, PreviewMode mode, std::uint32_t number)
{
    // Nothing may change or free the project's sounds while the preview
    // plays, so none of it runs during a mix, and the dialog is modal.
    if (refuseWhileMixing())
        return;
    if (RunPreview(document, m_services, mode, number, this))
        document.UpdateAllViews(); // sounds may have been prepared anew
}

void MainFrame::addRecentFile(const std::string& nativePath)
{
    m_recent.add(nativePath);
    storeRecentFiles();
}

void MainFrame::removeRecentFile(const std::string& nativePath)
{
    m_recent.remove(nativePath);
    storeRecentFiles();
}

void MainFrame::storeRecentFiles()
{
    rebuildRecentActions();
    // Both File menus show the list.
    const auto refill = [this](views::MenuSet set, const std::vector<QMenu*>& menus) {
        const auto tables = views::MainMenus(set);
        for (std::size_t i = 0; i < menus.size(); ++i) {
            if (tables[i].title != "&File")
                continue;
            menus[i]->clear();
            fillMenu(menus[i], tables[i].entries);
        }
    };
    refill(views::MenuSet::kNoDocument, m_plainMenus);
    refill(views::MenuSet::kDocument, m_documentMenus);
    updateCommandStates();
    if (m_settingsPath.isEmpty())
        return;
    QSettings settings(m_settingsPath, QSettings::IniFormat);
    settings.remove(kRecentGroup);
    settings.beginGroup(kRecentGroup);
    const std::vector<std::string>& paths = m_recent.paths();
    for (std::size_t i = 0; i < paths.size(); ++i)
        settings.setValue(RecentKey(i), QByteArray::fromStdString(paths[i]));
    settings.endGroup();
    settings.sync();
}

void MainFrame::setStandardChartRules(bool standard)
{
    m_importOptions.bms.rules = standard ? import::BmsRules::kStandard : import::BmsRules::kDesign;
    updateCommandStates();
    if (m_settingsPath.isEmpty())
        return;
    QSettings settings(m_settingsPath, QSettings::IniFormat);
    settings.setValue(kChartRulesKey, standard ? kStandardRulesName : kDesignRulesName);
    settings.sync();
}

void MainFrame::closeEvent(QCloseEvent* event)
{
    if (refuseWhileMixing()) {
        event->ignore();
        return;
    }
    // Every modified document is asked about before anything closes.
    std::vector<Ctest122Doc*> documents;
    for (const OpenDocument& open : m_documents)
        documents.push_back(open.document.get());
    for (Ctest122Doc* document : documents) {
        if (!askToSave(*document)) {
            event->ignore();
            return;
        }
    }
    m_closingWithoutAsking = true;
    m_mdiArea->closeAllSubWindows();
    m_closingWithoutAsking = false;
    event->accept();
}

void MainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!m_mixRunning && !LocalFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainFrame::dropEvent(QDropEvent* event)
{
    const QStringList files = LocalFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened once the drop is over, so that the dialogs an open may show do
    // not hold up the program the files came from.
    QMetaObject::invokeMethod(
        this,
        [this, files] {
            activateWindow();
            for (const QString& file : files)
                openFile(file);
        },
        Qt::QueuedConnection);
}

} // namespace vellisto::ui
