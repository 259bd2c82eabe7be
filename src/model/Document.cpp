// SPDX-License-Identifier: MIT
#include "model/Document.h"

#include "import/BmsImport.h"
#include "import/MidiImport.h"
#include "mix/SoundCache.h"
#include "model/Compatibility.h"
#include "model/ProjectFile.h"
#include "model/ProjectImport.h"
#include "model/UserInterface.h"
#include "platform/File.h"

#include <algorithm>
#include <new>
#include <utility>

namespace vellisto {

namespace {

    char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

    bool EndsWithExtension(std::u16string_view path, std::u16string_view extension)
    {
        if (path.size() < extension.size())
            return false;
        const std::u16string_view tail = path.substr(path.size() - extension.size());
        return std::equal(tail.begin(), tail.end(), extension.begin(),
            [](char16_t a, char16_t b) { return AsciiLower(a) == b; });
    }

} // namespace

DocumentFileKind FileKindOf(std::u16string_view path)
{
    if (EndsWithExtension(path, u".mid"))
        return DocumentFileKind::kMidi;
    if (EndsWithExtension(path, u".bms") || EndsWithExtension(path, u".bme"))
        return DocumentFileKind::kBms;
    return DocumentFileKind::kProject;
}

Ctest122Doc::Ctest122Doc() = default;

Ctest122Doc::~Ctest122Doc() = default;

void Ctest122Doc::addView(DocumentView& view)
{
    if (std::find(m_views.begin(), m_views.end(), &view) == m_views.end())
        m_views.push_back(&view);
}

void Ctest122Doc::removeView(DocumentView& view) { std::erase(m_views, &view); }

void Ctest122Doc::UpdateAllViews()
{
    // A view may open or close views while it updates: walk a copy. Without
    // memory for the copy, walk the list itself: every edit ends here, after
    // it has reported its own failures, and the refresh must still happen.
    std::vector<DocumentView*> views;
    try {
        views = m_views;
    } catch (const std::bad_alloc&) {
        for (std::size_t i = 0; i < m_views.size(); ++i)
            m_views[i]->OnUpdate();
        return;
    }
    for (DocumentView* view : views) {
        if (std::find(m_views.begin(), m_views.end(), view) != m_views.end())
            view->OnUpdate();
    }
}

bool Ctest122Doc::Undo()
{
    if (!m_undo.undo(m_project))
        return false;
    m_modified = true;
    UpdateAllViews();
    return true;
}

bool Ctest122Doc::Redo()
{
    if (!m_undo.redo(m_project))
        return false;
    m_modified = true;
    UpdateAllViews();
    return true;
}

void Ctest122Doc::installProject(std::unique_ptr<Project> project)
{
    m_project = std::move(project);
    m_undo.clear();
    m_modified = false;
}

bool Ctest122Doc::RunCompatibilityDialog(Project& project, UserInterface& ui)
{
    // The dialog opens on the defaults, whatever the project held before.
    const auto choice = ui.chooseCompatibility(DefaultCompatibilityChoice(), false);
    if (!choice)
        return false;
    ApplyCompatibilityChoice(project, *choice);
    return true;
}

bool Ctest122Doc::newDocument(UserInterface& ui)
{
    m_project.reset();
    m_undo.clear();
    auto project = CreateProject();
    if (!project)
        return false;
    if (!RunCompatibilityDialog(*project, ui))
        return false;
    installProject(std::move(project));
    m_pathName.clear();
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

bool Ctest122Doc::ImportScore(
    DocumentFileKind kind, const std::string& nativePath, Project& project, UserInterface& ui)
{
    const bool midi = kind == DocumentFileKind::kMidi;
    if (midi ? import::ImportMidiFile(project, nativePath)
             : import::ImportBmsFile(project, nativePath))
        return true;
    ShowError(ui, midi ? TextId::kFailedLoadingMidi : TextId::kFailedLoadingBms);
    return false;
}

bool Ctest122Doc::openDocument(std::u16string_view path, UserInterface& ui)
{
    auto project = CreateProject();
    if (!project) {
        ShowError(ui, TextId::kOutOfMemory);
        return false;
    }
    const std::string nativePath = platform::NativePath(path);
    try {
        switch (FileKindOf(path)) {
        case DocumentFileKind::kMidi:
        case DocumentFileKind::kBms:
            // Cancelling the choice abandons the open; there is nothing to report.
            if (!RunCompatibilityDialog(*project, ui))
                return false;
            if (!ImportScore(FileKindOf(path), nativePath, *project, ui))
                return false;
            break;
        case DocumentFileKind::kProject:
            if (!ReadProjectFile(nativePath, *project)) {
                ShowError(ui, TextId::kFailedLoadingProject);
                return false;
            }
            break;
        }
    } catch (const std::bad_alloc&) {
        ShowError(ui, TextId::kOutOfMemory);
        return false;
    }
    installProject(std::move(project));
    m_pathName = path;
    return true;
}

bool Ctest122Doc::saveDocument(std::u16string_view path, UserInterface& ui)
{
    if (m_project == nullptr)
        return false;
    switch (FileKindOf(path)) {
    case DocumentFileKind::kMidi:
        ShowError(ui, TextId::kCannotSaveMidi);
        return false;
    case DocumentFileKind::kBms:
        ShowError(ui, TextId::kCannotSaveBms);
        return false;
    case DocumentFileKind::kProject:
        break;
    }
    ClearNameTails(*m_project);
    ProjectWriteResult result = ProjectWriteResult::kWriteError;
    try {
        result = WriteProjectFile(*m_project, platform::NativePath(path));
    } catch (...) {
        result = ProjectWriteResult::kWriteError;
    }
    // The file is written beside the target and renamed over it only when
    // complete, so the previous file survives both failures.
    if (result == ProjectWriteResult::kCannotCreate) {
        ShowError(ui, TextId::kFailedSaving);
        return false;
    }
    if (result != ProjectWriteResult::kOk) {
        ShowError(ui, TextId::kUnknownError);
        return false;
    }
    m_modified = false;
    m_pathName = path;
    UpdateAllViews();
    return true;
}

std::unique_ptr<Project> Ctest122Doc::readImportSource(UserInterface& ui)
{
    const auto path = ui.chooseOpenFile(Text(TextId::kProjectFileFilter));
    if (!path)
        return nullptr;
    auto source = CreateProject();
    if (!source) {
        ShowError(ui, TextId::kOutOfMemory);
        return nullptr;
    }
    if (!ReadProjectFile(platform::NativePath(*path), *source)) {
        ShowError(ui, TextId::kFailedLoading);
        return nullptr;
    }
    return source;
}

bool Ctest122Doc::confirmImport(const Project& source, TextId question, UserInterface& ui) const
{
    if (!Confirm(ui, question))
        return false;
    const OutputFormat& current = m_project->settings.outputFormat;
    return SameFormatKey(source.settings.outputFormat, current)
        || Confirm(ui, TextId::kOutputFormatDiffers);
}

bool Ctest122Doc::ImportSoundList(UserInterface& ui)
{
    if (m_project == nullptr)
        return false;
    const auto source = readImportSource(ui);
    if (!source || !confirmImport(*source, TextId::kSoundSettingsLost, ui))
        return false;
    mix::ClearCache(*m_project);
    RecordUndoStep(*this, ui, false);
    CopySoundList(*m_project, *source);
    return true;
}

bool Ctest122Doc::ImportTrackList(UserInterface& ui)
{
    if (m_project == nullptr)
        return false;
    const auto source = readImportSource(ui);
    if (!source || !confirmImport(*source, TextId::kEventsLost, ui))
        return false;
    RecordUndoStep(*this, ui, false);
    if (!CopyTrackList(*m_project, *source)) {
        // The tracks copied so far stay replaced; the undo step brings them back.
        ShowError(ui, TextId::kOutOfMemory);
        UpdateAllViews();
        return false;
    }
    return true;
}

} // namespace vellisto
