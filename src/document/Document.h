// SPDX-License-Identifier: MIT
#pragma once

// The document: one open project with its path, its modified flag, the views
// showing it and its undo history, and the document commands (new, open by
// file type, save, "Import Sound List", "Import Track List", changing the
// output format). Commands ask and tell the user through the interfaces
// passed in; every failure ends in a message from the text table. Used on the
// user-interface thread only.
//
// Views never own project data and never keep a pointer into the project
// across an update (undo, redo and open replace it): they read project(),
// call RecordUndoStep just before a change, change the project and then call
// UpdateAllViews().

#include "document/InputOpener.h"
#include "document/UserInterface.h"
#include "model/Project.h"
#include "model/TextTable.h"
#include "model/UndoHistory.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vellisto {

// What an update is about, so that a view may skip work that cannot concern it.
enum class UpdateScope {
    kAll, // anything may have changed, the whole project may have been replaced
    kSettings, // the project settings
    kSound, // the sound slot `index`
    kTrack, // the events or flags of track `index`
};
struct UpdateHint {
    UpdateScope scope = UpdateScope::kAll;
    std::uint32_t index = 0;
};

// A view of a document: told to redraw after every change, and told when the
// document's title, path or modified flag change (for window captions).
class DocumentView {
public:
    virtual ~DocumentView() = default;
    virtual void OnUpdate(UpdateHint hint) = 0;
    virtual void OnDocumentStateChanged() { }
};

// The notice after a chart opened under the standard chart rules with parts
// skipped; the parts follow as its detail.
inline constexpr std::string_view kChartPartsSkipped
    = "The chart is open. These parts of it were skipped:";

class Ctest122Doc {
public:
    Ctest122Doc();
    ~Ctest122Doc();
    Ctest122Doc(const Ctest122Doc&) = delete;
    Ctest122Doc& operator=(const Ctest122Doc&) = delete;

    // The current project; null until a new or open command succeeded.
    Project* project() { return m_project.get(); }
    const Project* project() const { return m_project.get(); }

    // The native path of the file opened or last saved; empty for a new project.
    const std::string& pathName() const { return m_pathName; }
    bool isModified() const { return m_modified; }
    void setModified(bool modified);

    // The file name of the path; for a document without one, "New Project"
    // with a running number ("New Project1", "New Project2", ...), given
    // when the document is made new.
    std::string title() const;

    // Views are not owned; a view removes itself before it goes away.
    void addView(DocumentView& view);
    void removeView(DocumentView& view);
    void UpdateAllViews(UpdateHint hint = {});

    UndoHistory& undoHistory() { return m_undo; }
    bool canUndo() const { return m_undo.canUndo(); }
    bool canRedo() const { return m_undo.canRedo(); }
    // Both mark the document modified and update every view; false when disabled.
    bool Undo();
    bool Redo();

    // A new project with the "Compatibility and Format" choice; false when
    // cancelled (the document is then left without a project).
    bool newDocument(ValueDialogs& dialogs);

    // Opens path by its extension: ".mid" as a MIDI file, ".bms" or ".bme" as
    // a BMS score (each after the "Compatibility and Format" choice), anything
    // else as a project file. On success the new project replaces the current
    // one and path becomes the document's path, even for a score. Cancelling
    // the choice abandons the open without a message. options choose how a
    // chart is read; what the standard chart rules skipped is shown once the
    // chart is open (kChartPartsSkipped with the list as detail).
    bool openDocument(std::string_view path, Messages& messages, ValueDialogs& dialogs,
        const ImportOptions& options = {});

    // Saves as a project file; MIDI and BMS names are refused. The previous
    // file survives any failure. On success the document is unmodified and
    // takes path as its path.
    bool saveDocument(std::string_view path, Messages& messages);

    // Replace every sound slot's, or every track's events, from another
    // project file chosen by the user, after two questions; times are
    // rescaled to this project's output rate. true when the project changed
    // (the caller then updates the views).
    bool ImportSoundList(Messages& messages, FileChooser& files);
    bool ImportTrackList(Messages& messages, FileChooser& files);

    // Installs a new output format and rescales every time in the project to
    // its rate; false, with nothing changed, when the rate is 0 or at least
    // 16777216. Releases every sound's converted samples.
    bool ChangeOutputFormat(const OutputFormat& format);

    // Resets project's settings and applies the user's "Compatibility and
    // Format" choice; false when cancelled.
    static bool RunCompatibilityDialog(Project& project, ValueDialogs& dialogs);

private:
    // A project file read into a new project for the two import commands;
    // null after a message or a cancelled file choice.
    std::unique_ptr<Project> readImportSource(Messages& messages, FileChooser& files);
    // The two questions of an import: question itself, then the output
    // format question when the formats differ. true when both were answered OK.
    bool confirmImport(const Project& source, TextId question, Messages& messages) const;
    void installProject(std::unique_ptr<Project> project);
    void setPathName(std::string_view path);
    void notifyStateChanged();
    template <class Call> void forEachView(Call call);

    std::unique_ptr<Project> m_project;
    UndoHistory m_undo;
    std::string m_pathName;
    std::uint32_t m_untitledNumber = 0; // 0 until the document is made new
    bool m_modified = false;
    std::vector<DocumentView*> m_views;
};

// Records an undo step for document just before a change and marks the
// document modified. Out of memory shows "Failed in allocating memory space.
// Undo of this operation does not work." and returns false; the caller makes
// its change all the same.
bool RecordUndoStep(Ctest122Doc& document, Messages& messages, bool merge);

} // namespace vellisto
