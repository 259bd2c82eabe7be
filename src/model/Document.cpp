// SPDX-License-Identifier: MIT
#include "model/Document.h"

#include "mix/SoundCache.h"
#include "model/Compatibility.h"
#include "model/ProjectImport.h"
#include "model/UserInterface.h"

#include <algorithm>
#include <utility>

namespace vellisto {

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
    // A view may open or close views while it updates: walk a copy.
    const std::vector<DocumentView*> views = m_views;
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

} // namespace vellisto
