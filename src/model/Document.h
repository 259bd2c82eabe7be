// SPDX-License-Identifier: MIT
#pragma once

// The document: one open project with its path, its modified flag, the views
// showing it and its undo history, and the document commands (new, open by
// file type, save, "Import Sound List", "Import Track List", changing the
// output format). Commands ask and tell the user through a UserInterface
// passed in; every failure ends in a message from the text table. Used on the
// user-interface thread only.
//
// Views never own project data: they read project(), call RecordUndoStep
// just before a change, change the project and then call UpdateAllViews().

#include "model/Project.h"
#include "model/TextTable.h"
#include "model/UndoHistory.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vellisto {

class UserInterface;

// How a path is opened, by its last four characters without regard to case.
enum class DocumentFileKind {
    kProject, // anything else
    kMidi, // ".mid"
    kBms, // ".bms" or ".bme"
};
DocumentFileKind FileKindOf(std::u16string_view path);

// A view of a document, told to redraw after every change.
class DocumentView {
public:
    virtual ~DocumentView() = default;
    virtual void OnUpdate() = 0;
};

class Ctest122Doc {
public:
    Ctest122Doc();
    ~Ctest122Doc();
    Ctest122Doc(const Ctest122Doc&) = delete;
    Ctest122Doc& operator=(const Ctest122Doc&) = delete;

    // The current project; null until a new or open command succeeded.
    Project* project() { return m_project.get(); }
    const Project* project() const { return m_project.get(); }

    // The path of the file opened or last saved (UTF-16); empty for a new project.
    const std::u16string& pathName() const { return m_pathName; }
    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    // Views are not owned; a view removes itself before it goes away.
    void addView(DocumentView& view);
    void removeView(DocumentView& view);
    void UpdateAllViews();

    UndoHistory& undoHistory() { return m_undo; }
    bool canUndo() const { return m_undo.canUndo(); }
    bool canRedo() const { return m_undo.canRedo(); }
    // Both mark the document modified and update every view; false when disabled.
    bool Undo();
    bool Redo();

    // A new project with the "Compatibility and Format" choice; false when
    // cancelled (the document is then left without a project).
    bool newDocument(UserInterface& ui);

    // Opens path by its extension: ".mid" as a MIDI file, ".bms" or ".bme" as
    // a BMS score (each after the "Compatibility and Format" choice), anything
    // else as a project file. On success the new project replaces the current
    // one and path becomes the document's path, even for a score.
    bool openDocument(std::u16string_view path, UserInterface& ui);

    // Saves as a project file; MIDI and BMS names are refused. The previous
    // file survives any failure. On success the document is unmodified and
    // takes path as its path.
    bool saveDocument(std::u16string_view path, UserInterface& ui);

    // Replace every sound slot's, or every track's events, from another
    // project file chosen by the user, after two questions; times are
    // rescaled to this project's output rate. true when the project changed
    // (the caller then updates the views).
    bool ImportSoundList(UserInterface& ui);
    bool ImportTrackList(UserInterface& ui);

    // Installs a new output format and rescales every time in the project to
    // its rate; false, with nothing changed, when the rate is 0 or at least
    // 16777216. Releases every sound's converted samples.
    bool ChangeOutputFormat(const OutputFormat& format);

    // Resets project's settings and applies the user's "Compatibility and
    // Format" choice; false when cancelled.
    static bool RunCompatibilityDialog(Project& project, UserInterface& ui);

private:
    // A project file read into a new project for the two import commands;
    // null after a message or a cancelled file choice.
    std::unique_ptr<Project> readImportSource(UserInterface& ui);
    // The two questions of an import: question itself, then the output
    // format question when the formats differ. true when both were answered OK.
    bool confirmImport(const Project& source, TextId question, UserInterface& ui) const;
    // Runs the MIDI or BMS importer on nativePath; false after its message.
    static bool ImportScore(
        DocumentFileKind kind, const std::string& nativePath, Project& project, UserInterface& ui);
    void installProject(std::unique_ptr<Project> project);

    std::unique_ptr<Project> m_project;
    UndoHistory m_undo;
    std::u16string m_pathName;
    bool m_modified = false;
    std::vector<DocumentView*> m_views;
};

} // namespace vellisto
