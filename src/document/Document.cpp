// SPDX-License-Identifier: MIT
#include "document/Document.h"

#include "mix/SoundCache.h"
#include "model/Compatibility.h"
#include "model/ProjectFile.h"
#include "model/ProjectImport.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <string>
#include <utility>

namespace vellisto {

namespace {

    // New documents are numbered across the whole program, as their titles show.
    std::atomic<std::uint32_t> g_untitledCount { 0 };

    // What an import skipped, as a message's detail: the first lines, then
    // how many more there are.
    std::string SkippedPartsText(const OpenedInput& input)
    {
        constexpr std::size_t kShownLines = 10;
        const std::size_t shown = std::min(input.warnings.size(), kShownLines);
        std::string text;
        for (std::size_t i = 0; i < shown; ++i)
            text.append(i == 0 ? "" : "\n").append(input.warnings[i]);
        const std::uint64_t more = input.warnings.size() - shown + input.unlistedWarnings;
        if (more != 0)
            text.append("\nand ").append(std::to_string(more)).append(" more");
        return text;
    }

} // namespace

Ctest122Doc::Ctest122Doc() = default;

Ctest122Doc::~Ctest122Doc() = default;

void Ctest122Doc::setModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    notifyStateChanged();
}

std::string Ctest122Doc::title() const
{
    if (m_pathName.empty()) {
        std::string title(Text(TextId::kNewProject));
        if (m_untitledNumber != 0)
            title += std::to_string(m_untitledNumber);
        return title;
    }
    const std::size_t slash = m_pathName.rfind('/');
    return slash == std::string::npos ? m_pathName : m_pathName.substr(slash + 1);
}

void Ctest122Doc::addView(DocumentView& view)
{
    if (std::find(m_views.begin(), m_views.end(), &view) == m_views.end())
        m_views.push_back(&view);
}

void Ctest122Doc::removeView(DocumentView& view) { std::erase(m_views, &view); }

template <class Call> void Ctest122Doc::forEachView(Call call)
{
    // A view may open or close views while it is told: walk a copy. Without
    // memory for the copy, walk the list itself: every edit ends in a
    // refresh, after it has reported its own failures, and it must happen.
    std::vector<DocumentView*> views;
    try {
        views = m_views;
    } catch (const std::bad_alloc&) {
        for (std::size_t i = 0; i < m_views.size(); ++i)
            call(*m_views[i]);
        return;
    }
    for (DocumentView* view : views) {
        if (std::find(m_views.begin(), m_views.end(), view) != m_views.end())
            call(*view);
    }
}

void Ctest122Doc::UpdateAllViews(UpdateHint hint)
{
    forEachView([hint](DocumentView& view) { view.OnUpdate(hint); });
}

void Ctest122Doc::notifyStateChanged()
{
    forEachView([](DocumentView& view) { view.OnDocumentStateChanged(); });
}

void Ctest122Doc::setPathName(std::string_view path)
{
    if (m_pathName == path)
        return;
    m_pathName = path;
    notifyStateChanged();
}

bool Ctest122Doc::Undo()
{
    if (!m_undo.undo(m_project))
        return false;
    setModified(true);
    UpdateAllViews();
    return true;
}

bool Ctest122Doc::Redo()
{
    if (!m_undo.redo(m_project))
        return false;
    setModified(true);
    UpdateAllViews();
    return true;
}

void Ctest122Doc::installProject(std::unique_ptr<Project> project)
{
    m_project = std::move(project);
    m_undo.clear();
    setModified(false);
}

bool Ctest122Doc::RunCompatibilityDialog(Project& project, ValueDialogs& dialogs)
{
    // The dialog opens on the defaults, whatever the project held before.
    const auto choice = dialogs.chooseCompatibility(DefaultCompatibilityChoice(), false);
    if (!choice)
        return false;
    ApplyCompatibilityChoice(project, *choice);
    return true;
}

bool Ctest122Doc::newDocument(ValueDialogs& dialogs)
{
    m_project.reset();
    m_undo.clear();
    auto project = CreateProject();
    if (!project)
        return false;
    if (!RunCompatibilityDialog(*project, dialogs))
        return false;
    installProject(std::move(project));
    m_untitledNumber = ++g_untitledCount;
    m_pathName.clear();
    notifyStateChanged();
    return true;
}

bool Ctest122Doc::ChangeOutputFormat(const OutputFormat& format)
{
    if (m_project == nullptr || format.samplesPerSecond == 0
        || format.samplesPerSecond >= kMaxSampleRate)
        return false;
    RescaleProjectTimes(*m_project, format.samplesPerSecond);
    m_project->settings.outputFormat = format;
    mix::ClearCache(*m_project);
    return true;
}

bool Ctest122Doc::openDocument(
    std::string_view path, Messages& messages, ValueDialogs& dialogs, const ImportOptions& options)
{
    CompatibilityChoice choice = DefaultCompatibilityChoice();
    if (FileKindOf(path) != DocumentFileKind::kProject) {
        // The dialog opens on the defaults. Cancelling it abandons the open:
        // nothing failed, so there is nothing to report.
        const auto chosen = dialogs.chooseCompatibility(choice, false);
        if (!chosen)
            return false;
        choice = *chosen;
    }
    OpenedInput input = OpenInputFile(path, choice, options);
    if (!input.project) {
        ShowError(messages, input.message, input.reason);
        return false;
    }
    installProject(std::move(input.project));
    setPathName(path);
    if (!input.warnings.empty())
        ShowInformation(messages, kChartPartsSkipped, SkippedPartsText(input));
    return true;
}

bool Ctest122Doc::saveDocument(std::string_view path, Messages& messages)
{
    if (m_project == nullptr)
        return false;
    switch (FileKindOf(path)) {
    case DocumentFileKind::kMidi:
        ShowError(messages, TextId::kCannotSaveMidi);
        return false;
    case DocumentFileKind::kBms:
        ShowError(messages, TextId::kCannotSaveBms);
        return false;
    case DocumentFileKind::kProject:
        break;
    }
    ClearNameTails(*m_project);
    ProjectWriteResult result = ProjectWriteResult::kWriteError;
    try {
        result = WriteProjectFile(*m_project, std::string(path));
    } catch (...) {
        result = ProjectWriteResult::kWriteError;
    }
    // The file is written beside the target and renamed over it only when
    // complete, so the previous file survives both failures.
    if (result == ProjectWriteResult::kCannotCreate) {
        ShowError(messages, TextId::kFailedSaving);
        return false;
    }
    if (result != ProjectWriteResult::kOk) {
        ShowError(messages, TextId::kUnknownError);
        return false;
    }
    setModified(false);
    setPathName(path);
    UpdateAllViews();
    return true;
}

std::unique_ptr<Project> Ctest122Doc::readImportSource(Messages& messages, FileChooser& files)
{
    const auto path
        = files.chooseOpenFile({ ParseFileFilter(Text(TextId::kProjectFileFilter)), {}, {} });
    if (!path)
        return nullptr;
    OpenedInput source = OpenListSource(*path);
    if (!source.project)
        ShowError(messages, source.message, source.reason);
    return std::move(source.project);
}

bool Ctest122Doc::confirmImport(const Project& source, TextId question, Messages& messages) const
{
    if (!Confirm(messages, question))
        return false;
    const OutputFormat& current = m_project->settings.outputFormat;
    return SameFormatKey(source.settings.outputFormat, current)
        || Confirm(messages, TextId::kOutputFormatDiffers);
}

bool Ctest122Doc::ImportSoundList(Messages& messages, FileChooser& files)
{
    if (m_project == nullptr)
        return false;
    const auto source = readImportSource(messages, files);
    if (!source || !confirmImport(*source, TextId::kSoundSettingsLost, messages))
        return false;
    RecordUndoStep(*this, messages, false);
    ApplySoundList(*m_project, *source);
    return true;
}

bool Ctest122Doc::ImportTrackList(Messages& messages, FileChooser& files)
{
    if (m_project == nullptr)
        return false;
    const auto source = readImportSource(messages, files);
    if (!source || !confirmImport(*source, TextId::kEventsLost, messages))
        return false;
    RecordUndoStep(*this, messages, false);
    if (!ApplyTrackList(*m_project, *source)) {
        // The tracks copied so far stay replaced; the undo step brings them back.
        ShowError(messages, TextId::kOutOfMemory);
        UpdateAllViews();
        return false;
    }
    return true;
}

bool RecordUndoStep(Ctest122Doc& document, Messages& messages, bool merge)
{
    Project* project = document.project();
    if (project == nullptr)
        return false;
    const auto result = document.undoHistory().record(*project, merge);
    // The caller changes the project whatever happened here, and a change made
    // after a save must still be offered for saving: mark the document every time.
    document.setModified(true);
    if (result == UndoHistory::RecordResult::kOutOfMemory) {
        ShowError(messages, TextId::kOutOfMemoryNoUndo);
        return false;
    }
    return true;
}

} // namespace vellisto
